#include "DLoginItems.h"

#include "DLoginItemsXdg.h"

namespace {
DLoginItems* g_pCurrentLoginItems = nullptr;
}

DLoginItems* DLoginItems::current()
{
    if (g_pCurrentLoginItems)
        return g_pCurrentLoginItems;
    // The platform's own reads the process's paths on every call, so it
    // follows the running executable and the user's configuration folder.
    static DLoginItemsXdg platformLoginItems;
    return &platformLoginItems;
}

void DLoginItems::setCurrent(DLoginItems* loginItems)
{
    g_pCurrentLoginItems = loginItems;
}
