// The build installed into a prefix, and the installed program started through
// its link in bin/: it loads the installed libraries, never the build folder's;
// it keeps its settings file, scripts folder and login item as before; its main
// window comes up, and a second start brings it forward.
#include "DInstalledTree.h"
#include "DProgramProcess.h"
#include "DUserActions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>
#include <QtTest>

#include <filesystem>

class tst_InstalledProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void installsLibrariesProgramAndLink();
    void findsItsLibrariesBesideItself_data();
    void findsItsLibrariesBesideItself();
    void loadsTheInstalledLibrariesNotTheBuildFolders();
    void mainWindowComesUpAndASecondStartBringsItForward_data();
    void mainWindowComesUpAndASecondStartBringsItForward();
    void settingsScriptsAndLoginItemFollowTheInstalledProgram();

private:
    QString program() const { return m_install.path("libexec/zorvelshot/Zorvelshot"); }
    QString launcher() const { return m_install.path("bin/zorvelshot"); }
    QString libraryFolder() const { return m_install.path("lib"); }
    // Starts the installed program through its link in bin/, or by its own path.
    QProcess* start(const QStringList& arguments, const QProcessEnvironment& environment = {},
                    const QString& path = QString());
    // A start that hands over to the running instance and leaves with 0.
    bool handsOver(const QString& path = QString());
    // The one window of the process on screen, once there is one; 0 otherwise.
    quint32 mainWindowOf(QProcess* process);

    DStagedInstall m_install{"/usr/local"};
    QString m_buildFolder;
    QList<QProcess*> m_started;
};

void tst_InstalledProgram::initTestCase()
{
    QVERIFY(!qEnvironmentVariableIsEmpty("DISPLAY"));
    m_buildFolder = QFileInfo(qEnvironmentVariable("ZORVEL_BUILD_DIR")).canonicalFilePath();
    QVERIFY(!m_buildFolder.isEmpty());
    QVERIFY2(m_install.install(), qPrintable(m_install.log()));
}

void tst_InstalledProgram::cleanup()
{
    endPrograms(m_started);
    QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta").removeRecursively();
    QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart").removeRecursively();
    QDir(m_install.path("libexec/zorvelshot/scripts")).removeRecursively();
}

QProcess* tst_InstalledProgram::start(const QStringList& arguments, const QProcessEnvironment& environment,
                                      const QString& path)
{
    QProcess* process = startProgram(path.isEmpty() ? launcher() : path, arguments, environment);
    m_started.append(process);
    return process;
}

bool tst_InstalledProgram::handsOver(const QString& path)
{
    QProcess* second = start({}, {}, path);
    return second->waitForFinished(10000) && second->exitStatus() == QProcess::NormalExit
           && second->exitCode() == 0;
}

quint32 tst_InstalledProgram::mainWindowOf(QProcess* process)
{
    QElapsedTimer clock;
    clock.start();
    QStringList windows = visibleWindows(process->processId());
    while (windows.isEmpty() && clock.elapsed() < 10000) {
        QTest::qWait(50);
        windows = visibleWindows(process->processId());
    }
    return windows.count() == 1 ? windows.first().toUInt() : 0;
}

void tst_InstalledProgram::installsLibrariesProgramAndLink()
{
    for (const QString library : {"libZorvelKit", "libZorvelPropertyBrowser"}) {
        const QFileInfo file(libraryFolder() + '/' + library + ".so." ZORVEL_VERSION);
        QVERIFY2(file.isFile() && !file.isSymLink(), qPrintable(file.filePath()));
        const QFileInfo soname(libraryFolder() + '/' + sonameOf(library));
        QVERIFY(soname.isSymLink());
        QCOMPARE(soname.canonicalFilePath(), file.canonicalFilePath());
        QCOMPARE(dynamicEntries(file.filePath(), "SONAME"), QStringList(soname.fileName()));
        const QFileInfo name(libraryFolder() + '/' + library + ".so");
        QVERIFY(name.isSymLink());
        QCOMPARE(name.canonicalFilePath(), file.canonicalFilePath());
    }

    QVERIFY(QFileInfo(program()).isExecutable());
    // The link is relative: it holds wherever the prefix is copied to.
    const QFileInfo link(launcher());
    QVERIFY(link.isSymLink());
    const std::filesystem::path target = std::filesystem::read_symlink(launcher().toStdString());
    QVERIFY2(target.is_relative(), target.c_str());
    QCOMPARE(link.canonicalFilePath(), QFileInfo(program()).canonicalFilePath());
}

void tst_InstalledProgram::findsItsLibrariesBesideItself_data()
{
    QTest::addColumn<QString>("belowPrefix");
    QTest::addColumn<QString>("runpath");
    QTest::addColumn<QStringList>("ownLibraries");
    QTest::newRow("program") << "libexec/zorvelshot/Zorvelshot" << "$ORIGIN/../../lib"
                             << QStringList{sonameOf("libZorvelKit"), sonameOf("libZorvelPropertyBrowser")};
    QTest::newRow("libZorvelKit") << "lib/" + sonameOf("libZorvelKit") << "$ORIGIN"
                                  << QStringList{sonameOf("libZorvelPropertyBrowser")};
}

void tst_InstalledProgram::findsItsLibrariesBesideItself()
{
    QFETCH(QString, belowPrefix);
    QFETCH(QString, runpath);
    QFETCH(QStringList, ownLibraries);
    const QString file = m_install.path(belowPrefix);
    QCOMPARE(dynamicEntries(file, "RUNPATH"), QStringList(runpath));
    QCOMPARE(dynamicEntries(file, "RPATH"), QStringList());

    const QMap<QString, QString> libraries = resolvedLibraries(file);
    const QString staged = QFileInfo(m_install.root()).canonicalFilePath();
    for (const QString& library : ownLibraries) {
        QVERIFY2(libraries.contains(library), qPrintable(library));
        const QString found = QFileInfo(libraries.value(library)).canonicalFilePath();
        QCOMPARE(found, QFileInfo(libraryFolder() + '/' + library).canonicalFilePath());
        QVERIFY(found.startsWith(staged + '/'));
    }
    for (auto it = libraries.cbegin(); it != libraries.cend(); ++it) {
        QVERIFY2(it.value() != "not found", qPrintable(it.key()));
        QVERIFY2(!QFileInfo(it.value()).canonicalFilePath().startsWith(m_buildFolder + '/'), qPrintable(it.value()));
    }
}

void tst_InstalledProgram::loadsTheInstalledLibrariesNotTheBuildFolders()
{
    // The dynamic loader's own account of where it looked and what it loaded.
    QTemporaryDir trace;
    QVERIFY(trace.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_DEBUG", "libs");
    environment.insert("LD_DEBUG_OUTPUT", trace.filePath("ld"));
    QProcess* first = start({"/autorun"}, environment);
    QVERIFY(waitUntilServing(first));

    QFile log(trace.filePath("ld.%1").arg(first->processId()));
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromLocal8Bit(log.readAll());
    const QString staged = QFileInfo(m_install.root()).canonicalFilePath();
    QVERIFY2(text.contains(QRegularExpression("calling init: " + QRegularExpression::escape(staged) + "\\S*/lib/"
                                              + QRegularExpression::escape(sonameOf("libZorvelKit")) + "\\n")),
             qPrintable(text.left(4000)));
    QVERIFY2(!text.contains(m_buildFolder + '/'), qPrintable(m_buildFolder));
    QVERIFY(!text.contains(qEnvironmentVariable("ZORVEL_BUILD_DIR") + '/'));
}

// The menu starts the program through the link in bin/, the login item by the
// program's own path: every start finds the running instance, however either
// was started.
void tst_InstalledProgram::mainWindowComesUpAndASecondStartBringsItForward_data()
{
    QTest::addColumn<bool>("firstByLink");
    QTest::addColumn<bool>("laterByLink");
    QTest::newRow("both from the menu") << true << true;
    QTest::newRow("at login, then from the menu") << false << true;
    QTest::newRow("from the menu, then by the program's path") << true << false;
}

void tst_InstalledProgram::mainWindowComesUpAndASecondStartBringsItForward()
{
    QFETCH(bool, firstByLink);
    QFETCH(bool, laterByLink);
    const QString later = laterByLink ? launcher() : program();
    // Started as at login: only in the tray, until a second start asks for the window.
    QProcess* first = start({"/autorun"}, {}, firstByLink ? launcher() : program());
    QVERIFY(waitUntilServing(first));
    QTest::qWait(300);
    QVERIFY(visibleWindows(first->processId()).isEmpty());
    QVERIFY(handsOver(later));
    const quint32 window = mainWindowOf(first);
    QVERIFY(window != 0);
    QCOMPARE(xdotoolLines({"getwindowname", QString::number(window)}), QStringList("Zorvelshot"));
    // Its window class is the one the menu entry announces, so that docks and
    // task bars put the window under the entry's icon.
    const DToolRun windowClass = runTool("xprop", {"-id", QString::number(window), "WM_CLASS"});
    const QString startupClass =
        desktopEntryKeys(m_install.path("share/applications/com.orvanta.Zorvelshot.desktop")).value("StartupWMClass");
    QVERIFY(!startupClass.isEmpty());
    QVERIFY2(windowClass.output.trimmed().endsWith(", \"" + startupClass + '"'), qPrintable(windowClass.output));

    // Another window in front of it, holding the focus; then one more start.
    QWidget other;
    other.setWindowTitle("in front");
    other.setGeometry(0, 0, 1280, 800);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    const QString otherId = QString::number(other.winId());
    QVERIFY(xdotool({"windowactivate", "--sync", otherId}));
    QTRY_COMPARE_WITH_TIMEOUT(xdotoolLines({"getactivewindow"}), QStringList(otherId), 5000);

    QVERIFY(handsOver(later));
    QTRY_COMPARE_WITH_TIMEOUT(xdotoolLines({"getactivewindow"}), QStringList(QString::number(window)), 10000);
    QCOMPARE(first->state(), QProcess::Running);
}

void tst_InstalledProgram::settingsScriptsAndLoginItemFollowTheInstalledProgram()
{
    // A start-up script in the folder "scripts" beside the installed program;
    // the link in bin/ has another name than the program.
    QVERIFY(QDir().mkpath(m_install.path("libexec/zorvelshot/scripts")));
    QFile script(m_install.path("libexec/zorvelshot/scripts/startup.js"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("setPreference(\"installed\", mgui.objectName);\n");
    script.close();
    QVERIFY(QFileInfo(launcher()).fileName() != QFileInfo(program()).fileName());

    QProcess* first = start({"/autorun"});
    QVERIFY(waitUntilServing(first));

    const QString settingsFolder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta";
    QSettings settings(settingsFolder + "/Zorvelshot.ini", QSettings::IniFormat);
    QTRY_COMPARE_WITH_TIMEOUT((settings.sync(), settings.value("ScriptPreference/installed").toString()),
                              QStringLiteral("mgui"), 10000);
    QCOMPARE(QDir(settingsFolder).entryList(QDir::Files | QDir::Hidden), QStringList("Zorvelshot.ini"));

    // The login item starts the installed program, hidden in the tray.
    const QString entry = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/Zorvelshot.desktop";
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(entry), 5000);
    const QString exec = desktopEntryKeys(entry).value("Exec");
    QVERIFY2(exec.endsWith(" /autorun"), qPrintable(exec));
    QString started = exec.chopped(QStringLiteral(" /autorun").size());
    if (started.startsWith('"') && started.endsWith('"'))
        started = started.mid(1, started.size() - 2);
    QCOMPARE(QFileInfo(started).canonicalFilePath(), QFileInfo(program()).canonicalFilePath());
}

QTEST_MAIN(tst_InstalledProgram)
#include "tst_InstalledProgram.moc"
