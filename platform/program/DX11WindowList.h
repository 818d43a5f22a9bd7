#ifndef DX11WINDOWLIST_H
#define DX11WINDOWLIST_H

#include "DOnScreenWindowList.h"

// On-screen windows of the X display named by DISPLAY, front first. With a
// window manager (EWMH) the managed clients, skipping unmapped, hidden and
// desktop-type windows and windows of other desktops, each with its frame as
// far as the screen shows it (a shaded window: its title bar), and between them,
// where they stand in the stack, the mapped windows outside the manager's care
// (menus, tooltips, notifications); without one the root's mapped children.
// Windows wholly off the screen are left out. Titles in COMPOUND_TEXT are
// decoded. No display: no list. The X headers stay in the source file: they
// clash with the generated messages.
class DX11WindowList : public DOnScreenWindowList
{
public:
    bool onScreenWindows(QList<DOnScreenWindow>& windows) const override;
};

#endif // DX11WINDOWLIST_H
