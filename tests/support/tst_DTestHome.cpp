#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// A test executable started by hand, outside the runner, with HOME pointing at
// a real folder and no XDG variables, must leave that folder untouched and
// leave nothing behind in the temporary folder either.
class tst_DTestHome : public QObject
{
    Q_OBJECT

private slots:
    void testStartedByHandTouchesNoHome_data();
    void testStartedByHandTouchesNoHome();
    void executableGetsAPrivateHome();
};

namespace {

QStringList everythingIn(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

QProcessEnvironment handStartedEnvironment(const QString& home, const QString& tmp)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
                             "ZORVEL_PRIVATE_HOME"})
        env.remove(name);
    env.insert("HOME", home);
    env.insert("TMPDIR", tmp);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

} // namespace

void tst_DTestHome::testStartedByHandTouchesNoHome_data()
{
    QTest::addColumn<QString>("test");
    // Each writes what a careless test would write into a real home: the
    // settings file, and an autostart entry that starts the test at login.
    QTest::newRow("settings") << "tst_DConfig";
    QTest::newRow("autostart entry") << "tst_DLoginItemsXdg";
}

void tst_DTestHome::testStartedByHandTouchesNoHome()
{
    QFETCH(QString, test);
    const QString program = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/tests/" + test;
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));

    QTemporaryDir home;
    QTemporaryDir tmp;
    QVERIFY(home.isValid() && tmp.isValid());
    QProcess process;
    process.setProcessEnvironment(handStartedEnvironment(home.path(), tmp.path()));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, {"-silent"});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);

    QCOMPARE(everythingIn(home.path()), QStringList());
    QCOMPARE(everythingIn(tmp.path()), QStringList());
}

void tst_DTestHome::executableGetsAPrivateHome()
{
    // This very process: whoever started it, its home and XDG folders are one
    // private folder, and the runtime folder is its user's alone.
    const QString home = qEnvironmentVariable("HOME");
    QCOMPARE(qEnvironmentVariable("ZORVEL_PRIVATE_HOME"), home);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        QVERIFY2(qEnvironmentVariable(name).startsWith(home + "/"), name);
    QCOMPARE(QFileInfo(qEnvironmentVariable("XDG_RUNTIME_DIR")).permissions() & 0x0077, QFile::Permissions());
}

QTEST_GUILESS_MAIN(tst_DTestHome)
#include "tst_DTestHome.moc"
