#include <QtTest>
#include <QWidget>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

#include "DLinuxPlatformServices.h"
#include "DWidgetData.h"
#include "DWidgetDataBuilder.h"
#include "DX11WindowList.h"

// The X11 window list against real windows made by the test, run once on a bare
// X server and once under a window manager (WINDOW_MANAGER=1 in the environment).
class tst_DX11WindowList : public QObject
{
    Q_OBJECT

private:
    static bool underWindowManager() { return qEnvironmentVariableIntValue("WINDOW_MANAGER") == 1; }

    static QList<DOnScreenWindow> listNow()
    {
        QList<DOnScreenWindow> windows;
        DX11WindowList list;
        if (!list.onScreenWindows(windows))
            qWarning("no window list");
        return windows;
    }

    static int indexOfTitle(const QList<DOnScreenWindow>& windows, const QString& title)
    {
        for (int i = 0; i < windows.size(); ++i) {
            if (windows.at(i).hasName && windows.at(i).title == title)
                return i;
        }
        return -1;
    }

    static bool listed(const QString& title) { return indexOfTitle(listNow(), title) >= 0; }

    static QRect outerRect(const QWidget& widget)
    {
        return underWindowManager() ? widget.frameGeometry() : widget.geometry();
    }

    // A plain X window of our own, with or without a WM_NAME property.
    struct RawWindow
    {
        xcb_connection_t* connection = nullptr;
        xcb_window_t id = 0;

        RawWindow(const QRect& rect, const char* name, const char* windowType = nullptr, bool overrideRedirect = false)
        {
            connection = xcb_connect(nullptr, nullptr);
            const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
            id = xcb_generate_id(connection);
            const uint32_t values[] = { screen->white_pixel, overrideRedirect ? 1u : 0u };
            xcb_create_window(connection, XCB_COPY_FROM_PARENT, id, screen->root, rect.x(), rect.y(),
                              rect.width(), rect.height(), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                              screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
            if (name) {
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                                    uint32_t(std::strlen(name)), name);
            }
            if (windowType) {
                const xcb_atom_t property = atom("_NET_WM_WINDOW_TYPE");
                const xcb_atom_t type = atom(windowType);
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, property, XCB_ATOM_ATOM, 32, 1, &type);
            }
            xcb_map_window(connection, id);
            xcb_flush(connection);
        }
        ~RawWindow()
        {
            xcb_destroy_window(connection, id);
            xcb_flush(connection);
            xcb_disconnect(connection);
        }
        // Asks the window manager to move the window to another desktop
        // (0xFFFFFFFF: all of them).
        void moveToDesktop(uint32_t desktop) { askWindowManager(id, "_NET_WM_DESKTOP", {desktop, 2}); }
        void setProperty(const char* property, const char* type, const QByteArray& bytes)
        {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(property), atom(type), 8,
                                uint32_t(bytes.size()), bytes.constData());
            xcb_flush(connection);
        }
        xcb_atom_t atom(const char* name)
        {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
            return result;
        }
    };

    static xcb_atom_t atomOf(xcb_connection_t* c, const char* name)
    {
        xcb_intern_atom_reply_t* reply
            = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    // A client message about `window` to the root, as pager-like tools send
    // them (source 2); atoms are given by name.
    static void askWindowManager(xcb_window_t window, const char* message, std::initializer_list<uint32_t> data,
                                 const char* atomArgument = nullptr)
    {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atomOf(c, message);
        int i = 0;
        for (uint32_t value : data)
            event.data.data32[i++] = value;
        if (atomArgument)
            event.data.data32[1] = atomOf(c, atomArgument);
        xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        // A round trip: the server has sent the message on before this client goes.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        xcb_disconnect(c);
    }

    // Asks the window manager to shade the window (true) or unshade it.
    static void shade(xcb_window_t window, bool on)
    {
        askWindowManager(window, "_NET_WM_STATE", {on ? 1u : 0u, 0, 0, 2}, "_NET_WM_STATE_SHADED");
    }

    static void showAt(QWidget& widget, const QString& title, const QRect& geometry)
    {
        widget.setWindowTitle(title);
        widget.setGeometry(geometry);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget, 20000));
    }

    // Until the listed bounds settle: a window manager places frames asynchronously.
    static bool listedWithBounds(const QString& title, const QRect& expected)
    {
        const QList<DOnScreenWindow> windows = listNow();
        const int index = indexOfTitle(windows, title);
        return index >= 0 && windows.at(index).bounds.toRect() == expected;
    }

    // Whether an EWMH window manager has announced itself on the root window.
    static bool windowManagerRunning()
    {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof(name) - 1, name), nullptr);
        bool running = false;
        if (atom && atom->atom != XCB_ATOM_NONE) {
            xcb_get_property_reply_t* reply = xcb_get_property_reply(
                c, xcb_get_property(c, 0, screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            running = reply && xcb_get_property_value_length(reply) == 4;
            std::free(reply);
        }
        std::free(atom);
        xcb_disconnect(c);
        return running;
    }

private slots:
    void initTestCase()
    {
        // The window tree is built from the real display's list.
        installLinuxPlatformServices();
        // Under load the window manager may still be starting.
        if (underWindowManager())
            QTRY_VERIFY_WITH_TIMEOUT(windowManagerRunning(), 30000);
        else
            QVERIFY(!windowManagerRunning());
    }

    void noDisplayGivesNoList()
    {
        const QByteArray display = qgetenv("DISPLAY");
        qputenv("DISPLAY", ":98765");
        QList<DOnScreenWindow> windows;
        windows.append(DOnScreenWindow());
        const bool hasList = DX11WindowList().onScreenWindows(windows);
        qputenv("DISPLAY", display);
        QVERIFY(!hasList);
        QVERIFY(windows.isEmpty());
    }

    void titledWindowsWithTheirBounds()
    {
        QWidget first;
        QWidget second;
        showAt(first, "Zorvel first window", QRect(100, 120, 300, 200));
        showAt(second, QString::fromUtf8("Grüße ✓ second"), QRect(500, 300, 250, 150));
        QTRY_VERIFY(listedWithBounds("Zorvel first window", outerRect(first)));
        QTRY_VERIFY(listedWithBounds(QString::fromUtf8("Grüße ✓ second"), outerRect(second)));
        if (underWindowManager()) {
            // The frame is part of the bounds: taller than the client area.
            QVERIFY(outerRect(first).height() > first.height());
        }
    }

    void frontWindowComesFirst()
    {
        QWidget lower;
        QWidget upper;
        showAt(lower, "Zorvel lower", QRect(50, 50, 300, 300));
        showAt(upper, "Zorvel upper", QRect(100, 100, 300, 300));
        upper.raise();
        QTRY_VERIFY(indexOfTitle(listNow(), "Zorvel upper") >= 0 && indexOfTitle(listNow(), "Zorvel lower") >= 0);
        QTRY_VERIFY(indexOfTitle(listNow(), "Zorvel upper") < indexOfTitle(listNow(), "Zorvel lower"));
        lower.raise();
        if (underWindowManager())
            lower.activateWindow();
        QTRY_VERIFY(indexOfTitle(listNow(), "Zorvel lower") < indexOfTitle(listNow(), "Zorvel upper"));
    }

    void hiddenWindowsAreLeftOut()
    {
        QWidget widget;
        showAt(widget, "Zorvel hidden later", QRect(200, 200, 200, 200));
        QTRY_VERIFY(listed("Zorvel hidden later"));
        widget.hide();
        QTRY_VERIFY(!listed("Zorvel hidden later"));
    }

    void minimisedWindowsAreLeftOut()
    {
        if (!underWindowManager())
            QSKIP("minimising needs a window manager");
        QWidget widget;
        showAt(widget, "Zorvel minimised later", QRect(200, 200, 200, 200));
        QTRY_VERIFY(listed("Zorvel minimised later"));
        widget.showMinimized();
        QTRY_VERIFY(!listed("Zorvel minimised later"));
    }

    void nameMayBeMissingOrEmpty()
    {
        RawWindow unnamed(QRect(10, 400, 120, 90), nullptr);
        RawWindow emptyName(QRect(300, 400, 130, 80), "");
        RawWindow named(QRect(600, 400, 140, 70), "Zorvel raw window");
        QTRY_VERIFY(listed("Zorvel raw window"));
        const QList<DOnScreenWindow> windows = listNow();
        bool sawUnnamed = false;
        bool sawEmptyName = false;
        for (const DOnScreenWindow& window : windows) {
            // Match by size: a window manager may place raw windows where it likes.
            const QSize size = window.bounds.size().toSize();
            if (!underWindowManager() && size == QSize(120, 90)) {
                sawUnnamed = true;
                QVERIFY(!window.hasName);
                QCOMPARE(window.bounds.toRect(), QRect(10, 400, 120, 90));
            }
            if (!underWindowManager() && size == QSize(130, 80)) {
                sawEmptyName = true;
                QVERIFY(window.hasName);
                QVERIFY(window.title.isEmpty());
            }
            if (underWindowManager() && window.hasName && window.title.isEmpty())
                sawEmptyName = true;
            if (underWindowManager() && !window.hasName)
                sawUnnamed = true;
        }
        QVERIFY(sawUnnamed);
        QVERIFY(sawEmptyName);
    }

    void desktopWindowsAreLeftOut()
    {
        if (!underWindowManager())
            QSKIP("window types are a window manager's business");
        RawWindow desktop(QRect(0, 0, 1280, 800), "Zorvel desktop", "_NET_WM_WINDOW_TYPE_DESKTOP");
        RawWindow normal(QRect(0, 0, 200, 100), "Zorvel normal", "_NET_WM_WINDOW_TYPE_NORMAL");
        QTRY_VERIFY(listed("Zorvel normal"));
        QVERIFY(!listed("Zorvel desktop"));
    }

    void windowsOfOtherDesktopsAreLeftOut()
    {
        if (!underWindowManager())
            QSKIP("desktops are a window manager's business");
        RawWindow elsewhere(QRect(0, 0, 200, 100), "Zorvel other desktop");
        RawWindow everywhere(QRect(0, 0, 200, 100), "Zorvel all desktops");
        RawWindow here(QRect(0, 0, 200, 100), "Zorvel this desktop");
        QTRY_VERIFY(listed("Zorvel other desktop") && listed("Zorvel all desktops") && listed("Zorvel this desktop"));
        elsewhere.moveToDesktop(1);
        everywhere.moveToDesktop(0xFFFFFFFFu);
        QTRY_VERIFY(!listed("Zorvel other desktop"));
        QVERIFY(listed("Zorvel all desktops"));
        QVERIFY(listed("Zorvel this desktop"));
    }

    // A window manager that has gone leaves its properties on the root: its check
    // window no longer exists and its client list names no window on screen.
    void propertiesOfAGoneWindowManagerAreIgnored()
    {
        if (underWindowManager())
            QSKIP("needs a server whose window manager has gone");
        QWidget widget;
        showAt(widget, "Zorvel after the window manager", QRect(150, 150, 200, 100));
        QTRY_VERIFY(listed("Zorvel after the window manager"));

        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto atom = [c](const char* name) {
            xcb_intern_atom_reply_t* reply
                = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
            const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
            return result;
        };
        const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
        const xcb_atom_t stacking = atom("_NET_CLIENT_LIST_STACKING");
        const xcb_window_t gone = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, gone, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_destroy_window(c, gone);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, check, XCB_ATOM_WINDOW, 32, 1, &gone);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, stacking, XCB_ATOM_WINDOW, 32, 1, &gone);
        // A round trip: the server has taken the changes before the listing looks.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

        const bool stillListed = listed("Zorvel after the window manager");

        xcb_delete_property(c, root, check);
        xcb_delete_property(c, root, stacking);
        xcb_flush(c);
        xcb_disconnect(c);
        QVERIFY(stillListed);
    }

    // A client that writes its title as COMPOUND_TEXT and sets no _NET_WM_NAME
    // (the bytes the X library writes for this title).
    void compoundTextTitle()
    {
        RawWindow window(QRect(100, 100, 200, 100), nullptr);
        window.setProperty("WM_NAME", "COMPOUND_TEXT", QByteArray("Stra\xdf" "e \x1b%G\xe2\x9c\x93\x1b%@ Z\xfc" "rich"));
        QTRY_VERIFY(listed(QString::fromUtf8("Straße ✓ Zürich")));
    }

    // A shaded window shows its title bar only: that is its place on screen.
    void shadedWindowIsItsTitleBar()
    {
        if (!underWindowManager())
            QSKIP("shading is a window manager's business");
        QWidget window;
        showAt(window, "Zorvel shaded", QRect(300, 200, 400, 300));
        QTRY_VERIFY(listedWithBounds("Zorvel shaded", outerRect(window)));
        const QRectF open = outerRect(window);
        auto boundsNow = [] {
            const QList<DOnScreenWindow> windows = listNow();
            const int index = indexOfTitle(windows, "Zorvel shaded");
            return index >= 0 ? windows.at(index).bounds : QRectF();
        };
        shade(xcb_window_t(window.winId()), true);
        QTRY_VERIFY(boundsNow().height() < 50);
        const QRectF shaded = boundsNow();
        QCOMPARE(shaded.topLeft(), open.topLeft());
        QCOMPARE(shaded.width(), open.width());
        QVERIFY(shaded.height() > 0);
        shade(xcb_window_t(window.winId()), false);
        QTRY_COMPARE(boundsNow(), open);
    }

    // Windows outside any window manager's care (menus, tooltips) are on
    // screen above the clients, and listed so: in front.
    void unmanagedWindowsStandInFront()
    {
        RawWindow client(QRect(200, 200, 400, 300), "Zorvel client");
        QTRY_VERIFY(listed("Zorvel client"));
        RawWindow menu(QRect(300, 250, 150, 200), "Zorvel menu", nullptr, true);
        RawWindow tooltip(QRect(320, 260, 80, 20), nullptr, nullptr, true);
        QTRY_VERIFY(listed("Zorvel menu"));
        const QList<DOnScreenWindow> windows = listNow();
        const int menuIndex = indexOfTitle(windows, "Zorvel menu");
        QVERIFY(menuIndex < indexOfTitle(windows, "Zorvel client"));
        QCOMPARE(windows.at(menuIndex).bounds.toRect(), QRect(300, 250, 150, 200));
        // The unnamed one on top of it comes first of all.
        QVERIFY(menuIndex > 0);
        QVERIFY(!windows.at(menuIndex - 1).hasName);
        QCOMPARE(windows.at(menuIndex - 1).bounds.toRect(), QRect(320, 260, 80, 20));

        // In the window tree: picking the menu picks the menu.
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, QRect(0, 0, 1280, 800));
        const DWidgetHit hit = root.findWidgetFromPoint(QPoint(400, 400));
        QVERIFY(hit.node);
        QCOMPARE(hit.node->title, QString("Zorvel menu"));
    }

    void windowsOffTheScreenAreLeftOut()
    {
        RawWindow away(QRect(-500, -500, 100, 100), "Zorvel far away", nullptr, true);
        RawWindow here(QRect(100, 100, 100, 100), "Zorvel near", nullptr, true);
        QTRY_VERIFY(listed("Zorvel near"));
        QVERIFY(!listed("Zorvel far away"));
    }

    void treeFromTheRealList()
    {
        QWidget widget;
        showAt(widget, "Zorvel tree window", QRect(300, 200, 200, 150));
        QTRY_VERIFY(listedWithBounds("Zorvel tree window", outerRect(widget)));
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, QRect(0, 0, 1280, 800));
        const DWidgetHit hit = root.findWidgetFromPoint(QPoint(400, 275));
        QVERIFY(hit.node);
        QCOMPARE(hit.node->title, QString("Zorvel tree window"));
        QCOMPARE(hit.rectangle, outerRect(widget));
        QCOMPARE(root.findWidgetFromPoint(QPoint(1270, 790)).node, &root);
    }
};

// Plain X rendering: the GL integration's one-time set-up allocates memory that
// is never given back, which the leak checker would report against this test.
int main(int argc, char** argv)
{
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_DX11WindowList test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_DX11WindowList.moc"
