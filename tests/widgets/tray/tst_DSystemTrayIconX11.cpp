// The tray icon and its instant panel on a real X server with a window manager
// and a system tray, driven by real pointer events.
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "DConfig.h"
#include "DDesktopCompositor.h"
#include "DMainWindowStandIn.h"
#include "DShapedTrayPanel.h"
#include "DSystemTrayIcon.h"
#include "DX11Compositor.h"
#include "DX11TestDisplay.h"

class tst_DSystemTrayIconX11 : public QObject
{
    Q_OBJECT

private:
    static bool xdotool(const QStringList& arguments)
    {
        return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
    }
    static QIcon plainIcon()
    {
        QPixmap pixmap(22, 22);
        pixmap.fill(QColor(30, 140, 200));
        return QIcon(pixmap);
    }
    // Until the tray has embedded the icon its geometry sits at the origin;
    // trayer stands at the top right.
    static bool embedded(const DSystemTrayIcon& tray)
    {
        return tray.geometry().isValid() && tray.geometry().left() > 0;
    }

    // What the screen shows in `area`, in the display's pixels.
    static QImage screenPixels(const QRect& area)
    {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // Gives the panel four buttons, shows the icon and opens the panel by
    // resting the pointer on the icon; returns the screen under the panel's
    // place from before it opened, and the panel as drawn.
    static void openPanelOverTheDesktop(MainWindowStandIn& window, DSystemTrayIcon& tray, QImage& desktop,
                                        QImage& drawn)
    {
        for (int i = 0; i < 4; ++i)
            tray.panel()->addButton(QIcon(), QString::number(i), &window, SLOT(onCapture()));
        tray.setVisible(true);
        QTRY_VERIFY_WITH_TIMEOUT(embedded(tray), 10000);
        const QPoint icon = tray.geometry().center();
        // The place is known once the panel has been open once.
        QVERIFY(xdotool({"mousemove", QString::number(icon.x()), QString::number(icon.y())}));
        QTRY_VERIFY_WITH_TIMEOUT(tray.panel()->isVisible(), 3000);
        const QRect place = tray.panel()->frameGeometry();
        QVERIFY(xdotool({"mousemove", "20", "600"}));
        QTRY_VERIFY_WITH_TIMEOUT(!tray.panel()->isVisible(), 3000);
        QTest::qWait(200);
        desktop = screenPixels(place);
        QVERIFY(xdotool({"mousemove", QString::number(icon.x()), QString::number(icon.y())}));
        QTRY_VERIFY_WITH_TIMEOUT(tray.panel()->isVisible(), 3000);
        QVERIFY(QTest::qWaitForWindowExposed(tray.panel(), 5000));
        QCOMPARE(tray.panel()->frameGeometry(), place);
        drawn = tray.panel()->grab().toImage();
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The panel's shape follows the real display's compositing manager.
        static DX11Compositor compositor;
        DDesktopCompositor::setCurrent(&compositor);
        delete DConfig::_instance()->m_pSettings;
        DConfig::_instance()->m_pSettings = new QSettings(m_dir.filePath("tray.ini"), QSettings::IniFormat);
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }

    // The panel opens while the pointer rests on the icon; a right click on the
    // icon then closes it and opens the menu, every time.
    void rightClickAfterThePanelOpensTheMenu()
    {
        MainWindowStandIn window;
        DSystemTrayIcon tray(&window, plainIcon());
        tray.panel()->addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
        tray.setVisible(true);
        QTRY_VERIFY_WITH_TIMEOUT(embedded(tray), 10000);
        const QPoint icon = tray.geometry().center();
        for (int attempt = 1; attempt <= 3; ++attempt) {
            QVERIFY(xdotool({"mousemove", QString::number(icon.x()), QString::number(icon.y())}));
            QTRY_VERIFY_WITH_TIMEOUT(tray.panel()->isVisible(), 3000);
            QVERIFY(xdotool({"click", "3"}));
            QTRY_VERIFY2_WITH_TIMEOUT(tray.menu()->isVisible(), qPrintable(QString("attempt %1").arg(attempt)), 3000);
            // It stays open: nothing closes it behind the user's back.
            QTest::qWait(400);
            QVERIFY2(tray.menu()->isVisible(), qPrintable(QString("attempt %1").arg(attempt)));
            QVERIFY(!tray.panel()->isVisible());
            QVERIFY(xdotool({"key", "Escape"}));
            QTRY_VERIFY_WITH_TIMEOUT(!tray.menu()->isVisible(), 3000);
            // Away from the icon, so that the next rest opens the panel again.
            QVERIFY(xdotool({"mousemove", "20", "600"}));
            QTRY_VERIFY_WITH_TIMEOUT(!tray.isPanelSuppressed(), 3000);
        }
    }

    // Without a compositing manager, what lies outside the rounded frame is the
    // desktop behind the panel, not black.
    void panelCornersShowTheDesktopWithoutACompositor()
    {
        QVERIFY(!DDesktopCompositor::current().isRunning());
        DX11TestDisplay display;
        QVERIFY(!display.paintRootNoise(1303).isNull());
        MainWindowStandIn window;
        DSystemTrayIcon tray(&window, plainIcon());
        QImage desktop, drawn;
        openPanelOverTheDesktop(window, tray, desktop, drawn);
        if (QTest::currentTestFailed())
            return;
        const QRect place = tray.panel()->frameGeometry();
        QImage shown;
        // Clear pixels show the desktop; the box shows its own dark grey.
        auto cornersShowTheDesktop = [&] {
            shown = screenPixels(place);
            for (const QPoint& corner : {QPoint(0, 0), QPoint(place.width() - 1, 0), QPoint(0, place.height() - 1),
                                         QPoint(place.width() - 1, place.height() - 1)}) {
                if (shown.pixel(corner) != desktop.pixel(corner))
                    return false;
            }
            return shown.pixel(place.width() / 2, place.height() / 2) == qRgb(50, 50, 50);
        };
        QTRY_VERIFY_WITH_TIMEOUT(cornersShowTheDesktop(), 3000);
        int wrong = 0;
        for (int y = 0; y < place.height(); ++y) {
            for (int x = 0; x < place.width(); ++x) {
                const int alpha = qAlpha(drawn.pixel(x, y));
                if ((alpha == 0 && shown.pixel(x, y) != desktop.pixel(x, y))
                    || (alpha == 255 && (shown.pixel(x, y) & 0xFFFFFF) != (drawn.pixel(x, y) & 0xFFFFFF)))
                    ++wrong;
            }
        }
        QCOMPARE(wrong, 0);
    }

    // A compositing manager blends the panel's translucent edges over the
    // desktop: no shape cuts them off.
    void panelEdgesStayTranslucentUnderACompositor()
    {
        DX11TestDisplay display;
        QVERIFY(!display.paintRootNoise(1304).isNull());
        QProcess compositor;
        compositor.start(QStringLiteral("xcompmgr"), QStringList());
        QVERIFY(compositor.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(DDesktopCompositor::current().isRunning(), 10000);
        MainWindowStandIn window;
        DSystemTrayIcon tray(&window, plainIcon());
        QImage desktop, drawn;
        openPanelOverTheDesktop(window, tray, desktop, drawn);
        const bool unshaped = tray.panel()->mask().isEmpty();
        const QRect place = tray.panel()->frameGeometry();
        // A pixel of the outer rim drawn less than half opaque: a shape would
        // leave the desktop there, blending darkens it.
        QPoint faint(-1, -1);
        for (int y = 0; y < drawn.height() && faint.x() < 0; ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const int alpha = qAlpha(drawn.pixel(x, y));
                if (alpha >= 40 && alpha < 100 && qGray(desktop.pixel(x, y)) > 60) {
                    faint = QPoint(x, y);
                    break;
                }
            }
        }
        auto blended = [&] {
            const QImage shown = screenPixels(place);
            return shown.pixel(0, 0) == desktop.pixel(0, 0) && shown.pixel(faint) != desktop.pixel(faint)
                && qGray(shown.pixel(faint)) < qGray(desktop.pixel(faint));
        };
        const bool sawBlend = faint.x() >= 0 && QTest::qWaitFor(blended, 3000);
        compositor.terminate();
        compositor.waitForFinished(5000);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(unshaped);
        QVERIFY(faint.x() >= 0);
        QVERIFY(sawBlend);
    }

    // Hovering the icon is no reason to take the keyboard from the window the
    // user types in.
    void panelLeavesTheActiveWindowActive()
    {
        MainWindowStandIn window;
        DSystemTrayIcon tray(&window, plainIcon());
        tray.panel()->addButton(QIcon(), QStringLiteral("A"), &window, SLOT(onCapture()));
        tray.setVisible(true);
        window.setGeometry(100, 300, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
        window.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(embedded(tray), 10000);
        const QPoint icon = tray.geometry().center();
        QVERIFY(xdotool({"mousemove", QString::number(icon.x()), QString::number(icon.y())}));
        QTRY_VERIFY_WITH_TIMEOUT(tray.panel()->isVisible(), 3000);
        QTest::qWait(300);
        QVERIFY(window.isActiveWindow());
        QVERIFY(!tray.panel()->isActiveWindow());
        QVERIFY(xdotool({"mousemove", "20", "600"}));
        QTRY_VERIFY_WITH_TIMEOUT(!tray.panel()->isVisible(), 3000);
    }
};

QTEST_MAIN(tst_DSystemTrayIconX11)
#include "tst_DSystemTrayIconX11.moc"
