#include "DX11KeyboardFocus.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include "DX11Connection.h"

void DX11KeyboardFocus::giveTo(quintptr window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    DX11Connection display;
    if (!display.isValid())
        return;
    xcb_connection_t* c = display.xcb();
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, xcb_window_t(window), XCB_CURRENT_TIME);
    // A round trip: the display has moved the keyboard before the caller goes
    // on, typically to unmap the window that had it.
    dx11Reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}
