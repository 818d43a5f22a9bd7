// The real Zorvelshot on a real X server with a window manager, driven as a
// user drives it: the main window's mode keys, the pointer and the keyboard
// through xdotool. The screen is a window of random pixels, so that what the
// program saves or copies can be checked pixel by pixel against it.
#include <QtTest>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include "DHostileOverlayScript.h"
#include "DLocalInstancePeer.h"
#include "DProgramProcess.h"
#include "DNoiseImage.h"
#include "DOverlayLayout.h"
#include "DSmallFileSystem.h"
#include "DUserActions.h"

#include <unistd.h>

namespace {

QString number(int value)
{
    return QString::number(value);
}

// A frameless window that paints an image at its place.
class ImageWindow : public QWidget
{
public:
    ImageWindow(const QImage& image, const QRect& geometry, const QString& title, Qt::WindowFlags flags)
        : QWidget(nullptr, flags)
        , m_image(image)
    {
        setWindowTitle(title);
        setGeometry(geometry);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_image); }

private:
    QImage m_image;
};

// The colour of the raised frames on top of the overlay's two bars, in their
// four inner rows.
const QRgb BarFrame = qRgb(185, 196, 202);

// The share of `look`'s pixels that the screen shows unchanged with its
// top-left at `at`.
double shareShown(const QImage& look, const QPoint& at)
{
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(0, at.x(), at.y(), look.width(), look.height())
                             .toImage();
    if (shown.size() != look.size())
        return 0.0;
    const int differing = pixelsDiffering(look, look.rect(), shown, QPoint());
    return 1.0 - double(differing) / (look.width() * look.height());
}

// Whether the window has the keyboard.
bool hasKeyboard(const QString& window)
{
    return xdotoolLines({"getwindowfocus"}) == QStringList(window);
}

// An X property's values, watched from now on: `where` names its window for
// xprop ("-id", an id, or "-root"), and `value` captures each value in what
// xprop prints.
class PropertyValues
{
public:
    PropertyValues(const QStringList& where, const QString& property, const QString& value) : m_value(value)
    {
        m_spy.start("xprop", QStringList({"-spy"}) + where + QStringList({property}));
        m_spy.waitForStarted(5000);
    }
    ~PropertyValues()
    {
        m_spy.kill();
        m_spy.waitForFinished(5000);
    }

    // The values so far: xprop tells the value at once, then each change.
    QStringList seen()
    {
        m_told += QString::fromLatin1(m_spy.readAllStandardOutput());
        QStringList values;
        for (auto match = m_value.globalMatch(m_told); match.hasNext();)
            values.append(match.next().captured(1));
        return values;
    }

private:
    QProcess m_spy;
    const QRegularExpression m_value;
    QString m_told;
};

// A window's WM_STATE as the window manager sets it ("Normal", "Iconic").
class WindowStates : public PropertyValues
{
public:
    explicit WindowStates(const QString& window)
        : PropertyValues({"-id", window}, "WM_STATE", "window state: (\\w+)")
    {
    }
};

// The window manager's current desktop, counted from 0.
class CurrentDesktops : public PropertyValues
{
public:
    CurrentDesktops() : PropertyValues({"-root"}, "_NET_CURRENT_DESKTOP", "= (\\d+)") {}
};

// A window of this process shown as the program shows its own, to see how
// that looks and where its buttons lie: active, the pointer away from it.
template <typename Window>
bool showProbe(Window& probe)
{
    xdotool({"mousemove", "0", "0"});
    probe.show();
    if (!QTest::qWaitForWindowExposed(&probe, 20000))
        return false;
    probe.activateWindow();
    return QTest::qWaitFor([&probe]() { return probe.isActiveWindow(); }, 10000);
}

} // namespace

class tst_CaptureOverlayProcess : public QObject
{
    Q_OBJECT

public:
    // `mayMount`: whether this process (and the programs it starts) may mount
    // small file systems of its own.
    explicit tst_CaptureOverlayProcess(bool mayMount) : m_mayMount(mayMount) {}

private:
    QRect screen() const { return QGuiApplication::primaryScreen()->geometry(); }

    // Where the overlay's buttons are once its bars are in.
    void measureButtons()
    {
        const DOverlayLayout layout = measureOverlayLayout(QGuiApplication::primaryScreen(), screen().size());
        for (auto button = layout.buttons.cbegin(); button != layout.buttons.cend(); ++button)
            m_buttons[button.key()] = button.value().toPoint();
        m_mainBarTop = layout.mainBarTop;
        m_subBarTop = layout.subBarTop;
    }

    // Settings that save into `saveFolder` (the test's output folder when
    // empty), with the lines `more` after them.
    void writeSettings(const QString& saveFolder = QString(), const QByteArray& more = QByteArray())
    {
        const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta";
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + "/Zorvelshot.ini");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QString save = saveFolder.isEmpty() ? m_output->path() : saveFolder;
        file.write("[General]\nAutoUpdate=false\nAutomaticSaveFolder=" + save.toUtf8() + "\n" + more);
    }

    QProcess* start(const QStringList& arguments)
    {
        QProcess* process = startProgram(m_program, arguments);
        m_started.append(process);
        return process;
    }

    // The program with its main window on screen, over the noise; the id of
    // that window, or an empty text.
    QString startShown()
    {
        QProcess* program = start({"/autorun"});
        if (!waitUntilServing(program))
            return QString();
        QProcess* second = start({});
        if (!second->waitForFinished(10000))
            return QString();
        m_programProcess = program;
        QStringList windows;
        QElapsedTimer clock;
        clock.start();
        while (windows.isEmpty() && clock.elapsed() < 10000) {
            QTest::qWait(50);
            windows = visibleWindows(program->processId());
        }
        return windows.value(0);
    }

    // The share of the screen's pixels that show the noise under the overlay's veil.
    double shareDimmed() const
    {
        const QImage shown = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        if (shown.size() != m_noise.size())
            return 0.0;
        int matching = 0;
        for (int y = 0; y < shown.height(); y += 3) {
            for (int x = 0; x < shown.width(); x += 3) {
                const QRgb a = shown.pixel(x, y);
                const QRgb b = m_noise.pixel(x, y);
                matching += qAbs(qRed(a) - qRound(qRed(b) * 0.4)) <= 1 && qAbs(qGreen(a) - qRound(qGreen(b) * 0.4)) <= 1
                    && qAbs(qBlue(a) - qRound(qBlue(b) * 0.4)) <= 1;
            }
        }
        return double(matching) / (((shown.width() + 2) / 3) * ((shown.height() + 2) / 3));
    }

    // Presses the main window's mode key and waits until the overlay shows
    // the screen as it was, dimmed (but for a highlighted window).
    bool startCapture(const QString& window, const QString& key)
    {
        if (!xdotool({"windowactivate", "--sync", window}) || !xdotool({"key", key}))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            if (!xdotoolLines({"search", "--onlyvisible", "--name", "^Zorvel is Capturing$"}).isEmpty()
                && shareDimmed() > 0.8)
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    // The program's window with this title once it is on screen; an empty
    // text when none came within 10 s.
    QString shownWindow(const QString& title) { return waitForVisibleWindow(*m_programProcess, title, 10000); }

    // Waits until the program's window with this title has gone.
    bool windowGone(const QString& title)
    {
        return QTest::qWaitFor(
            [&]() { return visibleWindows(m_programProcess->processId(), title).isEmpty(); }, 10000);
    }

    // The overlay stands above everything again and has the keyboard: the
    // main bar shows, and Escape, typed without a click, closes the overlay.
    void verifyOverlayIsBackWithTheKeyboard(const QString& overlay)
    {
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(overlay), 10000);
        QVERIFY(xdotool({"key", "Escape"}));
        QVERIFY2(windowGone("Zorvel is Capturing"), "Escape did not reach the overlay");
    }

    // What the user does to a dialog of the overlay: "minimise" it with the
    // window manager's button, after which it is shown again at once, or go
    // to the "next desktop" with openbox's keys.
    void takeUserStep(const QString& step, const QString& dialog)
    {
        if (step == "minimise") {
            WindowStates states(dialog);
            QTRY_COMPARE_WITH_TIMEOUT(states.seen(), QStringList({"Normal"}), 10000);
            QVERIFY(xdotool({"windowminimize", dialog}));
            // Each change of the state is told, but xprop reads the state as
            // it is when it gets to it: a dialog shown again at once may read
            // "Normal" twice.
            QTRY_VERIFY2_WITH_TIMEOUT(states.seen().size() >= 3, "the dialog was not minimised", 10000);
            QTRY_COMPARE_WITH_TIMEOUT(states.seen().constLast(), QString("Normal"), 10000);
        }
        if (step == "next desktop") {
            CurrentDesktops desktops;
            QTRY_COMPARE_WITH_TIMEOUT(desktops.seen(), QStringList({"0"}), 10000);
            QVERIFY(xdotool({"key", "ctrl+alt+Right"}));
            QTRY_VERIFY2_WITH_TIMEOUT(desktops.seen().contains("1"), "openbox stayed on its first desktop", 10000);
        }
    }

    // Whether the bar whose frame's top row is `top` stands still there.
    static bool barIsIn(int top)
    {
        const QImage rows = QGuiApplication::primaryScreen()->grabWindow(0, 10, top, 1, 6).toImage();
        return rows.pixel(0, 1) == BarFrame && rows.pixel(0, 4) == BarFrame;
    }

    void click(const QString& button)
    {
        QVERIFY(clickAt(m_buttons.value(button)));
    }

    void drag(const QPoint& from, const QPoint& to) { QVERIFY(dragPointer(from, to)); }

    // The one file the program wrote into the output folder, once it is there.
    QImage savedImage() { return savedImageIn(m_output->path()); }

    // A dragged rectangle's piece: the screen's pixels inside its outline.
    void verifyRegion(const QImage& image, const QRect& area)
    {
        QCOMPARE(image.size(), area.size());
        QCOMPARE(pixelsDiffering(m_noise, area.adjusted(2, 2, -2, -2), image, QPoint(2, 2)), 0);
    }

    // On a running Region capture: drags the piece `area` and waits for the main bar.
    void capturePiece(const QRect& area)
    {
        drag(area.topLeft(), area.bottomRight());
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
    }

    // With the bars in: picks a drawing tool of the sub-tool bar.
    void pickDrawingTool(const QString& tool)
    {
        click("toolButtonDraw");
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_subBarTop), 10000);
        click(tool);
    }

    // On a running Region capture: drags a piece, draws a line across it and
    // saves; the saved image holds the line on the screen's pixels.
    void captureDrawLineAndSave()
    {
        const QRect area(100, 120, 201, 161);
        capturePiece(area);
        pickDrawingTool("toolButtonDrawLine");
        drag(QPoint(150, 200), QPoint(250, 200));
        click("toolButtonSave");
        const QImage saved = savedImage();
        QCOMPARE(saved.size(), area.size());
        // The line's middle row is the line's colour all along; a row away
        // from it is the screen.
        const int row = 200 - area.top();
        for (int x = 150 - area.left() + 3; x <= 250 - area.left() - 3; ++x)
            QCOMPARE(saved.pixel(x, row) & 0xFFFFFF, 0x3B3B3Bu);
        const QRect away(150, 230, 101, 1);
        QCOMPARE(pixelsDiffering(m_noise, away, saved, away.topLeft() - area.topLeft()), 0);
    }

    // A copy of the program in the folder, with this overlay.js in its
    // scripts folder; the copy's path, or an empty one when it cannot be made.
    QString installWithOverlayScript(const QTemporaryDir& install, const QByteArray& text)
    {
        const QString copy = install.filePath("Zorvelshot");
        QFile script(install.filePath("scripts/overlay.js"));
        if (!install.isValid() || !QDir(install.path()).mkpath("scripts") || !QFile::copy(m_program, copy)
            || !script.open(QIODevice::WriteOnly) || script.write(text) != text.size())
            return QString();
        return copy;
    }

    // Starts the copy of the program (see installWithOverlayScript) over the
    // noise, captures, draws a line and saves: the program is still there
    // afterwards, its main window back.
    void captureDrawAndSaveWith(const QString& copy)
    {
        QVERIFY(!copy.isEmpty());
        // The next test gets the original back even if this one fails half way.
        const auto restore = qScopeGuard([this, original = m_program] { m_program = original; });
        m_program = copy;
        openRegionCapture();
        captureDrawLineAndSave();
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(m_programProcess->processId()).isEmpty(), 10000);
        QCOMPARE(m_programProcess->state(), QProcess::Running);
    }

    // Starts the program over the noise and a Region capture on it.
    void openRegionCapture(const QString& key = "alt+r", const QString& saveFolder = QString(),
                           const QByteArray& moreSettings = QByteArray())
    {
        writeSettings(saveFolder, moreSettings);
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY2(startCapture(window, key), "the overlay never showed the screen");
    }

    // Waits for the program's window of that title, brings it forward and
    // presses the key there.
    static bool pressKeyIn(const QString& title, const QString& key)
    {
        QStringList windows;
        QElapsedTimer clock;
        clock.start();
        while (windows.isEmpty() && clock.elapsed() < 20000) {
            QTest::qWait(50);
            windows = xdotoolLines({"search", "--onlyvisible", "--name", "^" + title + "$"});
        }
        return !windows.isEmpty() && xdotool({"windowactivate", "--sync", windows.first()})
            && xdotool({"key", key});
    }

    // Everything in a folder, links included, as names.
    static QStringList entriesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                      QDir::Name);
    }

    const bool m_mayMount;
    QString m_program;
    QProcess* m_programProcess = nullptr;
    QList<QProcess*> m_started;
    QImage m_noise;
    QScopedPointer<ImageWindow> m_noiseWindow;
    QScopedPointer<QTemporaryDir> m_output;
    QHash<QString, QPoint> m_buttons;
    int m_mainBarTop = 0;
    int m_subBarTop = 0;

private slots:
    void initTestCase()
    {
        m_program = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/bin/Zorvelshot";
        QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        measureButtons();
        m_noise = noiseImage(screen().size(), 31337);
        m_noiseWindow.reset(new ImageWindow(m_noise, screen(), "noise", Qt::FramelessWindowHint));
        m_noiseWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_noiseWindow.data(), 20000));
    }

    void init()
    {
        m_output.reset(new QTemporaryDir);
        QVERIFY(m_output->isValid());
    }

    void cleanup()
    {
        endPrograms(m_started);
        m_programProcess = nullptr;
        QFile::remove(DLocalInstancePeer::serverPath("Zorvelshot"));
        QFile::remove(DLocalInstancePeer::lockPath("Zorvelshot"));
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta/Zorvelshot.ini");
    }

    void regionSaveWritesTheScreenPixels()
    {
        openRegionCapture();
        const QRect area(100, 120, 201, 161);
        drag(area.topLeft(), area.bottomRight());
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonSave");
        verifyRegion(savedImage(), area);
    }

    // Set to ask for a name, Save closes the overlay and asks: the save
    // dialog shows with the keyboard, and the name typed there gets the piece.
    void regionSaveAsksForTheName()
    {
        openRegionCapture("alt+r", QString(), "NameMethod=0\n");
        const QRect area(100, 120, 201, 161);
        capturePiece(area);
        click("toolButtonSave");
        const QString ask = shownWindow("Save File");
        QVERIFY2(!ask.isEmpty(), "no save dialog");
        QVERIFY2(windowGone("Zorvel is Capturing"), "the overlay stayed over the save dialog");
        QTRY_VERIFY2_WITH_TIMEOUT(hasKeyboard(ask), "the save dialog has no keyboard", 10000);
        QVERIFY(xdotool({"key", "ctrl+a"}));
        QVERIFY(xdotool({"type", "--delay", "20", m_output->filePath("asked.png")}));
        QVERIFY(xdotool({"key", "Return"}));
        QVERIFY2(windowGone("Save File"), "the save dialog stayed");
        verifyRegion(savedImageIn(m_output->path(), "asked.png"), area);
    }

    void regionClipboardHoldsTheScreenPixels()
    {
        openRegionCapture();
        const QRect area(640, 300, 151, 121);
        drag(area.topLeft(), area.bottomRight());
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonClipboard");
        // The program holds the clipboard: read it back while it runs.
        const QImage pasted = pastedImage();
        verifyRegion(pasted, area);
    }

    // Save onto a full disk: nothing is left in the folder, the user is told,
    // and the output-target dialog that follows still copies the capture.
    void regionSaveOntoAFullDiskKeepsTheCapture()
    {
        if (!m_mayMount)
            QSKIP("this process may not mount a file system of its own");
        const QString disk = m_output->filePath("disk");
        QVERIFY(QDir().mkpath(disk));
        DSmallFileSystem small(disk, 256);
        QVERIFY(small.isMounted());
        const QString folder = disk + "/shots";
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(small.fillLeaving(0), qint64(0));

        openRegionCapture("alt+r", folder);
        // Small enough that the whole image waits in the writer's buffer
        // until the very end: about 9 KB of noise.
        const QRect area(400, 300, 61, 51);
        drag(area.topLeft(), area.bottomRight());
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonSave");
        QVERIFY2(pressKeyIn("Error", "Return"), "no message told of the failed save");
        // Its first choice, "Save to clipboard", has the focus.
        QVERIFY2(pressKeyIn("Select Output Target", "space"), "no choice of another target");
        verifyRegion(pastedImage(), area);
        QCOMPARE(entriesIn(folder), QStringList());
    }

    // Links planted in the save folder at the next default names, leading
    // out of it (another user of a shared folder may aim them at the user's
    // autostart folder): nothing is written outside the folder, the links
    // stay, and the capture is saved under a name nothing held.
    void regionSaveBesideLinksAtTheNextNames()
    {
        QTemporaryDir elsewhere;
        QStringList links;
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second < 180; ++second) {
            const QString name = now.addSecs(second).toString("'Snap-'yyyy-MM-dd-HH-mm-ss");
            for (const QString& counter : {QString(), QString("[1]")}) {
                const QString link = name + counter + ".png";
                const QByteArray target = QFile::encodeName(elsewhere.filePath(QString::number(links.size()) + ".desktop"));
                QCOMPARE(::symlink(target.constData(), QFile::encodeName(m_output->filePath(link)).constData()), 0);
                links << link;
            }
        }

        openRegionCapture();
        const QRect area(100, 120, 201, 161);
        drag(area.topLeft(), area.bottomRight());
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonSave");
        QTRY_COMPARE_WITH_TIMEOUT(entriesIn(m_output->path()).size(), links.size() + 1, 10000);
        QStringList saved = entriesIn(m_output->path());
        for (const QString& link : qAsConst(links)) {
            QVERIFY2(QFileInfo(m_output->filePath(link)).isSymLink(), qPrintable(link));
            saved.removeOne(link);
        }
        QCOMPARE(saved.size(), 1);
        const QFileInfo file(m_output->filePath(saved.first()));
        QVERIFY(file.isFile() && !file.isSymLink());
        verifyRegion(QImageReader(file.filePath()).read(), area);
        QCOMPARE(entriesIn(elsewhere.path()), QStringList());
    }

    void escapeOnTheFirstPromptWritesNothing()
    {
        openRegionCapture();
        // The X server gives the focus a moment after the overlay maps; no click.
        QTRY_VERIFY_WITH_TIMEOUT(xdotoolLines({"getwindowfocus"})
                                     == xdotoolLines({"search", "--onlyvisible", "--name", "^Zorvel is Capturing$"}),
                                 10000);
        QVERIFY(xdotool({"key", "Escape"}));
        // The overlay goes, and the main window that was shown comes back.
        QTRY_VERIFY_WITH_TIMEOUT(xdotoolLines({"search", "--onlyvisible", "--name", "^Zorvel is Capturing$"}).isEmpty(),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(m_programProcess->processId()).isEmpty(), 10000);
        QVERIFY(QDir(m_output->path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }

    void polygonOfFourClicks()
    {
        openRegionCapture("alt+p");
        const QPolygon corners({QPoint(200, 150), QPoint(500, 160), QPoint(480, 400), QPoint(220, 380)});
        for (const QPoint& corner : corners)
            QVERIFY(xdotool({"mousemove", number(corner.x()), number(corner.y()), "click", "1"}));
        QVERIFY(xdotool({"click", "3"}));
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonSave");
        const QImage saved = savedImage();
        QVERIFY(!saved.isNull());
        // The image is the polygon's bounds and a margin the same on every side.
        const QRect bounds = corners.boundingRect();
        const int margin = (saved.width() - bounds.width()) / 2;
        QCOMPARE(saved.size(), bounds.size() + QSize(2 * margin, 2 * margin));
        const QPoint origin = bounds.topLeft() - QPoint(margin, margin);
        // Inside: the screen's pixels; outside the polygon: nothing.
        const QRect inside(260, 210, 181, 141);
        QCOMPARE(pixelsDiffering(m_noise, inside, saved, inside.topLeft() - origin), 0);
        QCOMPARE(qAlpha(saved.pixel(QPoint(495, 151) - origin)), 0);
        QCOMPARE(qAlpha(saved.pixel(QPoint(205, 395) - origin)), 0);
    }

    void windowModeGivesTheWindowWithItsFrame()
    {
        const QImage content = noiseImage(QSize(320, 240), 4242);
        ImageWindow target(content, QRect(700, 260, 320, 240), "Capture target", Qt::Window);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target, 20000));
        QTRY_VERIFY_WITH_TIMEOUT(target.frameGeometry() != target.geometry(), 10000);
        const QRect frame = target.frameGeometry();
        const QRect client = target.geometry();

        // The pointer rests on the window: it is highlighted from the start.
        QVERIFY(xdotool({"mousemove", number(frame.center().x()), number(frame.center().y())}));
        openRegionCapture("alt+w");
        // Highlighted: the window shows undimmed through the veil.
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::primaryScreen()->grabWindow(0, client.x() + 40, client.y() + 30, 1, 1)
                                         .toImage().pixel(0, 0)
                                     == content.pixel(40, 30),
                                 10000);
        QVERIFY(xdotool({"click", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonSave");
        const QImage saved = savedImage();
        QCOMPARE(saved.size(), frame.size());
        // The window's own pixels where the frame's outline leaves them.
        const QRect visible = client.intersected(frame.adjusted(2, 2, -2, -2));
        const QImage contentOnScreen = content.copy(visible.translated(-client.topLeft()));
        QCOMPARE(pixelsDiffering(contentOnScreen, contentOnScreen.rect(), saved, visible.topLeft() - frame.topLeft()),
                 0);
    }

    void lineDrawnAfterTheCaptureIsSaved()
    {
        openRegionCapture();
        captureDrawLineAndSave();
    }

    // An overlay script beside the program that makes a button depend on the
    // selection, takes the image, tries to delete what it was handed and then
    // never ends: the overlay comes up once the script is stopped, and the
    // capture, the drawing and the save work as without it.
    void overlayScriptLeavesTheCaptureWorking()
    {
        QTemporaryDir install;
        const QString copy = installWithOverlayScript(install,
                                                      "editor.addMainTool(editor.widgetMainTool.toolButtonClipboard, true);\n"
                                                      "editor.prepareImage('shot');\n"
                                                      "editor.deleteLater();\n"
                                                      "editor.canvas.deleteLater();\n"
                                                      "editor.widgetMainTool.toolButtonSave.deleteLater();\n"
                                                      "while (true) {}\n");
        captureDrawAndSaveWith(copy);
    }

    // An overlay script that tries to take the main window's Region button
    // and deletes everything it finds whenever the overlay's own signals fire:
    // the capture, the drawing and the save work, the overlay closes without
    // harm (the sanitizers watch the program), and the main window still has
    // its Region button for the next capture.
    void overlayScriptDeletingAllItFindsLeavesTheProgramWhole()
    {
        QTemporaryDir install;
        const QString copy = installWithOverlayScript(
            install, "editor.addMainTool(mgui.toolButtonModeRegion);\n" + deleteAllOnTheOverlaysSignals());
        captureDrawAndSaveWith(copy);
        if (QTest::currentTestFailed())
            return;

        // The Region button's key starts the next capture, which Escape ends.
        const QString window = visibleWindows(m_programProcess->processId()).value(0);
        QVERIFY2(startCapture(window, "alt+r"), "the main window's Region button is gone");
        QTRY_VERIFY_WITH_TIMEOUT(xdotoolLines({"getwindowfocus"})
                                     == xdotoolLines({"search", "--onlyvisible", "--name", "^Zorvel is Capturing$"}),
                                 10000);
        QVERIFY(xdotool({"key", "Escape"}));
        QTRY_VERIFY_WITH_TIMEOUT(xdotoolLines({"search", "--onlyvisible", "--name", "^Zorvel is Capturing$"}).isEmpty(),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(m_programProcess->processId()).isEmpty(), 10000);
        QCOMPARE(m_programProcess->state(), QProcess::Running);
    }

    void clipboardErrorShowsAboveTheOverlay_data()
    {
        QTest::addColumn<QString>("userStep");
        QTest::newRow("as it opens") << QString();
        // With the window manager's button: under a bare window manager only
        // Alt+Tab would bring it back, the overlay covering all else and
        // refusing every click while the box is open.
        QTest::newRow("after the user minimised it") << "minimise";
        // With openbox's keys for the next desktop: the overlay covers every
        // desktop, and a box left behind on the first one would be out of
        // reach on the next.
        QTest::newRow("after the user went to the next desktop") << "next desktop";
    }

    // Copying an empty page fails: the error box shows on top of the overlay,
    // again at once when it is minimised, and on the desktop the user goes
    // to; its button answers the pointer, and then the overlay has the
    // keyboard.
    void clipboardErrorShowsAboveTheOverlay()
    {
        QFETCH(QString, userStep);
        QMessageBox probe(QMessageBox::Critical, "Error", "Failed to Copy to Clipboard, please save to file!",
                          QMessageBox::Ok);
        QVERIFY(showProbe(probe));
        const QImage look = probe.grab().toImage();
        QAbstractButton* ok = probe.button(QMessageBox::Ok);
        const QPoint okAt = ok->mapTo(&probe, ok->rect().center());
        probe.hide();

        openRegionCapture();
        const QString overlay = shownWindow("Zorvel is Capturing");
        capturePiece(QRect(100, 120, 201, 161));
        // The new piece is selected: Delete leaves an empty page.
        click("toolButtonDelete");
        click("toolButtonClipboard");
        const QString box = shownWindow("Error");
        QVERIFY2(!box.isEmpty(), "no error box");
        // The tests after this one show their windows on the first desktop.
        const auto firstDesktop = qScopeGuard([] { xdotool({"set_desktop", "0"}); });
        takeUserStep(userStep, box);
        const QRect where = windowRect(box);
        QCOMPARE(where.size(), look.size());
        QTRY_VERIFY2_WITH_TIMEOUT(shareShown(look, where.topLeft()) > 0.9, "the error box is not on the screen",
                                  10000);
        QVERIFY(clickAt(where.topLeft() + okAt));
        QVERIFY2(windowGone("Error"), "the box's button did nothing");
        verifyOverlayIsBackWithTheKeyboard(overlay);
    }

    // Another program's window takes the keyboard while the overlay is open
    // (nobody gives it back to a window that bypasses the window manager): a
    // click on the overlay takes it back, so that the keys the user presses
    // next reach the capture, not a window hidden under it.
    void aClickTakesTheKeyboardBack()
    {
        openRegionCapture();
        const QString overlay = shownWindow("Zorvel is Capturing");
        capturePiece(QRect(100, 120, 201, 161));
        QWidget other;
        other.setWindowTitle("Another program");
        other.setGeometry(700, 200, 300, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other, 20000));
        const QString otherId = QString::number(other.winId());
        QVERIFY(xdotool({"windowactivate", "--sync", otherId}));
        QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(otherId), 10000);
        // On the page, away from the piece.
        QVERIFY(clickAt(QPoint(600, 500)));
        QTRY_VERIFY2_WITH_TIMEOUT(hasKeyboard(overlay), "the click left the keyboard elsewhere", 10000);
        QVERIFY(xdotool({"key", "Escape"}));
        QVERIFY2(windowGone("Zorvel is Capturing"), "Escape did not reach the overlay");
    }

    void printPreviewShowsAboveTheOverlay_data()
    {
        QTest::addColumn<QString>("userStep");
        QTest::newRow("as it opens") << QString();
        // The print dialog, opened by the preview: the overlay's first dialog
        // is not the only one kept within reach.
        QTest::newRow("after the user minimised the print dialog") << "minimise";
        QTest::newRow("after the user went to the next desktop from the print dialog") << "next desktop";
    }

    // Print opens the preview on top of the overlay; its Print button answers
    // the pointer and opens the print dialog, which writes the page to the
    // file named there, also once minimised or on the desktop the user went
    // to; then the overlay has the keyboard.
    void printPreviewShowsAboveTheOverlay()
    {
        QFETCH(QString, userStep);
        QPrintPreviewDialog probe(nullptr, Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
        // A page to show, as the program's preview has one.
        connect(&probe, &QPrintPreviewDialog::paintRequested, [](QPrinter* printer) {
            QPainter(printer).fillRect(QRect(0, 0, 201, 161), Qt::gray);
        });
        QVERIFY(showProbe(probe));
        QToolBar* bar = probe.findChild<QToolBar*>();
        QVERIFY(bar);
        const QImage barLook = bar->grab().toImage();
        const QPoint barAt = bar->mapTo(&probe, QPoint(0, 0));
        QPoint printAt;
        for (QToolButton* button : bar->findChildren<QToolButton*>()) {
            if (button->defaultAction() && button->defaultAction()->text() == "Print" && button->isVisible())
                printAt = button->mapTo(&probe, button->rect().center());
        }
        QVERIFY(!printAt.isNull());
        const QSize size = probe.size();
        probe.hide();

        openRegionCapture();
        const QString overlay = shownWindow("Zorvel is Capturing");
        capturePiece(QRect(100, 120, 201, 161));
        click("toolButtonPrint");
        const QString preview = shownWindow("Print Preview");
        QVERIFY2(!preview.isEmpty(), "no print preview");
        const QRect where = windowRect(preview);
        QCOMPARE(where.size(), size);
        QTRY_VERIFY2_WITH_TIMEOUT(shareShown(barLook, where.topLeft() + barAt) > 0.9,
                                  "the preview is not on the screen", 10000);
        QVERIFY(clickAt(where.topLeft() + printAt));
        // The print dialog, over the preview: the page goes to a PDF file
        // named in its "Output file" field (Alt+F).
        const QString ask = shownWindow("Print");
        QVERIFY2(!ask.isEmpty(), "the preview's Print button did nothing");
        const auto firstDesktop = qScopeGuard([] { xdotool({"set_desktop", "0"}); });
        takeUserStep(userStep, ask);
        QTRY_VERIFY2_WITH_TIMEOUT(hasKeyboard(ask), "the print dialog is out of reach", 10000);
        const QString pdf = m_output->filePath("page.pdf");
        QVERIFY(xdotool({"key", "alt+f", "ctrl+a"}));
        QVERIFY(xdotool({"type", "--delay", "20", pdf}));
        QVERIFY(xdotool({"key", "Return"}));
        QVERIFY2(windowGone("Print Preview"), "the preview stayed");
        // The page holds the piece, an image of its size.
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray page = written.readAll();
        QVERIFY(page.startsWith("%PDF"));
        QVERIFY(page.contains("/Subtype /Image\n/Width 201\n/Height 161\n"));
        verifyOverlayIsBackWithTheKeyboard(overlay);
    }

    // Escape while typing into a new text ends the typing, nothing more: the
    // capture stays open and the saved image holds the text.
    void escapeWhileTypingKeepsTheText()
    {
        openRegionCapture();
        const QRect area(100, 120, 201, 161);
        capturePiece(area);
        pickDrawingTool("toolButtonDrawText");
        QVERIFY(clickAt(QPoint(140, 180)));
        QVERIFY(xdotool({"type", "--delay", "30", "Zorvel"}));
        QVERIFY(xdotool({"key", "Escape"}));
        click("toolButtonSave");
        const QImage saved = savedImage();
        QVERIFY2(!saved.isNull(), "nothing was saved");
        QCOMPARE(saved.size(), area.size());
        // The text darkens the screen's pixels where it stands and nowhere else.
        const QRect inside = area.adjusted(2, 2, -2, -2);
        const QRect text(130, 170, 120, 40);
        int darkened = 0;
        int otherwise = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                const QRgb noise = m_noise.pixel(x, y);
                const QRgb shown = saved.pixel(QPoint(x, y) - area.topLeft());
                if ((shown & 0xFFFFFF) == (noise & 0xFFFFFF))
                    continue;
                const bool darker = qRed(shown) <= qRed(noise) && qGreen(shown) <= qGreen(noise)
                    && qBlue(shown) <= qBlue(noise);
                if (darker && text.contains(x, y))
                    ++darkened;
                else
                    ++otherwise;
            }
        }
        QVERIFY2(darkened > 60, qPrintable(QString("%1 pixels of text").arg(darkened)));
        QCOMPARE(otherwise, 0);
    }

    void escapeInTheMiddleOfAGestureKeepsTheCapture_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::newRow("a grip dragged") << "grip";
        QTest::newRow("the piece moved") << "move";
        QTest::newRow("the bars on their way to a new capture") << "capture";
    }

    // Escape in the middle of a gesture on the page leaves the capture open:
    // the gesture goes on, and Save then writes the piece.
    void escapeInTheMiddleOfAGestureKeepsTheCapture()
    {
        QFETCH(QString, gesture);
        openRegionCapture();
        const QRect area(100, 120, 201, 161);
        capturePiece(area);
        if (gesture == "capture") {
            click("toolButtonCapture");
            QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_subBarTop), 10000);
            // Escape at once, while the bars slide away.
            const QPoint rectangle = m_buttons.value("toolButtonCaptureRectangle");
            QVERIFY(xdotool({"mousemove", number(rectangle.x()), number(rectangle.y()), "click", "1", "key",
                             "Escape"}));
            // The new capture's prompt comes, and its own Escape brings the bars back.
            QTRY_VERIFY2_WITH_TIMEOUT(shareDimmed() > 0.95, "no new capture came", 10000);
            QVERIFY(xdotool({"key", "Escape"}));
        } else {
            // Pressed on the bottom-right grip or inside the piece, dragged
            // away, Escape, and back to where it started before the release.
            const QPoint from = gesture == "grip" ? area.bottomRight() : area.center();
            const QPoint away = from + QPoint(60, 40);
            QVERIFY(xdotool({"mousemove", number(from.x()), number(from.y()), "mousedown", "1", "mousemove",
                             number(from.x() + 30), number(from.y() + 20), "mousemove", number(away.x()),
                             number(away.y()), "key", "Escape", "mousemove", number(from.x() + 30),
                             number(from.y() + 20), "mousemove", number(from.x()), number(from.y()), "mouseup",
                             "1"}));
        }
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        QVERIFY2(!visibleWindows(m_programProcess->processId(), "Zorvel is Capturing").isEmpty(),
                 "Escape closed the overlay");
        click("toolButtonSave");
        verifyRegion(savedImage(), area);
    }

    // A Polygon capture clicked over an earlier piece leaves that piece
    // alone: Delete afterwards takes only the new polygon.
    void polygonCaptureOverAnEarlierPiece()
    {
        openRegionCapture();
        const QRect area(100, 120, 201, 161);
        capturePiece(area);
        click("toolButtonCapture");
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_subBarTop), 10000);
        click("toolButtonCapturePolygon");
        // The bars have gone and the whole screen is dimmed again.
        QTRY_VERIFY_WITH_TIMEOUT(shareDimmed() > 0.95, 10000);
        const QPolygon corners({QPoint(200, 200), QPoint(520, 180), QPoint(500, 420), QPoint(230, 400)});
        for (const QPoint& corner : corners)
            QVERIFY(clickAt(corner));
        QVERIFY(xdotool({"click", "3"}));
        QTRY_VERIFY_WITH_TIMEOUT(barIsIn(m_mainBarTop), 10000);
        click("toolButtonDelete");
        click("toolButtonSave");
        verifyRegion(savedImage(), area);
    }

    // A line drawn after a capture is the only selected item: Delete takes it
    // and leaves the piece.
    void aNewDrawingIsTheOnlySelection()
    {
        openRegionCapture();
        const QRect area(100, 120, 201, 161);
        capturePiece(area);
        pickDrawingTool("toolButtonDrawLine");
        drag(QPoint(150, 200), QPoint(250, 200));
        click("toolButtonDelete");
        click("toolButtonSave");
        verifyRegion(savedImage(), area);
    }

    // The main window that came back after a capture and is then minimised by
    // the user stays minimised.
    void ownMinimiseAfterACaptureStays()
    {
        writeSettings();
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY2(startCapture(window, "alt+r"), "the overlay never showed the screen");
        const QString overlay = shownWindow("Zorvel is Capturing");
        QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(overlay), 10000);
        QVERIFY(xdotool({"key", "Escape"}));
        // Back, shown and active.
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(m_programProcess->processId()).contains(window), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(xdotoolLines({"getactivewindow"}) == QStringList(window), 10000);
        QVERIFY(xdotool({"windowminimize", "--sync", window}));
        // Watched for longer than any late minimise of the window manager
        // could still be answered.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 4000) {
            QVERIFY2(!visibleWindows(m_programProcess->processId()).contains(window), "the minimise was undone");
            QTest::qWait(20);
        }
        QProcess state;
        state.start("xprop", {"-id", window, "WM_STATE"});
        QVERIFY(state.waitForFinished(5000));
        QVERIFY(state.readAllStandardOutput().contains("Iconic"));
    }
};

// Plain X rendering: the GL integration's one-time set-up allocates memory that
// is never given back, which the leak checker would report against this test.
int main(int argc, char** argv)
{
    // Before any thread starts: mounts of this test's own, for the full disk.
    const bool mayMount = enterPrivateMountNamespace();
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_CaptureOverlayProcess test(mayMount);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_CaptureOverlayProcess.moc"
