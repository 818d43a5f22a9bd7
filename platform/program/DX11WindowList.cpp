#include "DX11WindowList.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QVector>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include "DCompoundText.h"
#include "DX11Connection.h"

namespace {

// The display for one listing, with its window manager's atoms.
class Connection : public DX11Connection
{
public:
    Connection() = default;
    ~Connection()
    {
        if (m_ewmhReady)
            xcb_ewmh_connection_wipe(&m_ewmh);
    }

    xcb_atom_t compoundText()
    {
        if (m_compoundText == XCB_ATOM_NONE)
            m_compoundText = existingAtom("COMPOUND_TEXT");
        return m_compoundText;
    }

    xcb_ewmh_connection_t* ewmh()
    {
        if (!m_ewmhTried) {
            m_ewmhTried = true;
            xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(xcb(), &m_ewmh);
            m_ewmhReady = xcb_ewmh_init_atoms_replies(&m_ewmh, cookies, nullptr);
        }
        return m_ewmhReady ? &m_ewmh : nullptr;
    }

private:
    xcb_atom_t m_compoundText = XCB_ATOM_NONE;
    xcb_ewmh_connection_t m_ewmh {};
    bool m_ewmhTried = false;
    bool m_ewmhReady = false;
};

// A property of any type; null when the window does not have it.
DX11Reply<xcb_get_property_reply_t> readProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property)
{
    auto reply = dx11Reply(xcb_get_property_reply(
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
void readName(Connection& connection, xcb_window_t window, DOnScreenWindow& out)
{
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
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
    // STRING is Latin-1; a UTF8_STRING says so; clients write anything beyond
    // Latin-1 as COMPOUND_TEXT.
    if (ewmh && reply->type == ewmh->UTF8_STRING)
        out.title = QString::fromUtf8(bytes);
    else if (reply->type == connection.compoundText())
        out.title = DCompoundText::decode(bytes);
    else
        out.title = QString::fromLatin1(bytes);
}

DX11Reply<xcb_get_window_attributes_reply_t> attributesOf(xcb_connection_t* c, xcb_window_t window)
{
    return dx11Reply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
}

bool isViewable(const xcb_get_window_attributes_reply_t* attributes)
{
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE
        && attributes->_class != XCB_WINDOW_CLASS_INPUT_ONLY;
}

bool isViewable(xcb_connection_t* c, xcb_window_t window)
{
    return isViewable(attributesOf(c, window).get());
}

// The child of the root that holds `window`: its frame under a reparenting
// window manager, else the window itself.
xcb_window_t topLevelOf(xcb_connection_t* c, xcb_window_t root, xcb_window_t window)
{
    xcb_window_t current = window;
    // A bound on the walk: frames nest a few windows deep at most.
    for (int depth = 0; depth < 16; ++depth) {
        auto tree = dx11Reply(xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr));
        if (!tree || tree->parent == root || tree->parent == XCB_WINDOW_NONE)
            return current;
        current = tree->parent;
    }
    return current;
}

// The root's children, bottom to top; empty when the server gives no tree.
QVector<xcb_window_t> rootChildren(Connection& connection)
{
    xcb_connection_t* c = connection.xcb();
    auto tree = dx11Reply(xcb_query_tree_reply(c, xcb_query_tree(c, connection.root()), nullptr));
    if (!tree)
        return QVector<xcb_window_t>();
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return QVector<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get()));
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
    auto geometry = dx11Reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!geometry)
        return false;
    auto origin = dx11Reply(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
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

// A client as listed: its frame's place on screen, and its name.
struct ClientEntry
{
    xcb_window_t topLevel = XCB_WINDOW_NONE;
    DOnScreenWindow window;
};

// The client with its frame (_NET_FRAME_EXTENTS), cut to what its top-level
// window shows: a shaded window shows its title bar only.
bool readClient(Connection& connection, xcb_window_t window, xcb_window_t topLevel, DOnScreenWindow& entry)
{
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    if (!outerBounds(c, connection.root(), window, entry.bounds))
        return false;
    xcb_ewmh_get_extents_reply_t frame;
    if (xcb_ewmh_get_frame_extents_reply(ewmh, xcb_ewmh_get_frame_extents(ewmh, window), &frame, nullptr))
        entry.bounds.adjust(-double(frame.left), -double(frame.top), double(frame.right), double(frame.bottom));
    QRectF shown;
    if (topLevel != window && outerBounds(c, connection.root(), topLevel, shown))
        entry.bounds &= shown;
    readName(connection, window, entry);
    return !entry.bounds.isEmpty();
}

// A window that no window manager handles (a menu, a tooltip, a notification):
// on screen as it is, wherever it stands in the stack.
bool readUnmanaged(Connection& connection, xcb_window_t window, DOnScreenWindow& entry)
{
    auto attributes = attributesOf(connection.xcb(), window);
    if (!isViewable(attributes.get()) || !attributes->override_redirect)
        return false;
    if (!outerBounds(connection.xcb(), connection.root(), window, entry.bounds))
        return false;
    readName(connection, window, entry);
    return true;
}

// Managed clients, from _NET_CLIENT_LIST_STACKING (bottom to top), merged with
// the windows that stand outside the window manager's care by the stacking
// order of the root's children. False when no EWMH window manager keeps that list.
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
    // Every client's top-level window, listed or not: the frame of a client
    // that is left out is no window of its own.
    QSet<xcb_window_t> frames;
    QList<ClientEntry> listed;
    for (auto it = clients.crbegin(); it != clients.crend(); ++it) {
        const xcb_window_t window = *it;
        ClientEntry entry;
        entry.topLevel = topLevelOf(c, connection.root(), window);
        frames.insert(entry.topLevel);
        if (!isViewable(c, window)
            || hasAtom(c, window, ewmh->_NET_WM_STATE, ewmh->_NET_WM_STATE_HIDDEN)
            || hasAtom(c, window, ewmh->_NET_WM_WINDOW_TYPE, ewmh->_NET_WM_WINDOW_TYPE_DESKTOP)
            || !isOnDesktop(ewmh, window, knowCurrent, currentDesktop))
            continue;
        if (readClient(connection, window, entry.topLevel, entry.window))
            listed.append(entry);
    }

    const QVector<xcb_window_t> stack = rootChildren(connection);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (frames.contains(*it)) {
            for (const ClientEntry& entry : qAsConst(listed)) {
                if (entry.topLevel == *it)
                    windows.append(entry.window);
            }
            continue;
        }
        DOnScreenWindow entry;
        if (readUnmanaged(connection, *it, entry))
            windows.append(entry);
    }
    // Clients whose top-level window is not among the root's children (it went
    // away meanwhile) keep the window manager's order, behind the rest.
    const QSet<xcb_window_t> onStack(stack.cbegin(), stack.cend());
    for (const ClientEntry& entry : qAsConst(listed)) {
        if (!onStack.contains(entry.topLevel))
            windows.append(entry.window);
    }
    return true;
}

// Without a window manager: the root's mapped children.
bool listRootChildren(Connection& connection, QList<DOnScreenWindow>& windows)
{
    xcb_connection_t* c = connection.xcb();
    const QVector<xcb_window_t> stack = rootChildren(connection);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (!isViewable(c, *it))
            continue;
        DOnScreenWindow entry;
        if (!outerBounds(c, connection.root(), *it, entry.bounds))
            continue;
        readName(connection, *it, entry);
        windows.append(entry);
    }
    return true;
}

// Only what the screen can show: a window wholly off the root is not on it.
void dropOffScreen(Connection& connection, QList<DOnScreenWindow>& windows)
{
    const QRectF screen = connection.rootRect();
    if (screen.isEmpty())
        return;
    for (int i = windows.size() - 1; i >= 0; --i) {
        if (!windows.at(i).bounds.intersects(screen))
            windows.removeAt(i);
    }
}

} // namespace

bool DX11WindowList::onScreenWindows(QList<DOnScreenWindow>& windows) const
{
    windows.clear();
    Connection connection;
    if (!connection.isValid())
        return false;
    if (!listManagedWindows(connection, windows)) {
        windows.clear();
        if (!listRootChildren(connection, windows))
            return false;
    }
    dropOffScreen(connection, windows);
    return true;
}
