#ifndef DX11WINDOWLIST_H
#define DX11WINDOWLIST_H

#include "DOnScreenWindowList.h"

// On-screen windows of the X display named by DISPLAY. With a window manager
// (EWMH) the managed clients in stacking order, front first, skipping unmapped,
// hidden and desktop-type windows and windows of other desktops, each with its
// frame; without one the root's mapped children, front first. No display: no list.
// The X headers stay in the source file: they clash with the generated messages.
class DX11WindowList : public DOnScreenWindowList
{
public:
    bool onScreenWindows(QList<DOnScreenWindow>& windows) const override;
};

#endif // DX11WINDOWLIST_H
