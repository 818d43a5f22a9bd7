#include "DX11Connection.h"

#include <cstring>

DX11Connection::DX11Connection()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; it.rem && i < screenNumber; ++i)
        xcb_screen_next(&it);
    if (it.rem)
        m_screen = it.data;
}

DX11Connection::~DX11Connection()
{
    xcb_disconnect(m_connection);
}

QRect DX11Connection::rootRect() const
{
    return m_screen ? QRect(0, 0, m_screen->width_in_pixels, m_screen->height_in_pixels) : QRect();
}

xcb_atom_t DX11Connection::existingAtom(const char* name) const
{
    auto reply = dx11Reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 1, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}
