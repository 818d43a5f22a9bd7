#include "DLoginItems.h"

#include "DLoginItemsXdg.h"

DLoginItems& DLoginItems::defaultService()
{
    // It reads the process's environment on every call, so one serves the
    // whole process from the moment the library loads. Never deleted:
    // singletons deleted at exit may still reach it.
    static DLoginItemsXdg* const xdg = new DLoginItemsXdg;
    return *xdg;
}
