#ifndef DX11CONNECTION_H
#define DX11CONNECTION_H

#include <QRect>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

// xcb replies are malloc'ed and freed by the caller.
template <typename T>
using DX11Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
DX11Reply<T> dx11Reply(T* reply)
{
    return DX11Reply<T>(reply, &std::free);
}

// One connection to the X display named by DISPLAY, for the length of one
// call, with the screen that the name picks. Included by X11 sources only: the
// X headers stay away from the generated messages.
class DX11Connection
{
public:
    DX11Connection();
    ~DX11Connection();
    DX11Connection(const DX11Connection&) = delete;
    DX11Connection& operator=(const DX11Connection&) = delete;

    bool isValid() const { return m_screen != nullptr; }
    xcb_connection_t* xcb() const { return m_connection; }
    const xcb_screen_t* screen() const { return m_screen; }
    xcb_window_t root() const { return m_screen ? m_screen->root : xcb_window_t(XCB_WINDOW_NONE); }
    QRect rootRect() const;
    // The atom of `name`; XCB_ATOM_NONE when the server knows none by that name.
    xcb_atom_t existingAtom(const char* name) const;

private:
    xcb_connection_t* m_connection = nullptr;
    const xcb_screen_t* m_screen = nullptr;
};

#endif // DX11CONNECTION_H
