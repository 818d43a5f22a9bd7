#include "DX11WindowList.h"

#include <QByteArray>
#include <QVector>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

namespace {

// xcb replies are malloc'ed and freed by the caller.
template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> wrap(T* reply)
{
    return Reply<T>(reply, &std::free);
}

// One X connection for the duration of one listing.
class Connection
{
public:
    Connection()
    {
        int screenNumber = 0;
        m_connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; it.rem && i < screenNumber; ++i)
            xcb_screen_next(&it);
        if (it.rem)
            m_root = it.data->root;
    }
    ~Connection()
    {
        if (m_ewmhReady)
            xcb_ewmh_connection_wipe(&m_ewmh);
        xcb_disconnect(m_connection);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isValid() const { return m_root != XCB_WINDOW_NONE; }
    xcb_connection_t* xcb() const { return m_connection; }
    xcb_window_t root() const { return m_root; }

    xcb_ewmh_connection_t* ewmh()
    {
        if (!m_ewmhTried) {
            m_ewmhTried = true;
            xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(m_connection, &m_ewmh);
            m_ewmhReady = xcb_ewmh_init_atoms_replies(&m_ewmh, cookies, nullptr);
        }
        return m_ewmhReady ? &m_ewmh : nullptr;
    }

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_ewmh_connection_t m_ewmh {};
    bool m_ewmhTried = false;
    bool m_ewmhReady = false;
};

// A property of any type; null when the window does not have it.
Reply<xcb_get_property_reply_t> readProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property)
{
    auto reply = wrap(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20), nullptr));
    if (reply && reply->type == XCB_ATOM_NONE)
        reply.reset();
    return reply;
}

QByteArray propertyBytes(xcb_get_property_reply_t* reply)
{
    const int length = xcb_get_property_value_length(reply);
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), length);
}

// The window's name: _NET_WM_NAME (UTF-8) first, else WM_NAME. Either property
// being there, even empty, means the window has a name.
void readName(xcb_connection_t* c, xcb_ewmh_connection_t* ewmh, xcb_window_t window, DOnScreenWindow& out)
{
    if (ewmh) {
        if (auto reply = readProperty(c, window, ewmh->_NET_WM_NAME)) {
            out.hasName = true;
            out.title = QString::fromUtf8(propertyBytes(reply.get()));
            return;
        }
    }
    auto reply = readProperty(c, window, XCB_ATOM_WM_NAME);
    if (!reply)
        return;
    out.hasName = true;
    const QByteArray bytes = propertyBytes(reply.get());
    // STRING is Latin-1; a UTF8_STRING says so; anything else (COMPOUND_TEXT)
    // is read as Latin-1, which is exact for its ASCII part.
    if (ewmh && reply->type == ewmh->UTF8_STRING)
        out.title = QString::fromUtf8(bytes);
    else
        out.title = QString::fromLatin1(bytes);
}

bool isViewable(xcb_connection_t* c, xcb_window_t window)
{
    auto attributes = wrap(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE
        && attributes->_class != XCB_WINDOW_CLASS_INPUT_ONLY;
}

bool hasAtom(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t wanted)
{
    auto reply = readProperty(c, window, property);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == wanted)
            return true;
    }
    return false;
}

// The window's outer rectangle in root coordinates, border included.
bool outerBounds(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, QRectF& bounds)
{
    auto geometry = wrap(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!geometry)
        return false;
    auto origin = wrap(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
    if (!origin)
        return false;
    const int border = geometry->border_width;
    bounds = QRectF(origin->dst_x - border, origin->dst_y - border,
                    geometry->width + 2 * border, geometry->height + 2 * border);
    return true;
}

bool isOnDesktop(xcb_ewmh_connection_t* ewmh, xcb_window_t window, bool knowCurrent, uint32_t current)
{
    if (!knowCurrent)
        return true;
    uint32_t desktop = 0;
    if (!xcb_ewmh_get_wm_desktop_reply(ewmh, xcb_ewmh_get_wm_desktop(ewmh, window), &desktop, nullptr))
        return true;
    return desktop == 0xFFFFFFFFu || desktop == current;
}

// Whether an EWMH window manager runs now. The root's check window must name
// itself too: a window manager that has gone leaves its properties on the root,
// and its stale client list would hide every window.
bool windowManagerRuns(xcb_ewmh_connection_t* ewmh, xcb_window_t root)
{
    xcb_window_t check = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, root), &check, nullptr)
        || check == XCB_WINDOW_NONE)
        return false;
    xcb_window_t self = XCB_WINDOW_NONE;
    return xcb_ewmh_get_supporting_wm_check_reply(ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, check), &self, nullptr)
        && self == check;
}

// Managed clients, from _NET_CLIENT_LIST_STACKING (bottom to top). False when no
// EWMH window manager keeps that list.
bool listManagedWindows(Connection& connection, QList<DOnScreenWindow>& windows)
{
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    if (!ewmh)
        return false;
    if (!windowManagerRuns(ewmh, connection.root()))
        return false;
    xcb_ewmh_get_windows_reply_t stacking;
    if (!xcb_ewmh_get_client_list_stacking_reply(ewmh, xcb_ewmh_get_client_list_stacking(ewmh, 0), &stacking, nullptr))
        return false;
    QVector<xcb_window_t> clients(stacking.windows, stacking.windows + stacking.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&stacking);

    uint32_t currentDesktop = 0;
    const bool knowCurrent = xcb_ewmh_get_current_desktop_reply(
        ewmh, xcb_ewmh_get_current_desktop(ewmh, 0), &currentDesktop, nullptr);

    xcb_connection_t* c = connection.xcb();
    for (auto it = clients.crbegin(); it != clients.crend(); ++it) {
        const xcb_window_t window = *it;
        if (!isViewable(c, window)
            || hasAtom(c, window, ewmh->_NET_WM_STATE, ewmh->_NET_WM_STATE_HIDDEN)
            || hasAtom(c, window, ewmh->_NET_WM_WINDOW_TYPE, ewmh->_NET_WM_WINDOW_TYPE_DESKTOP)
            || !isOnDesktop(ewmh, window, knowCurrent, currentDesktop))
            continue;
        DOnScreenWindow entry;
        if (!outerBounds(c, connection.root(), window, entry.bounds))
            continue;
        xcb_ewmh_get_extents_reply_t frame;
        if (xcb_ewmh_get_frame_extents_reply(ewmh, xcb_ewmh_get_frame_extents(ewmh, window), &frame, nullptr)) {
            entry.bounds.adjust(-double(frame.left), -double(frame.top), double(frame.right), double(frame.bottom));
        }
        readName(c, ewmh, window, entry);
        windows.append(entry);
    }
    return true;
}

// Without a window manager: the root's mapped children (bottom to top from the server).
bool listRootChildren(Connection& connection, QList<DOnScreenWindow>& windows)
{
    xcb_connection_t* c = connection.xcb();
    auto tree = wrap(xcb_query_tree_reply(c, xcb_query_tree(c, connection.root()), nullptr));
    if (!tree)
        return false;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    for (int i = count - 1; i >= 0; --i) {
        if (!isViewable(c, children[i]))
            continue;
        DOnScreenWindow entry;
        if (!outerBounds(c, connection.root(), children[i], entry.bounds))
            continue;
        readName(c, ewmh, children[i], entry);
        windows.append(entry);
    }
    return true;
}

} // namespace

bool DX11WindowList::onScreenWindows(QList<DOnScreenWindow>& windows) const
{
    windows.clear();
    Connection connection;
    if (!connection.isValid())
        return false;
    if (listManagedWindows(connection, windows))
        return true;
    windows.clear();
    return listRootChildren(connection, windows);
}
