// The real program on desktops as people have them: two monitors side by side
// (nested Xinerama servers), screens that Qt scales, a save folder with a dot
// in its path, an account without a Desktop folder. Every screen shows random
// noise; a FullScreen capture, driven with xdotool as a user would, must hand
// over exactly the pixels of the monitor that holds the main window, through
// the clipboard or a file.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "DNestedXServer.h"
#include "DX11TestDisplay.h"

namespace {

// Pixels of `image` that differ from `expected`, the first one in the message.
QString difference(const QImage& image, const QImage& expected)
{
    if (image.size() != expected.size())
        return QString("size %1x%2, expected %3x%4")
            .arg(image.width()).arg(image.height()).arg(expected.width()).arg(expected.height());
    int wrong = 0;
    QPoint first;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF) && !wrong++)
                first = QPoint(x, y);
        }
    }
    return wrong ? QString("%1 pixels differ, the first at %2,%3").arg(wrong).arg(first.x()).arg(first.y())
                 : QString();
}

// One run of Zorvelshot on one display, with a home, settings and runtime
// folder of its own, and the user commands that a person gives it.
class ProgramRun
{
public:
    ProgramRun(const QString& program, const QByteArray& display, const QByteArray& scale, const QString& home,
               const QByteArray& settings)
        : m_display(display)
    {
        QDir().mkpath(home + "/config/Orvanta");
        QDir().mkpath(home + "/runtime");
        QFile::setPermissions(home + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                     | QFileDevice::ExeOwner);
        QFile file(home + "/config/Orvanta/Zorvelshot.ini");
        if (file.open(QIODevice::WriteOnly))
            file.write("[General]\nAutoUpdate=false\n" + settings);
        file.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/config");
        environment.insert("XDG_RUNTIME_DIR", home + "/runtime");
        // A user without login records: the main window shows at start.
        environment.insert("USER", "zorvel-no-such-user");
        environment.insert("QT_XCB_GL_INTEGRATION", "none");
        if (scale.isEmpty())
            environment.remove("QT_SCALE_FACTOR");
        else
            environment.insert("QT_SCALE_FACTOR", scale);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, QStringList());
    }
    ~ProgramRun()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Runs an X tool on this display; its standard output, or a null text when it failed.
    QByteArray tool(const QString& name, const QStringList& arguments, int limitMs = 10000) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", m_display);
        process.setProcessEnvironment(environment);
        process.start(name, arguments);
        if (!process.waitForFinished(limitMs) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0) {
            process.kill();
            process.waitForFinished(1000);
            return QByteArray();
        }
        const QByteArray output = process.readAllStandardOutput();
        return output.isNull() ? QByteArray("") : output;
    }

    // The visible window of the program with this title; 0 once `limitMs` ran out.
    QString waitForWindow(const QString& title, int limitMs = 20000) const
    {
        QElapsedTimer clock;
        clock.start();
        do {
            const QByteArray found = tool("xdotool", {"search", "--all", "--onlyvisible", "--pid",
                                                      QString::number(m_process.processId()), "--name",
                                                      "^" + title + "$"});
            const QList<QByteArray> ids = found.split('\n');
            if (!ids.first().isEmpty())
                return QString::fromLatin1(ids.first());
            QTest::qWait(100);
        } while (clock.elapsed() < limitMs && m_process.state() == QProcess::Running);
        return QString();
    }

    // Moves a window to `place` (the display's pixels) and waits until it is there.
    bool moveWindow(const QString& window, const QPoint& place) const
    {
        QElapsedTimer clock;
        clock.start();
        const QByteArray wanted = QString("Position: %1,%2").arg(place.x()).arg(place.y()).toLatin1();
        do {
            tool("xdotool", {"windowmove", window, QString::number(place.x()), QString::number(place.y())});
            QTest::qWait(100);
            if (tool("xdotool", {"getwindowgeometry", window}).contains(wanted))
                return true;
        } while (clock.elapsed() < 10000);
        return false;
    }

    // Gives the window the keyboard and presses the keys, one after another.
    bool pressKeys(const QString& window, const QStringList& keys) const
    {
        if (tool("xdotool", {"windowfocus", "--sync", window}).isNull())
            return false;
        QTest::qWait(100);
        return !tool("xdotool", QStringList{"key", "--delay", "100"} + keys).isNull();
    }

    bool typeText(const QString& window, const QString& text) const
    {
        if (tool("xdotool", {"windowfocus", "--sync", window}).isNull())
            return false;
        return !tool("xdotool", {"type", "--delay", "20", text}).isNull();
    }

    // The image the program holds on the clipboard, read as a paste would.
    QImage clipboardImage(int limitMs = 10000) const
    {
        QElapsedTimer clock;
        clock.start();
        do {
            const QByteArray png = tool("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"}, 5000);
            const QImage image = QImage::fromData(png, "PNG");
            if (!image.isNull())
                return image;
            QTest::qWait(200);
        } while (clock.elapsed() < limitMs);
        return QImage();
    }

    bool isRunning() const { return m_process.state() == QProcess::Running; }

private:
    QByteArray m_display;
    QProcess m_process;
};

} // namespace

class tst_CaptureOnDesktops : public QObject
{
    Q_OBJECT

private:
    // Shows the main window at `place`, captures the full screen and hands the
    // image on: to the clipboard when `typing` is empty, else to a file, each
    // of its entries typed into the save dialog and confirmed with Return;
    // `image` is what the user gets.
    void captureFullScreen(ProgramRun& run, const QPoint& place, const QStringList& typing,
                           const QString& savedFile, QImage& image);

    QString m_program;

private slots:
    void initTestCase()
    {
        m_program = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/bin/Zorvelshot";
        QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
        for (const char* tool : {"xdotool", "xclip", "Xephyr"})
            QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), tool);
    }

    void fullScreenIsTheMonitorThatHoldsTheWindow_data();
    void fullScreenIsTheMonitorThatHoldsTheWindow();
    void typedNameIsSavedWhereTheDialogOpened_data();
    void typedNameIsSavedWhereTheDialogOpened();
};

void tst_CaptureOnDesktops::captureFullScreen(ProgramRun& run, const QPoint& place, const QStringList& typing,
                                              const QString& savedFile, QImage& image)
{
    const QString window = run.waitForWindow("Zorvelshot");
    QVERIFY2(!window.isEmpty(), "the main window did not show");
    QVERIFY(run.moveWindow(window, place));
    // The mnemonic of "F&ullScreen".
    QVERIFY(run.pressKeys(window, {"alt+u"}));
    const QString prompt = run.waitForWindow("Select Output Target");
    QVERIFY2(!prompt.isEmpty(), "the output-target dialog did not show");
    if (typing.isEmpty()) {
        QVERIFY(run.pressKeys(prompt, {"space"}));
        image = run.clipboardImage();
        return;
    }
    QVERIFY(run.pressKeys(prompt, {"Tab", "space"}));
    const QString save = run.waitForWindow("Save File");
    QVERIFY2(!save.isEmpty(), "the save dialog did not show");
    for (const QString& text : typing) {
        if (!text.isEmpty())
            QVERIFY2(run.typeText(save, text), "the save dialog has gone");
        QVERIFY2(run.pressKeys(save, {"Return"}), "the save dialog has gone");
    }
    QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo::exists(savedFile), qPrintable(savedFile), 10000);
    image = QImage(savedFile);
}

void tst_CaptureOnDesktops::fullScreenIsTheMonitorThatHoldsTheWindow_data()
{
    QTest::addColumn<QStringList>("server");
    QTest::addColumn<QByteArray>("scale");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QRect>("monitor");
    QTest::addColumn<QStringList>("typing");
    // Xinerama without RandR: Qt sees one screen per head.
    const QStringList twoHeads{"+xinerama", "-extension", "RANDR", "-screen", "1280x800", "-screen", "1280x800"};
    const QStringList unequalHeads{"+xinerama", "-extension", "RANDR", "-screen", "1024x768", "-screen", "1280x1024"};
    const QStringList large{"-screen", "2560x1600"};
    QTest::newRow("right of two monitors, clipboard")
        << twoHeads << QByteArray() << QPoint(1500, 200) << QRect(1280, 0, 1280, 800) << QStringList();
    QTest::newRow("left of two monitors, file")
        << twoHeads << QByteArray() << QPoint(300, 200) << QRect(0, 0, 1280, 800) << QStringList{"shot"};
    QTest::newRow("larger right monitor, file")
        << unequalHeads << QByteArray() << QPoint(1400, 500) << QRect(1024, 0, 1280, 1024) << QStringList{"shot"};
    QTest::newRow("scaled by 1.5, clipboard")
        << large << QByteArray("1.5") << QPoint(700, 500) << QRect(0, 0, 2560, 1600) << QStringList();
    QTest::newRow("scaled by 2, file")
        << large << QByteArray("2") << QPoint(700, 500) << QRect(0, 0, 2560, 1600) << QStringList{"shot"};
    QTest::newRow("scaled by 2, right of two monitors, clipboard")
        << twoHeads << QByteArray("2") << QPoint(1500, 100) << QRect(1280, 0, 1280, 800) << QStringList();
}

void tst_CaptureOnDesktops::fullScreenIsTheMonitorThatHoldsTheWindow()
{
    QFETCH(QStringList, server);
    QFETCH(QByteArray, scale);
    QFETCH(QPoint, place);
    QFETCH(QRect, monitor);
    QFETCH(QStringList, typing);
    DNestedXServer nested(server);
    QVERIFY(nested.isRunning());
    DX11TestDisplay display(nested.display());
    const QImage noise = display.paintRootNoise(quint32(qHash(QTest::currentDataTag())));
    QVERIFY(!noise.isNull());
    QTemporaryDir home;
    QTemporaryDir pictures;
    ProgramRun run(m_program, nested.display(), scale, home.path(),
                   "AutomaticSaveFolder=" + pictures.path().toUtf8() + "\n");

    QImage image;
    captureFullScreen(run, place, typing, pictures.filePath("shot.png"), image);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!image.isNull(), "no image came out");
    const QString wrong = difference(image, noise.copy(monitor));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY(run.isRunning());
}

void tst_CaptureOnDesktops::typedNameIsSavedWhereTheDialogOpened_data()
{
    QTest::addColumn<QString>("folderSetting");
    QTest::addColumn<QStringList>("typing");
    QTest::addColumn<QString>("savedFile");
    QTest::addColumn<QString>("notSaved");
    // Paths relative to the program's home; an empty setting means the
    // default folder, the Desktop, which this account does not have. Each
    // entry of `typing` is typed and confirmed with Return.
    QTest::newRow("path typed into a folder with a dot")
        << "j.doe/Pictures" << QStringList{"{home}/j.doe/Pictures/shot"} << "j.doe/Pictures/shot.png"
        << "j.doe/Pictures/shot";
    QTest::newRow("no Desktop folder: nothing typed in") << QString() << QStringList{"", "shot"} << "shot.png"
                                                         << "Desktop.png";
    QTest::newRow("remembered folder gone") << "gone/deeper" << QStringList{"shot"} << "shot.png"
                                            << "gone/deeper/shot.png";
}

// A name typed without suffix gets the format's suffix, wherever the folder;
// a folder that does not exist opens the dialog in the nearest one above it,
// with no name typed in for the user.
void tst_CaptureOnDesktops::typedNameIsSavedWhereTheDialogOpened()
{
    QFETCH(QString, folderSetting);
    QFETCH(QStringList, typing);
    QFETCH(QString, savedFile);
    QFETCH(QString, notSaved);
    DX11TestDisplay display;
    const QImage noise = display.paintRootNoise(quint32(qHash(QTest::currentDataTag())));
    QVERIFY(!noise.isNull());
    QTemporaryDir home;
    QByteArray settings;
    if (!folderSetting.isEmpty()) {
        settings = "AutomaticSaveFolder=" + home.filePath(folderSetting).toUtf8() + "\n";
        if (folderSetting.contains('.'))
            QVERIFY(QDir().mkpath(home.filePath(folderSetting)));
    }
    ProgramRun run(m_program, qgetenv("DISPLAY"), QByteArray(), home.path(), settings);
    for (QString& text : typing)
        text.replace("{home}", home.path());
    QImage image;
    captureFullScreen(run, QPoint(100, 100), typing, home.filePath(savedFile), image);
    if (QTest::currentTestFailed())
        return;
    const QString wrong = difference(image, noise);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY(!QFileInfo::exists(home.filePath(notSaved)));
}

QTEST_GUILESS_MAIN(tst_CaptureOnDesktops)
#include "tst_CaptureOnDesktops.moc"
