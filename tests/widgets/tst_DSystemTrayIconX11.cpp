// The tray icon and its instant panel on a real X server with a window manager
// and a system tray, driven by real pointer events.
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "DConfig.h"
#include "DMainWindowStandIn.h"
#include "DShapedTrayPanel.h"
#include "DSystemTrayIcon.h"

class TestDSystemTrayIconX11 : public QObject
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

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
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

int main(int argc, char** argv)
{
    // Nothing here draws with OpenGL; its driver's allocations at exit would
    // be reported as leaks.
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    TestDSystemTrayIconX11 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_DSystemTrayIconX11.moc"
