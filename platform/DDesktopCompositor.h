#ifndef DDESKTOPCOMPOSITOR_H
#define DDESKTOPCOMPOSITOR_H

#include "DPlatformService.h"

// Whether a compositing manager runs on the desktop. Only then do the
// transparent pixels of a window show what lies behind it; without one they
// show black, and a window that is not rectangular needs a shape of its own.
// Without another one installed, the X display is asked (DX11Compositor).
class DDesktopCompositor : public DPlatformService<DDesktopCompositor>
{
public:
    virtual ~DDesktopCompositor();

    virtual bool isRunning() const = 0;

    static DDesktopCompositor& defaultService();
};

#endif // DDESKTOPCOMPOSITOR_H
