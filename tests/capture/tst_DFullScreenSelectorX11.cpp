// The capture overlay of this process on a real X server: it covers the screen
// it is given (on a second monitor too), has the keyboard from the start and
// after nested dialogs, and picks real windows.
#include <QtTest>

#include <QClipboard>
#include <QDir>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include "DConfigCapture.h"
#include "DLinuxPlatformServices.h"
#include "DModalDriver.h"
#include "DNoiseImage.h"
#include "DOverlayDriver.h"
#include "DWidgetDataBuilder.h"

namespace {

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute("xdotool", arguments) == 0;
}

// Where the overlay's dimmed screenshot is on the screen: the share of the
// screen's pixels that show it. Noise leaves no room for chance: shifted by one
// pixel, next to none would.
double shareShowing(QScreen* screen, const QPixmap& dimmed)
{
    const QImage shown = screen->grabWindow(0).toImage();
    const QImage expected = dimmed.toImage();
    if (shown.size() != expected.size())
        return 0.0;
    const int differing = pixelsDiffering(expected, expected.rect(), shown, QPoint());
    return 1.0 - double(differing) / (expected.width() * expected.height());
}

// A window of the test's own, titled, filled with a colour, placed on a screen.
class TargetWindow : public QWidget
{
public:
    explicit TargetWindow(const QRect& geometry)
    {
        setWindowTitle("Picking target");
        setGeometry(geometry);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(20, 160, 90)); }
};

} // namespace

class tst_DFullScreenSelectorX11 : public QObject
{
    Q_OBJECT

private:
    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }

    // The overlay's loop with a screen of noise of `screen`; `steps` run once
    // the overlay is on screen.
    int runOnScreen(DFullScreenSelector& overlay, QScreen* screen, const DWidgetData& tree, DD::enumCaptureMode mode,
                    const std::function<void()>& steps)
    {
        overlay.setCaptureScreen(screen);
        m_noise = noiseImage(screen->geometry().size(), 1009);
        return DOverlayDriver::runCapture(overlay, mode, QPixmap::fromImage(m_noise), tree, [&] {
            if (!QTest::qWaitForWindowExposed(&overlay, 20000)) {
                QTest::qFail("the overlay never showed", __FILE__, __LINE__);
                return;
            }
            QTRY_VERIFY_WITH_TIMEOUT(shareShowing(screen, overlay.dimmedScreenshot()) > 0.95, 10000);
            steps();
        });
    }

    static DWidgetData bareTree(QScreen* screen)
    {
        DWidgetData tree;
        tree.rectangle = screen->geometry();
        return tree;
    }

    // Drags a region with the real pointer, in global coordinates, and waits
    // for the main bar.
    void dragRegion(DOverlayDriver& driver, const QPoint& from, const QPoint& to)
    {
        QVERIFY(xdotool({"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1",
                         "mousemove", QString::number(to.x()), QString::number(to.y()), "mouseup", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(driver.isIn(driver.ui()->widgetMainTool), 10000);
    }

    QImage m_noise;

private slots:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        // The overlay picks among the real display's windows.
        installLinuxPlatformServices();
    }

    void init() { settings()->clear(); }

    void coversItsScreenAndTakesTheKeyboard_data()
    {
        QTest::addColumn<int>("screenIndex");
        for (int i = 0; i < QGuiApplication::screens().count(); ++i)
            QTest::newRow(qPrintable(QGuiApplication::screens().at(i)->name())) << i;
    }

    // Shown: the dimmed shot exactly over its own screen; Escape, typed with
    // no click before, closes it.
    void coversItsScreenAndTakesTheKeyboard()
    {
        QFETCH(int, screenIndex);
        QScreen* screen = QGuiApplication::screens().at(screenIndex);
        DFullScreenSelector overlay;
        const int result = runOnScreen(overlay, screen, bareTree(screen), DD::Region, [&] {
            QCOMPARE(overlay.geometry(), screen->geometry());
            // The X server gives the focus a moment after the window maps; no click.
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWindow() == overlay.windowHandle(), 10000);
            QVERIFY(xdotool({"key", "Escape"}));
            QTRY_VERIFY_WITH_TIMEOUT(!overlay.isVisible(), 10000);
        });
        QCOMPARE(result, 0);
    }

    void keyboardComesBackAfterNestedDialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("message box") << "message";
        QTest::newRow("print preview") << "preview";
    }

    void keyboardComesBackAfterNestedDialogs()
    {
        QFETCH(QString, dialog);
        QScreen* screen = QGuiApplication::primaryScreen();
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        bool nestedShown = false;
        bool nestedHadKeyboard = false;
        // The nested dialog closes by the keyboard, as a user closes it; its
        // modal loop runs inside the click.
        auto closeByKeyboard = [&](QWidget* nested) {
            nestedShown = true;
            QElapsedTimer clock;
            clock.start();
            while (QApplication::focusWindow() != nested->windowHandle() && clock.elapsed() < 10000)
                QTest::qWait(20);
            nestedHadKeyboard = QApplication::focusWindow() == nested->windowHandle();
            xdotool({"key", "Escape"});
        };
        const int result = runOnScreen(overlay, screen, bareTree(screen), DD::Region, [&] {
            dragRegion(driver, QPoint(100, 100), QPoint(200, 180));
            if (dialog == "message") {
                // An empty document cannot go to the clipboard: the message.
                driver.ui()->toolButtonDelete->click();
                whenModal<QMessageBox>(closeByKeyboard, 10000);
                driver.ui()->toolButtonClipboard->click();
            } else {
                whenModal<QPrintPreviewDialog>(closeByKeyboard, 10000);
                driver.ui()->toolButtonPrint->click();
            }
            QVERIFY(nestedShown);
            QVERIFY(nestedHadKeyboard);
            // Back on the overlay: Escape reaches it without a click.
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWindow() == overlay.windowHandle(), 10000);
            QVERIFY(xdotool({"key", "Escape"}));
            QTRY_VERIFY_WITH_TIMEOUT(!overlay.isVisible(), 10000);
        });
        QVERIFY(nestedShown);
        QCOMPARE(result, 0);
    }

    // The window tree is in global pixels; the overlay's scene starts at its
    // screen's corner. On the last screen (a second monitor when there is
    // one) a real window picked with the pointer gives that window's pixels.
    void picksARealWindow()
    {
        QScreen* screen = QGuiApplication::screens().last();
        const QRect area = screen->geometry();
        TargetWindow target(QRect(area.topLeft() + QPoint(150, 120), QSize(240, 160)));
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target, 20000));
        QTRY_VERIFY_WITH_TIMEOUT(target.frameGeometry() != target.geometry()
                                     || qEnvironmentVariableIsEmpty("WINDOW_MANAGER"), 10000);
        const QRect frame = target.frameGeometry();
        // The window manager lists a new window a little after it maps it.
        DWidgetData tree;
        auto listed = [&] {
            tree = DWidgetData();
            DWidgetDataBuilder::buildWithHierarchy(tree, area);
            for (const DWidgetData& window : tree.children)
                if (window.title == target.windowTitle())
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(listed(), 10000);

        QTemporaryDir dir;
        settings()->setValue("AutomaticSaveFolder", dir.path());
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        const int result = runOnScreen(overlay, screen, tree, DD::Window, [&] {
            const QPoint inside = frame.center();
            QVERIFY(xdotool({"mousemove", QString::number(inside.x()), QString::number(inside.y())}));
            QTRY_VERIFY_WITH_TIMEOUT(driver.scene()->cursor().text().startsWith("Title: Picking target"), 10000);
            QVERIFY(xdotool({"click", "1"}));
            QTRY_VERIFY_WITH_TIMEOUT(driver.isIn(driver.ui()->widgetMainTool), 10000);
            driver.ui()->toolButtonSave->click();
        });
        QCOMPARE(result, 1);
        const QStringList files = QDir(dir.path()).entryList({"Snap-*.png"}, QDir::Files);
        QCOMPARE(files.count(), 1);
        const QImage saved = QImageReader(dir.filePath(files.first())).read();
        // The window with its frame, from the screenshot at the window's place
        // on its screen, inside the piece's outline.
        QCOMPARE(saved.size(), frame.size());
        const QRect onScreen = frame.translated(-area.topLeft()).adjusted(2, 2, -2, -2);
        QCOMPARE(pixelsDiffering(m_noise, onScreen, saved, QPoint(2, 2)), 0);
    }
};

// Plain X rendering: the GL integration's one-time set-up allocates memory that
// is never given back, which the leak checker would report against this test.
int main(int argc, char** argv)
{
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_DFullScreenSelectorX11 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_DFullScreenSelectorX11.moc"
