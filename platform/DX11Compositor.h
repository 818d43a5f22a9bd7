#ifndef DX11COMPOSITOR_H
#define DX11COMPOSITOR_H

#include "DDesktopCompositor.h"

// A compositing manager on the X display named by DISPLAY: one owns the
// selection _NET_WM_CM_S<screen> while it runs. No display: none runs.
class DX11Compositor : public DDesktopCompositor
{
public:
    bool isRunning() const override;
};

#endif // DX11COMPOSITOR_H
