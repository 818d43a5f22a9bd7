// What a start decides: the arguments, whether the window is shown, and the
// login time behind that decision.
#include "DFakeLastLogin.h"
#include "DLastLoginLinux.h"
#include "DStartup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <lastlog.h>
#include <pwd.h>
#include <unistd.h>
#include <utmpx.h>

class tst_DStartup : public QObject
{
    Q_OBJECT

private slots:
    void arguments_data();
    void arguments();
    void windowAtStart_data();
    void windowAtStart();
    void missingLoginCountsAsNormalStart_data();
    void missingLoginCountsAsNormalStart();
    void loginTimeIsTheRecord();

    void wtmpGivesNewestSessionOfTheUser();
    void wtmpIgnoresOtherRecordKinds();
    void lastlogWhenWtmpHasNothing();
    void neitherFileGivesNothing();
    void garbageFilesGiveNoCrash();
    void userFromEnvironmentElsePasswordDatabase();
};

namespace {

QString currentUser()
{
    const passwd* entry = getpwuid(getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

void appendSession(const QString& wtmp, short type, const char* user, qint64 when)
{
    utmpx record;
    memset(&record, 0, sizeof(record));
    record.ut_type = type;
    record.ut_pid = 4242;
    strncpy(record.ut_user, user, sizeof(record.ut_user));
    strncpy(record.ut_line, "pts/7", sizeof(record.ut_line));
    record.ut_tv.tv_sec = decltype(record.ut_tv.tv_sec)(when);
    // updwtmpx appends to an existing file only.
    QFile file(wtmp);
    QVERIFY(file.open(QIODevice::Append));
    file.close();
    updwtmpx(QFile::encodeName(wtmp).constData(), &record);
}

void writeLastlog(const QString& path, uid_t uid, qint64 when)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    struct lastlog entry;
    memset(&entry, 0, sizeof(entry));
    entry.ll_time = decltype(entry.ll_time)(when);
    QVERIFY(file.seek(qint64(uid) * qint64(sizeof(entry))));
    QCOMPARE(file.write(reinterpret_cast<const char*>(&entry), sizeof(entry)), qint64(sizeof(entry)));
}

} // namespace

void tst_DStartup::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("autorun");
    QTest::addColumn<bool>("debugScripts");

    QTest::newRow("program only") << QStringList{"/usr/bin/Zorvelshot"} << false << false;
    QTest::newRow("autorun") << QStringList{"Zorvelshot", "/autorun"} << true << false;
    QTest::newRow("autorun upper case") << QStringList{"Zorvelshot", "/AUTORUN"} << true << false;
    QTest::newRow("autorun mixed case") << QStringList{"Zorvelshot", "/AutoRun"} << true << false;
    QTest::newRow("DebugScript") << QStringList{"Zorvelshot", "DebugScript"} << false << true;
    QTest::newRow("debugscript lower case") << QStringList{"Zorvelshot", "debugscript"} << false << true;
    QTest::newRow("both") << QStringList{"Zorvelshot", "DEBUGSCRIPT", "/autorun"} << true << true;
    QTest::newRow("prefix before autorun") << QStringList{"Zorvelshot", "x/autorun"} << false << false;
    QTest::newRow("suffix after autorun") << QStringList{"Zorvelshot", "/autorun2"} << false << false;
    QTest::newRow("autorun without slash") << QStringList{"Zorvelshot", "autorun"} << false << false;
    QTest::newRow("dashes") << QStringList{"Zorvelshot", "--autorun", "-DebugScript"} << false << false;
    QTest::newRow("padded") << QStringList{"Zorvelshot", " /autorun", "DebugScript "} << false << false;
    QTest::newRow("word inside another") << QStringList{"Zorvelshot", "DebugScripts"} << false << false;
    QTest::newRow("program path itself counts") << QStringList{"/autorun"} << true << false;
    QTest::newRow("empty entries") << QStringList{"", ""} << false << false;
    QTest::newRow("nothing at all") << QStringList{} << false << false;
}

void tst_DStartup::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, autorun);
    QFETCH(bool, debugScripts);
    const DStartup::Arguments parsed = DStartup::parseArguments(arguments);
    QCOMPARE(parsed.autorun, autorun);
    QCOMPARE(parsed.debugScripts, debugScripts);
}

void tst_DStartup::windowAtStart_data()
{
    QTest::addColumn<qint64>("secondsSinceLogin");
    QTest::addColumn<bool>("autorun");
    QTest::addColumn<bool>("shown");

    QTest::newRow("at login") << qint64(0) << false << false;
    QTest::newRow("74 s after login") << qint64(74) << false << false;
    QTest::newRow("75 s after login") << qint64(75) << false << true;
    QTest::newRow("an hour after login") << qint64(3600) << false << true;
    QTest::newRow("a login in the future") << qint64(-30) << false << false;
    QTest::newRow("autorun at login") << qint64(10) << true << false;
    QTest::newRow("autorun 75 s after login") << qint64(75) << true << false;
    QTest::newRow("autorun a year after login") << qint64(365LL * 86400) << true << false;
}

void tst_DStartup::windowAtStart()
{
    QFETCH(qint64, secondsSinceLogin);
    QFETCH(bool, autorun);
    QFETCH(bool, shown);
    const QDateTime now = QDateTime::currentDateTime();
    QCOMPARE(DStartup::showWindowAtStart(now.addSecs(-secondsSinceLogin), now, autorun), shown);
}

void tst_DStartup::missingLoginCountsAsNormalStart_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("autorun");
    QTest::addColumn<bool>("shown");
    QTest::newRow("no record") << "tester" << false << true;
    QTest::newRow("no record, autorun") << "tester" << true << false;
    QTest::newRow("no user") << "" << false << true;
    QTest::newRow("no user, autorun") << "" << true << false;
}

void tst_DStartup::missingLoginCountsAsNormalStart()
{
    QFETCH(QString, user);
    QFETCH(bool, autorun);
    QFETCH(bool, shown);
    DFakeLastLogin records;
    records.user = user;
    const QDateTime login = lastLoginTime();
    QVERIFY(login.isValid());
    QCOMPARE(DStartup::showWindowAtStart(login, QDateTime::currentDateTime(), autorun), shown);
}

void tst_DStartup::loginTimeIsTheRecord()
{
    DFakeLastLogin records;
    records.login = 1765000000;
    QCOMPARE(lastLoginTime().toSecsSinceEpoch(), qint64(1765000000));
    QCOMPARE(records.lookups, 1);
    const QDateTime recent = QDateTime::currentDateTime().addSecs(-20);
    records.login = recent.toSecsSinceEpoch();
    QVERIFY(!DStartup::showWindowAtStart(lastLoginTime(), QDateTime::currentDateTime(), false));
}

void tst_DStartup::wtmpGivesNewestSessionOfTheUser()
{
    QTemporaryDir dir;
    const QString wtmp = dir.filePath("wtmp");
    appendSession(wtmp, USER_PROCESS, "alice", 1700000000);
    appendSession(wtmp, USER_PROCESS, "alice", 1700005000);
    appendSession(wtmp, USER_PROCESS, "bob", 1700009000);
    appendSession(wtmp, USER_PROCESS, "alice", 1700002000);
    appendSession(wtmp, USER_PROCESS, "alicea", 1700099000);
    DLastLoginLinux records(wtmp, dir.filePath("no-lastlog"));
    QCOMPARE(records.lastLoginSecs("alice"), std::optional<qint64>(1700005000));
    QCOMPARE(records.lastLoginSecs("bob"), std::optional<qint64>(1700009000));
    QCOMPARE(records.lastLoginSecs("carol"), std::optional<qint64>());
    QCOMPARE(records.lastLoginSecs(""), std::optional<qint64>());
}

void tst_DStartup::wtmpIgnoresOtherRecordKinds()
{
    QTemporaryDir dir;
    const QString wtmp = dir.filePath("wtmp");
    appendSession(wtmp, USER_PROCESS, "alice", 1700000000);
    appendSession(wtmp, DEAD_PROCESS, "alice", 1700005000);
    appendSession(wtmp, BOOT_TIME, "alice", 1700006000);
    appendSession(wtmp, LOGIN_PROCESS, "alice", 1700007000);
    DLastLoginLinux records(wtmp, dir.filePath("no-lastlog"));
    QCOMPARE(records.lastLoginSecs("alice"), std::optional<qint64>(1700000000));
}

void tst_DStartup::lastlogWhenWtmpHasNothing()
{
    const QString user = currentUser();
    QVERIFY(!user.isEmpty());
    QTemporaryDir dir;
    const QString wtmp = dir.filePath("wtmp");
    appendSession(wtmp, USER_PROCESS, "somebody-else", 1700000000);
    writeLastlog(dir.filePath("lastlog"), getuid(), 1700123456);
    DLastLoginLinux records(wtmp, dir.filePath("lastlog"));
    QCOMPARE(records.lastLoginSecs(user), std::optional<qint64>(1700123456));
    DLastLoginLinux noWtmp(dir.filePath("missing"), dir.filePath("lastlog"));
    QCOMPARE(noWtmp.lastLoginSecs(user), std::optional<qint64>(1700123456));
    // wtmp, when it has a session, comes first.
    appendSession(wtmp, USER_PROCESS, user.toLocal8Bit().constData(), 1700000100);
    QCOMPARE(records.lastLoginSecs(user), std::optional<qint64>(1700000100));
}

void tst_DStartup::neitherFileGivesNothing()
{
    QTemporaryDir dir;
    DLastLoginLinux records(dir.filePath("missing-wtmp"), dir.filePath("missing-lastlog"));
    QCOMPARE(records.lastLoginSecs(currentUser()), std::optional<qint64>());
    // A lastlog entry never written is all zero: no login.
    writeLastlog(dir.filePath("lastlog"), getuid() + 1, 1700000000);
    DLastLoginLinux zeroEntry(dir.filePath("missing-wtmp"), dir.filePath("lastlog"));
    QCOMPARE(zeroEntry.lastLoginSecs(currentUser()), std::optional<qint64>());
    QCOMPARE(lastLoginTime(DLastLoginLinux(dir.filePath("missing-wtmp"), dir.filePath("missing-lastlog")))
                 .toSecsSinceEpoch(),
             qint64(0));
}

void tst_DStartup::garbageFilesGiveNoCrash()
{
    QTemporaryDir dir;
    QByteArray noise;
    quint32 state = 12345;
    for (int i = 0; i < 3 * int(sizeof(utmpx)) + 17; ++i) {
        state = state * 1103515245u + 12345u;
        noise += char(state >> 16);
    }
    for (const char* name : {"wtmp", "lastlog"}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(noise);
    }
    DLastLoginLinux records(dir.filePath("wtmp"), dir.filePath("lastlog"));
    const auto result = records.lastLoginSecs(currentUser());
    if (result)
        QVERIFY(*result > 0);
    QVERIFY(lastLoginTime(records).isValid());
}

void tst_DStartup::userFromEnvironmentElsePasswordDatabase()
{
    const QByteArray saved = qgetenv("USER");
    DLastLoginLinux records;
    qputenv("USER", "someone");
    QCOMPARE(records.userName(), QStringLiteral("someone"));
    qunsetenv("USER");
    QCOMPARE(records.userName(), currentUser());
    if (saved.isNull())
        qunsetenv("USER");
    else
        qputenv("USER", saved);
}

QTEST_GUILESS_MAIN(tst_DStartup)
#include "tst_DStartup.moc"
