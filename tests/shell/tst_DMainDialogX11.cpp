// The main window on a real X server with a window manager and a tray: the
// capture trigger from a shown, a minimised and a hidden window, and the
// instant panel opening over the real tray icon.
#include <QApplication>
#include <QCursor>
#include <QLayout>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "DConfigCapture.h"
#include "DGrabbingMainDialog.h"
#include "DLinuxPlatformServices.h"
#include "DMainDialog.h"
#include "DShapedTrayPanel.h"

class tst_DMainDialogX11 : public QObject
{
    Q_OBJECT

private:
    // Share of pixels that two images of the same size have in common.
    static double sameShare(const QImage& a, const QImage& b);
    static void settleLayout(QWidget* window);

    QTemporaryDir m_dir;
    int m_nFile = 0;

private slots:
    void initTestCase();
    void init();
    void windowIsAsWideAsItsForm();
    void captureFromShownWindow_data();
    void captureFromShownWindow();
    void captureFromMinimisedWindow();
    void captureFromHiddenWindow();
    void instantPanelOverTheTrayIcon();
};

double tst_DMainDialogX11::sameShare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size() || x.isNull())
        return 0;
    qint64 same = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int column = 0; column < x.width(); ++column)
            same += x.pixel(column, row) == y.pixel(column, row);
    return double(same) / (qint64(x.width()) * x.height());
}

void tst_DMainDialogX11::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The captures read the real display: its pixels and its windows.
    installLinuxPlatformServices();
}

void tst_DMainDialogX11::init()
{
    QSettings*& settings = DSingleton<DConfigCapture>::instance()->m_pSettings;
    delete settings;
    settings = new QSettings(m_dir.filePath(QStringLiteral("x11-%1.ini").arg(++m_nFile)), QSettings::IniFormat);
}

// Lets every pending polish and layout request of the window run, so that its
// size limits are the ones the layout settles on.
void tst_DMainDialogX11::settleLayout(QWidget* window)
{
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
    window->layout()->activate();
}

void tst_DMainDialogX11::windowIsAsWideAsItsForm()
{
    GrabbingMainDialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    settleLayout(&window);
    QCOMPARE(window.width(), 425);
    QVERIFY(window.minimumWidth() <= 425);
    QToolButton* options = window.findChild<QToolButton*>(QStringLiteral("toolButtonAdvancedOptions"));
    QVERIFY(options);
    options->click();
    QTRY_VERIFY(window.height() > 300);
    // Each page, in its tallest state, fits into 425 x 500: the layout's
    // limits follow the contents, so the contents must fit the window.
    QTabWidget* pages = window.findChild<QTabWidget*>(QStringLiteral("tabWidgetSettings"));
    QVERIFY(pages);
    window.findChild<QRadioButton*>(QStringLiteral("radioButtonAutomaticName"))->click();
    window.findChild<QRadioButton*>(QStringLiteral("radioButtonJPG"))->click();
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        settleLayout(&window);
        QVERIFY2(window.minimumWidth() <= 425, qPrintable(pages->tabText(page)));
        QVERIFY2(window.minimumHeight() <= 500, qPrintable(pages->tabText(page)));
        QTRY_COMPARE(window.width(), 425);
        QVERIFY(window.height() <= 500);
    }
}

void tst_DMainDialogX11::captureFromShownWindow_data()
{
    QTest::addColumn<int>("clicks");
    QTest::newRow("click") << 1;
    // The second click of a double click comes while the window minimises.
    QTest::newRow("double click") << 2;
}

void tst_DMainDialogX11::captureFromShownWindow()
{
    QFETCH(int, clicks);
    GrabbingMainDialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    window.move(120, 140);
    QTRY_COMPARE(window.pos(), QPoint(120, 140));
    QTest::qWait(200);
    const QSize size = window.size();
    const QImage look = window.grab().toImage();
    const QRect where = window.geometry();

    QToolButton* region = window.findChild<QToolButton*>(QStringLiteral("toolButtonModeRegion"));
    QVERIFY(region);
    for (int click = 0; click < clicks; ++click)
        QTest::mouseClick(region, Qt::LeftButton);
    QCOMPARE(window.restoreFlags(), DMainDialog::RestoreShowNormal | DMainDialog::RestoreGeometry);
    QVERIFY(!window.trayIcon()->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(window.m_nGrabs, 1, 5000);
    QVERIFY(!window.m_bVisibleDuringGrab);
    QVERIFY(!window.m_bTrayVisibleDuringGrab);
    QCOMPARE(window.m_screenRect, window.screen()->geometry());
    QCOMPARE(window.m_screenshot.size(), window.m_screenRect.size());
    // The window is not in its own grab.
    const QImage grabbed = window.m_screenshot.toImage().copy(where.translated(-window.m_screenRect.topLeft()));
    QVERIFY2(sameShare(grabbed, look) < 0.5, "the grab shows the main window");

    // Back as it was: shown normally, same size and place, active. A busy
    // window manager may carry out the minimise request after the window came
    // back: it must end shown all the same.
    QTRY_VERIFY(window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 10000);
    QTest::qWait(1000);
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isActiveWindow());
    QCOMPARE(window.pos(), QPoint(120, 140));
    QCOMPARE(window.size(), size);
    QVERIFY(window.trayIcon()->isVisible());
    QCOMPARE(window.m_nGrabs, 1);
}

void tst_DMainDialogX11::captureFromMinimisedWindow()
{
    GrabbingMainDialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    window.move(200, 100);
    QTRY_COMPARE(window.pos(), QPoint(200, 100));
    const QSize size = window.size();
    window.showMinimized();
    QTRY_VERIFY(window.isMinimized());
    window.capture(DD::Region);
    QCOMPARE(window.restoreFlags(), int(DMainDialog::RestoreGeometry));
    QVERIFY(!window.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(window.m_nGrabs, 1, 5000);
    QVERIFY(!window.m_bVisibleDuringGrab);
    // Stays hidden, with its size and place kept for the next showing.
    QTest::qWait(300);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.size(), size);
    QCOMPARE(window.pos(), QPoint(200, 100));
    QVERIFY(window.trayIcon()->isVisible());
}

void tst_DMainDialogX11::captureFromHiddenWindow()
{
    GrabbingMainDialog window;
    QVERIFY(!window.isVisible());
    window.capture(DD::Window);
    QCOMPARE(window.restoreFlags(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(window.m_nGrabs, 1, 5000);
    QVERIFY(!window.m_screenshot.isNull());
    QTest::qWait(300);
    QVERIFY(!window.isVisible());
    QVERIFY(window.trayIcon()->isVisible());
}

void tst_DMainDialogX11::instantPanelOverTheTrayIcon()
{
    GrabbingMainDialog window;
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
    DSystemTrayIcon* tray = window.trayIcon();
    // Until the tray has embedded the icon its geometry sits at the origin;
    // trayer stands at the top right.
    QTRY_VERIFY_WITH_TIMEOUT(tray->geometry().isValid() && tray->geometry().left() > 0, 5000);
    const QRect icon = tray->geometry();
    DShapedTrayPanel* panel = tray->panel();
    QCursor::setPos(icon.center());
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 3000);
    QCOMPARE(panel->size(), QSize(189, 70));
    // The tray is at the top of the screen: the panel opens below the icon.
    QVERIFY(!panel->isArrowAtBottom());
    const QPoint anchor((icon.left() + icon.right()) / 2, (icon.top() + icon.bottom()) / 2);
    // Centred under the icon as far as the screen's edge allows.
    const QRect screen = QGuiApplication::screenAt(anchor)->geometry();
    const int x = qMin(anchor.x() + 1 - 189 / 2, screen.right() + 1 - 189);
    QTRY_COMPARE(panel->pos(), QPoint(x, anchor.y() + 13));
    QVERIFY(screen.contains(panel->frameGeometry()));
    // Resting on the panel keeps it open; leaving closes it.
    QCursor::setPos(panel->geometry().center());
    QTest::qWait(500);
    QVERIFY(panel->isVisible());
    QCursor::setPos(QPoint(10, 700));
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 3000);
}

int main(int argc, char** argv)
{
    // Nothing here draws with OpenGL. Without this the xcb plugin loads the GL
    // driver, which is unloaded at exit with allocations LeakSanitizer then
    // reports against an unknown module.
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_DMainDialogX11 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_DMainDialogX11.moc"
