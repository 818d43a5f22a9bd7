// Two real Zorvelshot processes on one display: a second start hands over to
// the first and leaves; what a dead first instance leaves behind is no obstacle.
#include "DFeedServer.h"
#include "DLocalInstancePeer.h"
#include "DWithoutRuntimeFolder.h"
#include "DProcessMemory.h"
#include "DUpdateChecker.h"
#include "DScript.h"
#include "DScriptWatchdog.h"
#include "DProgramProcess.h"
#include "DX11CloseRequest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The processor time a process has used so far, in seconds; -1 when it cannot
// be read.
double processorSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name, in parentheses, may hold blanks: count fields after it.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// Waits until the process idles: in one second of waiting it uses less than
// half a second of processor time. False when it keeps busy for the timeout.
bool waitUntilIdle(qint64 pid, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const double before = processorSeconds(pid);
        QTest::qWait(1000);
        const double after = processorSeconds(pid);
        if (before < 0 || after < 0)
            return false;
        if (after - before < 0.5)
            return true;
    }
    return false;
}

} // namespace

class tst_SingleInstanceProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void secondStartBringsHiddenFirstForward();
    void killedInstanceDoesNotBlockNextStart();
    void startWhileFirstIsGoingAway();
    void settingsFileOfRandomBytes();
    void settingsPathThatIsNoFile_data();
    void settingsPathThatIsNoFile();
    void startupScriptSeesMainWindow();
    void firstStartAddsItselfToAutostart();
    void closedWindowEndsProgramAndFreesTheId();
    void escapeClosesTheWindow_data();
    void escapeClosesTheWindow();
    void startWhileFirstClosesItsWindow();
    void foldersAtTheInstancePaths_data();
    void foldersAtTheInstancePaths();
    void hostileStartupScripts_data();
    void hostileStartupScripts();
    void oversizedStartupScriptIsSkipped();
    void windowClosedWhileTheStartupScriptRunsEndsTheProgram();
    void hostileUpdateFeedAtStart_data();
    void hostileUpdateFeedAtStart();
    void silentUpdateFeedDoesNotHoldTheExit();
    void endlessUpdateFeedAtStart_data();
    void endlessUpdateFeedAtStart();
    void startWithoutRuntimeFolder_data();
    void startWithoutRuntimeFolder();
    void blockedNamesAtStart_data();
    void blockedNamesAtStart();

private:
    QProcess* start(const QStringList& arguments, const QProcessEnvironment& environment = {});
    // Starts an instance whose update check asks the feed server, through the
    // proxy that the environment names, and waits until it has asked.
    QProcess* startAskingFeed(const DFeedServer& feed);
    // Starts a copy of the program whose scripts folder holds this startup.js.
    QProcess* startWithStartupScript(QTemporaryDir& install, const QByteArray& script);
    bool secondStartBringsForward(QProcess* first);
    QProcess* startShownWithoutTray() { return startShown("SystemTray=false"); }
    QProcess* startShown(const QByteArray& setting);
    static bool closeWindowUntilEnded(QProcess* process, quint32 window);
    void writeSetting(const QByteArray& line, bool autoUpdate = false);
    void handedOverOrTookOver(QProcess* second);
    // Starts an instance, as at login, that says `text` once on its error
    // output and runs on; null (with what it said) otherwise.
    QProcess* startRunningSayingOnce(const QByteArray& text);

    QString m_program;
    QList<QProcess*> m_started;
};

void tst_SingleInstanceProcess::initTestCase()
{
    m_program = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/bin/Zorvelshot";
    QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    QVERIFY(!qEnvironmentVariableIsEmpty("DISPLAY"));
}

void tst_SingleInstanceProcess::init()
{
    // No test contacts the maker's update feed.
    writeSetting("");
}

void tst_SingleInstanceProcess::cleanup()
{
    endPrograms(m_started);
    // Every test begins without a primary, as after a clean shutdown, and
    // without anything else at its paths.
    for (int index = 0; index < DLocalInstancePeer::NameCount; ++index) {
        for (const QString& path : {DLocalInstancePeer::serverPath("Zorvelshot", index),
                                    DLocalInstancePeer::lockPath("Zorvelshot", index)}) {
            if (QFileInfo(path).isDir())
                QDir(path).removeRecursively();
            else
                QFile::remove(path);
        }
    }
    QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta/Zorvelshot.ini");
}

QProcess* tst_SingleInstanceProcess::start(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess* process = startProgram(m_program, arguments, environment);
    m_started.append(process);
    return process;
}

QProcess* tst_SingleInstanceProcess::startAskingFeed(const DFeedServer& feed)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("http_proxy", feed.url("").toString());
    QProcess* process = start({"/autorun"}, environment);
    if (!waitUntilServing(process))
        return nullptr;
    QElapsedTimer clock;
    clock.start();
    while (feed.requests.isEmpty() && clock.elapsed() < 10000)
        QTest::qWait(50);
    return feed.requests.count() == 1 ? process : nullptr;
}

void tst_SingleInstanceProcess::secondStartBringsHiddenFirstForward()
{
    QProcess* first = start({"/autorun"});
    QVERIFY(waitUntilServing(first));
    // Started as at login: only in the tray.
    QTest::qWait(300);
    QVERIFY(visibleWindows(first->processId()).isEmpty());

    QProcess* second = start({});
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(first->processId()).isEmpty(), 5000);
    QCOMPARE(first->state(), QProcess::Running);
}

void tst_SingleInstanceProcess::killedInstanceDoesNotBlockNextStart()
{
    QProcess* crashed = start({"/autorun"});
    QVERIFY(waitUntilServing(crashed));
    ::kill(pid_t(crashed->processId()), SIGKILL);
    QVERIFY(crashed->waitForFinished(5000));
    QVERIFY(QFileInfo::exists(DLocalInstancePeer::serverPath("Zorvelshot")));
    QVERIFY(QFileInfo::exists(DLocalInstancePeer::lockPath("Zorvelshot")));

    QProcess* next = start({"/autorun"});
    QVERIFY(waitUntilServing(next));
    QCOMPARE(next->state(), QProcess::Running);

    // It is the running instance now: a later start hands over to it.
    QProcess* later = start({});
    QVERIFY(later->waitForFinished(10000));
    QCOMPARE(later->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(next->processId()).isEmpty(), 5000);
}

void tst_SingleInstanceProcess::startWhileFirstIsGoingAway()
{
    QProcess* first = start({"/autorun"});
    QVERIFY(waitUntilServing(first));
    ::kill(pid_t(first->processId()), SIGTERM);
    QProcess* second = start({"/autorun"});
    QVERIFY(first->waitForFinished(5000));
    handedOverOrTookOver(second);
}

void tst_SingleInstanceProcess::settingsFileOfRandomBytes()
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta";
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + "/Zorvelshot.ini");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QRandomGenerator random(4711);
    QByteArray noise(64 * 1024, '\0');
    for (char& c : noise)
        c = char(random.bounded(256));
    // A few lines that look like settings, with values of the wrong kind.
    noise.prepend("[General]\nAutoUpdate=false\nSystemTray=\x01\x02\nHotkeyRegion=garbage\nJpgQuality=-9\n"
                  "NameMethod=many\nRegionType=7\n");
    file.write(noise);
    file.close();

    QProcess* first = start({"/autorun"});
    QVERIFY(waitUntilServing(first));
    QProcess* second = start({});
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(first->processId()).isEmpty(), 5000);
    QCOMPARE(first->state(), QProcess::Running);
    QFile::remove(folder + "/Zorvelshot.ini");
}

// A pipe or a folder where the settings file should be, or where saving the
// settings takes its lock: the program starts all the same (a pipe used to
// hold it for ever), runs (the update check, on by default, asks the feed),
// hands over to a second start, and leaves what stands there as it was.
void tst_SingleInstanceProcess::settingsPathThatIsNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pipe");
    QTest::newRow("pipe") << "Zorvelshot.ini" << true;
    QTest::newRow("folder") << "Zorvelshot.ini" << false;
    QTest::newRow("pipe at the lock") << "Zorvelshot.ini.lock" << true;
}

void tst_SingleInstanceProcess::settingsPathThatIsNoFile()
{
    QFETCH(QString, name);
    QFETCH(bool, pipe);
    const QString path = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta/" + name;
    const QByteArray entry = QFile::encodeName(path);
    // The settings file holds the update check's own default.
    writeSetting("", true);
    QFile::remove(path);
    const auto removeEntry = qScopeGuard([&] {
        ::unlink(entry.constData());
        ::rmdir(entry.constData());
    });
    if (pipe)
        QCOMPARE(::mkfifo(entry.constData(), 0600), 0);
    else
        QVERIFY(QDir().mkdir(path));
    DFeedServer feed;
    QVERIFY(feed.isListening());
    feed.serve("<feed/>");

    QProcess* first = startAskingFeed(feed);
    QVERIFY2(first, "the program did not start, or did not check for updates as it does by default");
    QVERIFY(secondStartBringsForward(first));
    struct stat status;
    QCOMPARE(::lstat(entry.constData(), &status), 0);
    QCOMPARE(status.st_mode & S_IFMT, mode_t(pipe ? S_IFIFO : S_IFDIR));
}

QProcess* tst_SingleInstanceProcess::startWithStartupScript(QTemporaryDir& install, const QByteArray& script)
{
    // A copy of the program with a scripts folder of its own beside it.
    const QString copy = install.filePath("Zorvelshot");
    QFile file(install.filePath("scripts/startup.js"));
    if (!install.isValid() || !QFile::copy(m_program, copy) || !QDir(install.path()).mkpath("scripts")
        || !file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return nullptr;
    file.close();
    const QString saved = m_program;
    m_program = copy;
    QProcess* process = start({"/autorun"});
    m_program = saved;
    return process;
}

// A second start ends at once with 0 and the first instance's window comes up.
bool tst_SingleInstanceProcess::secondStartBringsForward(QProcess* first)
{
    QProcess* second = start({});
    if (!second->waitForFinished(10000) || second->exitStatus() != QProcess::NormalExit || second->exitCode() != 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (visibleWindows(first->processId()).isEmpty() && clock.elapsed() < 5000)
        QTest::qWait(50);
    return !visibleWindows(first->processId()).isEmpty() && first->state() == QProcess::Running;
}

void tst_SingleInstanceProcess::startupScriptSeesMainWindow()
{
    QTemporaryDir install;
    QProcess* first = startWithStartupScript(install, "setPreference(\"seen\", mgui.objectName);\nmgui.show();\n");
    QVERIFY(first);
    QVERIFY(waitUntilServing(first));
    // Started as at login the window stays hidden, unless the script shows it.
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(first->processId()).isEmpty(), 5000);
    QSettings settings(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta/Zorvelshot.ini", QSettings::IniFormat);
    QTRY_COMPARE_WITH_TIMEOUT((settings.sync(), settings.value("ScriptPreference/seen").toString()),
                              QStringLiteral("mgui"), 5000);
}

void tst_SingleInstanceProcess::firstStartAddsItselfToAutostart()
{
    const QString entry = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/Zorvelshot.desktop";
    QFile::remove(entry);
    QProcess* first = start({"/autorun"});
    QVERIFY(waitUntilServing(first));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(entry), 5000);
}

void tst_SingleInstanceProcess::writeSetting(const QByteArray& line, bool autoUpdate)
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta";
    QVERIFY(QDir().mkpath(folder));
    QFile file(folder + "/Zorvelshot.ini");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[General]\nAutoUpdate=" + QByteArray(autoUpdate ? "true" : "false") + "\n" + line + "\n");
}

// An instance whose window is on screen, with the setting given; without the
// tray it quits when its window is closed.
QProcess* tst_SingleInstanceProcess::startShown(const QByteArray& setting)
{
    writeSetting(setting);
    QProcess* first = start({"/autorun"});
    if (!waitUntilServing(first))
        return nullptr;
    QProcess* second = start({});
    if (!second->waitForFinished(10000) || second->exitCode() != 0)
        return nullptr;
    QElapsedTimer clock;
    clock.start();
    while (visibleWindows(first->processId()).isEmpty() && clock.elapsed() < 5000)
        QTest::qWait(50);
    return first;
}

// Sends close requests to the window until the process ends. A single request
// is now and then lost between the X server and Qt, with any Qt window.
bool tst_SingleInstanceProcess::closeWindowUntilEnded(QProcess* process, quint32 window)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!sendCloseRequest(window))
            return false;
        if (process->waitForFinished(500))
            return true;
    }
    return false;
}

void tst_SingleInstanceProcess::closedWindowEndsProgramAndFreesTheId()
{
    QProcess* first = startShownWithoutTray();
    QVERIFY(first);
    const QStringList windows = visibleWindows(first->processId());
    QCOMPARE(windows.count(), 1);
    QVERIFY(closeWindowUntilEnded(first, windows.first().toUInt()));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
    // A clean end leaves neither lock nor socket behind.
    QVERIFY(!QFileInfo::exists(DLocalInstancePeer::lockPath("Zorvelshot")));
    QVERIFY(!QFileInfo::exists(DLocalInstancePeer::serverPath("Zorvelshot")));
}

void tst_SingleInstanceProcess::escapeClosesTheWindow_data()
{
    QTest::addColumn<bool>("systemTray");
    QTest::newRow("without the tray the program ends") << false;
    QTest::newRow("with the tray the program stays") << true;
}

// Escape on the main window does what closing it does: without the tray the
// program ends, with the tray the window hides and the program runs on.
void tst_SingleInstanceProcess::escapeClosesTheWindow()
{
    QFETCH(bool, systemTray);
    QProcess* first = startShown(systemTray ? "SystemTray=true" : "SystemTray=false");
    QVERIFY(first);
    const QStringList windows = visibleWindows(first->processId());
    QCOMPARE(windows.count(), 1);
    // As with a close request, a single key press is now and then lost
    // between the X server and Qt: pressed until the window has gone.
    QElapsedTimer clock;
    clock.start();
    while (!visibleWindows(first->processId()).isEmpty() && clock.elapsed() < 10000) {
        QProcess::execute("xdotool", {"windowactivate", "--sync", windows.first(), "key", "Escape"});
        QTest::qWait(200);
    }
    QVERIFY(visibleWindows(first->processId()).isEmpty());
    if (systemTray) {
        // Still there: a second start brings the window back.
        QVERIFY(secondStartBringsForward(first));
        return;
    }
    QTRY_VERIFY2_WITH_TIMEOUT(first->state() == QProcess::NotRunning, "the window went, the program stayed", 10000);
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
}

void tst_SingleInstanceProcess::startWhileFirstClosesItsWindow()
{
    QProcess* first = startShownWithoutTray();
    QVERIFY(first);
    const QStringList windows = visibleWindows(first->processId());
    QCOMPARE(windows.count(), 1);
    QVERIFY(sendCloseRequest(windows.first().toUInt()));
    QProcess* second = start({"/autorun"});
    QVERIFY(closeWindowUntilEnded(first, windows.first().toUInt()));
    QCOMPARE(first->exitCode(), 0);
    handedOverOrTookOver(second);
}

// A start made while the first instance was going away either reached the
// first in time and left with 0, or found it gone and runs as the instance
// itself, so that a later start hands over to it; it never hangs.
void tst_SingleInstanceProcess::handedOverOrTookOver(QProcess* second)
{
    if (second->waitForFinished(7000)) {
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        return;
    }
    QVERIFY(waitUntilServing(second));
    QProcess* third = start({});
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(second->processId()).isEmpty(), 5000);
}

// Something of the user's where the instance's socket or lock should be: the
// first instance still runs and is reached by the second start.
void tst_SingleInstanceProcess::foldersAtTheInstancePaths_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::newRow("socket") << DLocalInstancePeer::serverPath("Zorvelshot");
    QTest::newRow("lock") << DLocalInstancePeer::lockPath("Zorvelshot");
}

void tst_SingleInstanceProcess::foldersAtTheInstancePaths()
{
    QFETCH(QString, blocked);
    QVERIFY(QDir().mkpath(blocked + "/inside"));
    QProcess* first = start({"/autorun"});
    QVERIFY(waitUntilServing(first));
    QVERIFY(secondStartBringsForward(first));
    QVERIFY(QFileInfo(blocked + "/inside").isDir());
}

void tst_SingleInstanceProcess::hostileStartupScripts_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("endless");
    // The window lives on main's stack: deleting it would end the program.
    QTest::newRow("deletes the main window") << QByteArray("mgui.deleteLater();\n") << false;
    QTest::newRow("deletes all its parts")
        << QByteArray("var parts = mgui.findChildren();\n"
                      "for (var i = 0; i < parts.length; ++i)\n"
                      "    parts[i].deleteLater();\n")
        << false;
    // Runs for its time limit; meanwhile the program answers.
    QTest::newRow("endless loop") << QByteArray("while (true) {}\n") << true;
    // Stopped at the memory limit, in one built-in call or in a loop.
    QTest::newRow("joins 200,000,000 elements") << QByteArray("new Array(200000000).join('ab');\n") << false;
    QTest::newRow("keeps megabytes without end")
        << QByteArray("var mb = 'x'; while (mb.length < 1048576) mb += mb;\n"
                      "var kept = []; while (true) { var t = mb + kept.length; t.charAt(0); kept.push(t); }\n")
        << false;
}

void tst_SingleInstanceProcess::hostileStartupScripts()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, endless);
    QTemporaryDir install;
    QProcess* first = startWithStartupScript(install, script);
    QVERIFY(first);
    QVERIFY(waitUntilServing(first));
    QVERIFY(secondStartBringsForward(first));
    // Past the time limit, the program is still the instance that answers.
    if (endless)
        QTest::qWait(DScriptWatchdog::TimeLimitMs);
    // The script was stopped: the program idles again, never having held far
    // more than the script's memory limit above what it holds without one.
    QVERIFY(waitUntilIdle(first->processId(), DScriptWatchdog::TimeLimitMs + 30000));
    const qint64 peak = processMemoryBytes(first->processId(), "VmHWM");
    QVERIFY2(peak < 2 * DScriptWatchdog::MemoryLimitBytes, qPrintable(QString::number(peak)));
    QCOMPARE(first->state(), QProcess::Running);
    QProcess* third = start({});
    QVERIFY(third->waitForFinished(10000));
    QCOMPARE(third->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
}

void tst_SingleInstanceProcess::oversizedStartupScriptIsSkipped()
{
    QByteArray script = "setPreference('ran', 1);\n//";
    script += QByteArray(int(DScript::MaxScriptBytes), 'x');
    QTemporaryDir install;
    QProcess* first = startWithStartupScript(install, script);
    QVERIFY(first);
    QVERIFY(waitUntilServing(first));
    QVERIFY(secondStartBringsForward(first));
    QSettings settings(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta/Zorvelshot.ini", QSettings::IniFormat);
    QVERIFY(!settings.contains("ScriptPreference/ran"));
}

void tst_SingleInstanceProcess::windowClosedWhileTheStartupScriptRunsEndsTheProgram()
{
    // Without a tray icon, closing the window ends the program; the start-up
    // script is still running when the user does it.
    writeSetting("SystemTray=false");
    QTemporaryDir install;
    QProcess* first = startWithStartupScript(install, "while (true) {}\n");
    QVERIFY(first);
    QVERIFY(waitUntilServing(first));
    QVERIFY(secondStartBringsForward(first));
    const QStringList windows = visibleWindows(first->processId());
    QCOMPARE(windows.count(), 1);
    // A single request is now and then lost: asked again until the window goes.
    QElapsedTimer clock;
    clock.start();
    while (!visibleWindows(first->processId()).isEmpty() && clock.elapsed() < 10000) {
        QVERIFY(sendCloseRequest(windows.first().toUInt()));
        QTest::qWait(250);
    }
    QVERIFY(visibleWindows(first->processId()).isEmpty());
    // Once the script is stopped, nothing holds the program any more.
    QVERIFY(first->waitForFinished(DScriptWatchdog::TimeLimitMs + 20000));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
}

// The feed as anyone on the network path could serve it, reached through the
// proxy that the environment names.
void tst_SingleInstanceProcess::hostileUpdateFeedAtStart_data()
{
    QTest::addColumn<QByteArray>("body");
    const QByteArray entry = "<product name=\"Zorvelshot\" os=\"Linux\" version=\"9\" "
                             "link=\"http://www.orvanta.com/download\"/>";
    QTest::newRow("100,000 nested elements") << QByteArray("<a>").repeated(100000) + entry
                                                    + QByteArray("</a>").repeated(100000);
    QTest::newRow("16 MB of flat elements") << "<feed>" + QByteArray("<pad/>").repeated(16 * 1024 * 1024 / 6)
                                                   + entry + "</feed>";
    QTest::newRow("truncated") << "<feed>" + entry;
}

void tst_SingleInstanceProcess::hostileUpdateFeedAtStart()
{
    QFETCH(QByteArray, body);
    DFeedServer feed;
    QVERIFY(feed.isListening());
    feed.serve(body);
    writeSetting("", true);
    QProcess* first = startAskingFeed(feed);
    QVERIFY(first);
    QVERIFY(feed.requests.at(0).path.endsWith("/d/update.xml"));
    // No crash and no offer: a second start brings up the main window, the
    // only window of the program.
    QVERIFY(secondStartBringsForward(first));
    QTest::qWait(500);
    QCOMPARE(visibleWindows(first->processId()).count(), 1);
}

void tst_SingleInstanceProcess::silentUpdateFeedDoesNotHoldTheExit()
{
    DFeedServer feed;
    feed.setSilent(true);
    writeSetting("SystemTray=false", true);
    QProcess* first = startAskingFeed(feed);
    QVERIFY(first);
    QVERIFY(secondStartBringsForward(first));
    const QStringList windows = visibleWindows(first->processId());
    QCOMPARE(windows.count(), 1);
    QVERIFY(closeWindowUntilEnded(first, windows.first().toUInt()));
    QCOMPARE(first->exitCode(), 0);
}

// An answer that never ends, from whoever sits on the network path: the
// program drops it within its bounds, holds no more memory for it, offers
// nothing and answers a second start.
void tst_SingleInstanceProcess::endlessUpdateFeedAtStart_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("filler");
    const QByteArray letters(4096, 'a');
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    QTest::newRow("endless status line") << QByteArray("HTTP/1.1 200 ") << letters;
    QTest::newRow("endless header line") << ok + "X-Pad: " << letters;
    QTest::newRow("endless header lines") << ok << QByteArray("X-Pad: a\r\n").repeated(400);
    QTest::newRow("endless chunk-size line") << ok + "Transfer-Encoding: chunked\r\n\r\n" << QByteArray(4096, '1');
}

void tst_SingleInstanceProcess::endlessUpdateFeedAtStart()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, filler);
    DFeedServer feed;
    QVERIFY(feed.isListening());
    // Held until the program is up, so that what it holds then is the measure.
    feed.setSilent(true);
    feed.serveEndless(head, filler, 512 * 1024 * 1024);
    writeSetting("", true);
    QProcess* first = startAskingFeed(feed);
    QVERIFY(first);
    const qint64 before = processMemoryBytes(first->processId(), "VmHWM");
    QVERIFY(before > 0);
    feed.setSilent(false);
    QTRY_VERIFY2_WITH_TIMEOUT(feed.closedConnections == 1, qPrintable(QString::number(feed.sentBytes)),
                              DUpdateChecker::TimeLimitMs + 15000);
    const qint64 growth = processMemoryBytes(first->processId(), "VmHWM") - before;
    QVERIFY2(growth < 100 * 1024 * 1024, qPrintable(QString::number(growth)));
    QVERIFY(secondStartBringsForward(first));
    QTest::qWait(500);
    QCOMPARE(visibleWindows(first->processId()).count(), 1);
}

namespace {

// A lock as a crashed instance on a host of another name left it, a minute old.
bool plantLock(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("4242\nZorvelshot\nelsewhere\n");
    return file.flush()
           && file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
}

const char* const RefusedFolder = "Single instance: no folder of this user's own";

} // namespace

QProcess* tst_SingleInstanceProcess::startRunningSayingOnce(const QByteArray& text)
{
    QProcess* process = startProgram(m_program, {"/autorun"}, {}, QProcess::SeparateChannels);
    m_started.append(process);
    QByteArray said;
    QElapsedTimer clock;
    clock.start();
    while (!said.contains(text) && clock.elapsed() < 20000 && process->state() == QProcess::Running) {
        process->waitForReadyRead(100);
        said += process->readAllStandardError();
    }
    // Anything more it says right after.
    QTest::qWait(500);
    said += process->readAllStandardError();
    if (said.count(text) != 1 || process->state() != QProcess::Running) {
        qWarning("the start said: %s", said.constData());
        return nullptr;
    }
    return process;
}

// Without XDG_RUNTIME_DIR the lock and the socket live in a private folder of
// the user in the shared temporary folder: what another user plants there, or
// a leftover lock naming another host, never keeps the program from starting.
void tst_SingleInstanceProcess::startWithoutRuntimeFolder_data()
{
    QTest::addColumn<QString>("planted");
    QTest::addColumn<bool>("reachable");
    QTest::newRow("nothing there") << "" << true;
    QTest::newRow("a leftover lock naming another host") << "lock" << true;
    QTest::newRow("the folder open to all, a lock in it") << "open folder" << false;
    QTest::newRow("the folder made by another user, a lock beside it") << "foreign folder" << false;
}

void tst_SingleInstanceProcess::startWithoutRuntimeFolder()
{
    QFETCH(QString, planted);
    QFETCH(bool, reachable);
    DWithoutRuntimeFolder environment;
    const QString folder = environment.privatePath();
    const QString lockName = "/Zorvelshot-" + QString::number(getuid()) + ".lock";
    const QByteArray native = QFile::encodeName(folder);
    if (planted == "lock") {
        QCOMPARE(::mkdir(native.constData(), 0700), 0);
        QVERIFY(plantLock(folder + lockName));
    } else if (planted == "open folder") {
        QCOMPARE(::mkdir(native.constData(), 0700), 0);
        QCOMPARE(::chmod(native.constData(), 0777), 0);
        QVERIFY(plantLock(folder + lockName));
    } else if (planted == "foreign folder") {
        if (geteuid() != 0)
            QSKIP("only root can make a folder of another user");
        QCOMPARE(::mkdir(native.constData(), 0700), 0);
        QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
        // Where a start that gave up on the folder would look next.
        QVERIFY(plantLock(environment.temporaryPath() + lockName));
    }

    if (reachable) {
        QProcess* first = start({"/autorun"});
        // Made by the program, private, before the test's own look creates nothing.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(folder).isDir(), 10000);
        struct stat info;
        QCOMPARE(::lstat(native.constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
        QCOMPARE(info.st_uid, geteuid());
        QVERIFY(waitUntilServing(first));
        QVERIFY(secondStartBringsForward(first));
        return;
    }
    // Every start runs, and says once why a later one cannot find it.
    QProcess* first = startRunningSayingOnce(RefusedFolder);
    QVERIFY(first);
    QVERIFY(startRunningSayingOnce(RefusedFolder));
    QCOMPARE(first->state(), QProcess::Running);
}

// Something at every fallback name: every start runs, no start removes the
// running instance's socket, and the user hears once why.
void tst_SingleInstanceProcess::blockedNamesAtStart_data()
{
    QTest::addColumn<bool>("locks");
    QTest::newRow("folders at all four lock names") << true;
    QTest::newRow("folders at all four socket names") << false;
}

void tst_SingleInstanceProcess::blockedNamesAtStart()
{
    QFETCH(bool, locks);
    for (int index = 0; index < DLocalInstancePeer::NameCount; ++index) {
        const QString path = locks ? DLocalInstancePeer::lockPath("Zorvelshot", index)
                                   : DLocalInstancePeer::serverPath("Zorvelshot", index);
        QVERIFY(QDir().mkpath(path + "/inside"));
    }
    const QByteArray warning = locks ? "none of the lock names" : "none of the socket names";
    QProcess* first = startRunningSayingOnce(warning);
    QVERIFY(first);
    if (locks) {
        // Still reached by its socket, which the second start leaves alone.
        QVERIFY(waitUntilServing(first));
        QVERIFY(secondStartBringsForward(first));
        QVERIFY(secondStartBringsForward(first));
        return;
    }
    // Nobody can reach the first: the second runs beside it rather than wait
    // for it in vain.
    QVERIFY(startRunningSayingOnce(warning));
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(tst_SingleInstanceProcess)
#include "tst_SingleInstanceProcess.moc"
