// The real Zorvelshot's capture overlay on a monitor that changes its size
// while the overlay is open, smaller or larger (a server with RandR, resized
// with xrandr, under a window manager). The test drives the program as a user does, with xdotool,
// over a screen of random noise: the overlay follows the monitor, its bars
// come in at the new bottom edge and answer, and the capture is the screen as
// it was grabbed.
#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include "DLocalInstancePeer.h"
#include "DNoiseImage.h"
#include "DOverlayLayout.h"
#include "DProgramProcess.h"
#include "DUserActions.h"
#include "DX11TestDisplay.h"

namespace {

const QSize Grabbed(1280, 800);
const QSize Shrunk(1024, 768);

// The colour of the raised frame on top of the overlay's main bar, in its
// inner rows.
const QRgb BarFrame = qRgb(185, 196, 202);

} // namespace

class tst_OverlayOnResizedScreen : public QObject
{
    Q_OBJECT

private:
    // Gives the monitor a new size and waits until Qt has it too.
    bool resizeScreen(const QSize& size)
    {
        const QString mode = QString("%1x%2").arg(size.width()).arg(size.height());
        if (QProcess::execute("xrandr", {"-s", mode}) != 0)
            return false;
        return QTest::qWaitFor(
            [&]() { return QGuiApplication::primaryScreen()->geometry() == QRect(QPoint(0, 0), size); }, 10000);
    }


    // Whether the main bar stands still with its frame's top row at `top`.
    bool mainBarIsIn(int top)
    {
        const QImage rows = m_display.grab(QRect(10, top, 1, 6));
        return !rows.isNull() && (rows.pixel(0, 1) & 0xFFFFFF) == (BarFrame & 0xFFFFFF)
            && (rows.pixel(0, 4) & 0xFFFFFF) == (BarFrame & 0xFFFFFF);
    }

    // The program with its main window on screen: the window's id, or an
    // empty text.
    QString startShown()
    {
        m_program.reset(startProgramShown(m_programPath, m_output->path()));
        return waitForVisibleWindow(*m_program, "Zorvelshot");
    }

    // The overlay's layout on a monitor of this size.
    DOverlayLayout layoutOn(const QSize& size) const { return size == Shrunk ? m_shrunk : m_grabbed; }

    QString m_programPath;
    QScopedPointer<QProcess> m_program;
    DX11TestDisplay m_display;
    QImage m_noise;
    QScopedPointer<QTemporaryDir> m_output;
    // The overlay's buttons and bars on the monitor at either size.
    DOverlayLayout m_grabbed;
    DOverlayLayout m_shrunk;

private slots:
    void initTestCase()
    {
        m_programPath = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/bin/Zorvelshot";
        QVERIFY2(QFileInfo(m_programPath).isExecutable(), qPrintable(m_programPath));
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(QPoint(0, 0), Grabbed));
        m_grabbed = measureOverlayLayout(QGuiApplication::primaryScreen(), Grabbed);
        QVERIFY2(resizeScreen(Shrunk), "the monitor cannot change its size");
        m_shrunk = measureOverlayLayout(QGuiApplication::primaryScreen(), Shrunk);
        QVERIFY(resizeScreen(Grabbed));
        m_noise = m_display.paintRootNoise(20270111);
        QVERIFY(!m_noise.isNull());
    }

    void init()
    {
        m_output.reset(new QTemporaryDir);
        QVERIFY(m_output->isValid());
    }

    void cleanup()
    {
        if (m_program) {
            m_program->kill();
            m_program->waitForFinished(5000);
            m_program.reset();
        }
        QFile::remove(DLocalInstancePeer::serverPath("Zorvelshot"));
        QFile::remove(DLocalInstancePeer::lockPath("Zorvelshot"));
        QVERIFY(resizeScreen(Grabbed));
    }

    void followsTheScreenAsItChangesItsSize_data()
    {
        QTest::addColumn<QSize>("grabbed");
        QTest::addColumn<QSize>("changed");
        QTest::addColumn<bool>("whileEditing");
        QTest::newRow("shrinking while the capture prompt runs") << Grabbed << Shrunk << false;
        QTest::newRow("shrinking while the bars are in") << Grabbed << Shrunk << true;
        QTest::newRow("growing while the capture prompt runs") << Shrunk << Grabbed << false;
        QTest::newRow("growing while the bars are in") << Shrunk << Grabbed << true;
    }

    // The monitor changes between 1280 x 800 and 1024 x 768 with the overlay
    // open: the overlay covers the monitor as it is now, the main bar stands
    // at its bottom edge, and Save there writes the piece of the screen as it
    // was grabbed.
    void followsTheScreenAsItChangesItsSize()
    {
        QFETCH(QSize, grabbed);
        QFETCH(QSize, changed);
        QFETCH(bool, whileEditing);
        QVERIFY(resizeScreen(grabbed));
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY(xdotool({"windowactivate", "--sync", window, "key", "alt+r"}));
        const QString overlay = waitForVisibleWindow(*m_program, "Zorvel is Capturing");
        QVERIFY2(!overlay.isEmpty(), "the overlay never showed");
        QTRY_COMPARE_WITH_TIMEOUT(windowRect(overlay), QRect(QPoint(0, 0), grabbed), 10000);

        const QRect area(601, 433, 203, 141);
        if (whileEditing) {
            QVERIFY(dragPointer(area.topLeft(), area.bottomRight()));
            QTRY_VERIFY_WITH_TIMEOUT(mainBarIsIn(layoutOn(grabbed).mainBarTop), 10000);
        }
        QVERIFY(resizeScreen(changed));
        QTRY_COMPARE_WITH_TIMEOUT(windowRect(overlay), QRect(QPoint(0, 0), changed), 10000);
        if (!whileEditing)
            QVERIFY(dragPointer(area.topLeft(), area.bottomRight()));
        QTRY_VERIFY2_WITH_TIMEOUT(mainBarIsIn(layoutOn(changed).mainBarTop), "the main bar is not at the bottom edge",
                                  10000);
        QVERIFY(clickAt(layoutOn(changed).buttons.value("toolButtonSave").toPoint()));
        const QImage saved = savedImageIn(m_output->path());
        QVERIFY2(!saved.isNull(), "nothing was saved");
        QCOMPARE(saved.size(), area.size());
        QCOMPARE(pixelsDiffering(m_noise, area.adjusted(2, 2, -2, -2), saved, QPoint(2, 2)), 0);
    }
};

// Plain X rendering: the GL integration's one-time set-up allocates memory that
// is never given back, which the leak checker would report against this test.
int main(int argc, char** argv)
{
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_OverlayOnResizedScreen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_OverlayOnResizedScreen.moc"
