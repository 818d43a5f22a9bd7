#include "DX11AllDesktops.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include "DX11Connection.h"

namespace {

// The desktop number that stands for every desktop.
const uint32_t EveryDesktop = 0xFFFFFFFF;
// The request comes from an ordinary program, not from a pager.
const uint32_t FromProgram = 1;

} // namespace

void DX11AllDesktops::putOnAll(quintptr window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    DX11Connection display;
    if (!display.isValid())
        return;
    // Known to the server only once a window manager that counts desktops
    // has announced it.
    const xcb_atom_t desktop = display.existingAtom("_NET_WM_DESKTOP");
    if (desktop == XCB_ATOM_NONE)
        return;
    xcb_connection_t* c = display.xcb();
    // Read by the window manager when the window is mapped ...
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window), desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &EveryDesktop);
    // ... and asked of it for a window that it manages already.
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window);
    message.type = desktop;
    message.data.data32[0] = EveryDesktop;
    message.data.data32[1] = FromProgram;
    xcb_send_event(c, 0, display.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    // A round trip: the property is set before the caller maps the window.
    dx11Reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}
