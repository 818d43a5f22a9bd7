#include "DX11Compositor.h"

#include <cstdlib>
#include <string>

#include <xcb/xcb.h>

bool DX11Compositor::isRunning() const
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    bool running = false;
    if (!xcb_connection_has_error(connection)) {
        const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.c_str()), nullptr);
        if (atom) {
            xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
            running = owner && owner->owner != XCB_WINDOW_NONE;
            std::free(owner);
            std::free(atom);
        }
    }
    xcb_disconnect(connection);
    return running;
}
