#ifndef DX11ALLDESKTOPS_H
#define DX11ALLDESKTOPS_H

#include "DAllDesktops.h"

// Every desktop, as the window manager of the X display that Qt's xcb
// platform shows its windows on counts them (_NET_WM_DESKTOP). Without such a
// window manager, and on any other Qt platform, it does nothing.
class DX11AllDesktops : public DAllDesktops
{
public:
    void putOnAll(quintptr window) override;
};

#endif // DX11ALLDESKTOPS_H
