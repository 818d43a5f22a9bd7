#include "DDesktopCompositor.h"

#include "DX11Compositor.h"

namespace {
const DDesktopCompositor* g_pInstalledCompositor = nullptr;
}

DDesktopCompositor::~DDesktopCompositor() = default;

const DDesktopCompositor& DDesktopCompositor::current()
{
    if (g_pInstalledCompositor)
        return *g_pInstalledCompositor;
    static const DX11Compositor platformCompositor;
    return platformCompositor;
}

void DDesktopCompositor::setCurrent(const DDesktopCompositor* compositor)
{
    g_pInstalledCompositor = compositor;
}
