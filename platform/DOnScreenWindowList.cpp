#include "DOnScreenWindowList.h"

#include "DX11WindowList.h"

namespace {
const DOnScreenWindowList* g_pInstalledList = nullptr;
}

DOnScreenWindowList::~DOnScreenWindowList() = default;

const DOnScreenWindowList& DOnScreenWindowList::current()
{
    if (g_pInstalledList)
        return *g_pInstalledList;
    static const DX11WindowList platformList;
    return platformList;
}

void DOnScreenWindowList::setCurrent(const DOnScreenWindowList* list)
{
    g_pInstalledList = list;
}
