#include <QtTest>

#include <QCommandLinkButton>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

#include "DConfigCapture.h"
#include "DDialogPromptTarget.h"
#include "DLinuxPlatformServices.h"
#include "DMainDialog.h"
#include "DModalDriver.h"

namespace {

// A colour that differs from pixel to pixel, so that a shifted, scaled or
// clipped grab cannot pass for the screen.
QRgb patternAt(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) * 37 + (y >> 8) * 71) & 0xFF);
}

// Covers the whole screen with the pattern, beneath the program's windows.
class PatternWidget : public QWidget
{
public:
    PatternWidget()
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        m_image = QImage(screen.size(), QImage::Format_RGB32);
        for (int y = 0; y < m_image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
            for (int x = 0; x < m_image.width(); ++x)
                line[x] = patternAt(x, y);
        }
        setGeometry(screen);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
};

} // namespace

// The FullScreen road on a real X server: the mode button, the grab, the
// output-target dialog, and what reaches the clipboard or the file.
class tst_FullScreenCapture : public QObject
{
    Q_OBJECT

private:
    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }

    static QSize screenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

    // Clicks FullScreen on the shown main window and, once the output-target
    // dialog is up, runs `choose` on it; fails the test when the dialog never came.
    static void captureFullScreen(DMainDialog& window, std::function<void(DDialogPromptTarget*)> choose)
    {
        bool dialogShown = false;
        whenModal<DDialogPromptTarget>([&](DDialogPromptTarget* dialog) {
            dialogShown = true;
            choose(dialog);
        }, 10000);
        window.findChild<QToolButton*>(QStringLiteral("toolButtonModeFullScreen"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(dialogShown && !window.isCaptureWaiting()
                                     && !QApplication::activeModalWidget(), 15000);
    }

    static QCommandLinkButton* button(QWidget* dialog, const char* name)
    {
        return dialog->findChild<QCommandLinkButton*>(QString::fromLatin1(name));
    }

    // Where the pattern should be: everything but what the test knows is
    // covered by nothing else.
    static int mismatches(const QImage& image)
    {
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if ((image.pixel(x, y) & 0xFFFFFF) != (patternAt(x, y) & 0xFFFFFF))
                    ++wrong;
            }
        }
        return wrong;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        // The capture reads the real display: its pixels and its windows.
        installLinuxPlatformServices();
        QVERIFY(!QStandardPaths::findExecutable("xclip").isEmpty());
    }

    void init() { settings()->clear(); }

    void clipboardGetsTheWholeScreen()
    {
        PatternWidget pattern;
        pattern.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pattern, 20000));
        DMainDialog window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));

        captureFullScreen(window, [](DDialogPromptTarget* dialog) { button(dialog, "buttonClipboard")->click(); });
        if (QTest::currentTestFailed())
            return;

        // Read it back through the X clipboard while this process owns it:
        // the event loop must keep running to answer xclip.
        QProcess xclip;
        xclip.start("xclip", { "-selection", "clipboard", "-t", "image/png", "-o" });
        QVERIFY(xclip.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(xclip.state() == QProcess::NotRunning, 10000);
        QCOMPARE(xclip.exitCode(), 0);
        const QImage pasted = QImage::fromData(xclip.readAllStandardOutput(), "PNG");
        QCOMPARE(pasted.size(), screenSize());
        QCOMPARE(mismatches(pasted), 0);
        // The window that was shown before comes back.
        QTRY_VERIFY(window.isVisible());
    }

    void fileGetsWhatWasOnScreen()
    {
        QTemporaryDir dir;
        PatternWidget pattern;
        pattern.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pattern, 20000));
        DMainDialog window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));

        captureFullScreen(window, [&](DDialogPromptTarget* dialog) {
            whenModal<QFileDialog>([&](QFileDialog* files) { typeFileNameAndAccept(files, dir.filePath("screen")); });
            button(dialog, "buttonFile")->click();
        });
        if (QTest::currentTestFailed())
            return;

        const QImage written = QImageReader(dir.filePath("screen.png")).read();
        QCOMPARE(written.size(), screenSize());
        QCOMPARE(mismatches(written), 0);
    }
};

// Plain X rendering: the GL integration's one-time set-up allocates memory that
// is never given back, which the leak checker would report against this test.
int main(int argc, char** argv)
{
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_FullScreenCapture test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_FullScreenCapture.moc"
