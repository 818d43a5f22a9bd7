#include "DDesktopCompositor.h"

#include "DX11Compositor.h"

DDesktopCompositor::~DDesktopCompositor() = default;

DDesktopCompositor& DDesktopCompositor::defaultService()
{
    // It asks the display named by DISPLAY on every call. Never deleted:
    // singletons deleted at exit may still reach it.
    static DX11Compositor* const x11 = new DX11Compositor;
    return *x11;
}
