// The single-instance layer: election through the lock, messages over the
// local socket, recovery from what a crashed instance leaves behind.
#include "DLocalInstancePeer.h"
#include "DWithoutRuntimeFolder.h"
#include "QtSingleApplication.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs peer.sendMessage on a thread of its own, so that the primary, living on
// this thread, can answer through the event loop meanwhile.
class Sender
{
public:
    Sender(const DLocalInstancePeer& peer, const QString& message, int timeoutMs)
    {
        m_thread.reset(QThread::create([&peer, message, timeoutMs, this] {
            m_result = peer.sendMessage(message, timeoutMs);
        }));
        m_thread->start();
    }
    ~Sender() { m_thread->wait(); }
    bool finished() const { return m_thread->isFinished(); }
    bool result() const { return m_result; }

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_result{false};
};

// Whether the sender's message reaches the primary, and the sender hears
// that it did.
bool delivered(DLocalInstancePeer& primary, const DLocalInstancePeer& sender, const QString& message)
{
    QSignalSpy received(&primary, &DLocalInstancePeer::messageReceived);
    Sender sending(sender, message, 5000);
    QElapsedTimer clock;
    clock.start();
    while ((received.isEmpty() || !sending.finished()) && clock.elapsed() < 10000)
        QTest::qWait(20);
    return received.count() == 1 && received.at(0).at(0).toString() == message && sending.finished()
           && sending.result();
}

// A pid that belonged to a process which has ended.
qint64 deadPid()
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

// Leaves a socket file at path with nobody listening, as a killed server does.
void leaveDeadSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(size_t(native.size()) < sizeof(address.sun_path));
    memcpy(address.sun_path, native.constData(), native.size());
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(path));
}

// Writes a lock file in the layout QLockFile reads: pid, application, host;
// written ageSeconds ago.
void writeLock(const QString& path, qint64 pid, const QString& application,
               const QString& host = QHostInfo::localHostName(), int ageSeconds = 0)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray::number(pid) + '\n' + application.toUtf8() + '\n' + host.toUtf8() + '\n');
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
}

// The warnings given while it lives.
class WarningCollector
{
public:
    WarningCollector()
    {
        s_warnings.clear();
        s_previous = qInstallMessageHandler(collect);
    }
    ~WarningCollector() { qInstallMessageHandler(s_previous); }
    QStringList warnings() const { return s_warnings; }

private:
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg)
            s_warnings << message;
        else
            s_previous(type, context, message);
    }
    static QStringList s_warnings;
    static QtMessageHandler s_previous;
};
QStringList WarningCollector::s_warnings;
QtMessageHandler WarningCollector::s_previous = nullptr;

} // namespace

class tst_singleapplication : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void firstPeerIsPrimarySecondSeesItRunning();
    void messageReachesPrimary_data();
    void messageReachesPrimary();
    void idsAreIndependent();
    void endedPrimaryFreesTheId();
    void staleLockAndSocketAreReplaced();
    void leftoverSocketWithoutLockIsReplaced();
    void liveHolderWithoutServerTimesOut();
    void primaryGoneAfterElectionTimesOut();
    void oversizedFrameIsDroppedAndServerGoesOn();
    void silentOrHalfFrameSendsNothing();
    void socketIsReachableByItsUserOnly();
    void serverPathIsSafeForOddIds();
    void obstaclesAtThePathsDoNotHideThePrimary_data();
    void obstaclesAtThePathsDoNotHideThePrimary();
    void primaryOnAFallbackNameStaysOnceTheFirstIsFree();
    void lockFileNamingNoHolderIsReplaced_data();
    void lockFileNamingNoHolderIsReplaced();
    void leftoverLockIsTakenOverWhenNobodyAnswers_data();
    void leftoverLockIsTakenOverWhenNobodyAnswers();
    void unreachablePrimaryLetsLaterStartsRun();
    void fallbackFolderIsPrivate_data();
    void fallbackFolderIsPrivate();
    void refusedFolderLeavesAPrimaryThatSaysSo();

    void applicationIsPrimaryAndRefusesToSendToItself();
    void activationWindowLeavesMinimisedOnMessage();
    void activationWithoutMessageFollowingIsOptional();
    void activationWindowMayBeDeleted();
};

void tst_singleapplication::cleanup()
{
    // No test may leave a primary behind for the next one, nor an obstacle.
    for (const QString& id : {QStringLiteral("t-one"), QStringLiteral("t-two"), QStringLiteral("t-stale")}) {
        for (int index = 0; index < DLocalInstancePeer::NameCount; ++index) {
            for (const QString& path : {DLocalInstancePeer::lockPath(id, index), DLocalInstancePeer::serverPath(id, index)}) {
                if (QFileInfo(path).isDir())
                    QDir(path).removeRecursively();
                else
                    QFile::remove(path);
            }
        }
    }
}

void tst_singleapplication::firstPeerIsPrimarySecondSeesItRunning()
{
    DLocalInstancePeer first("t-one");
    QVERIFY(!first.isRunning());
    DLocalInstancePeer second("t-one");
    QVERIFY(second.isRunning());
    QVERIFY(QFileInfo::exists(DLocalInstancePeer::serverPath("t-one")));
}

void tst_singleapplication::messageReachesPrimary_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("empty, as a second start sends") << QString();
    QTest::newRow("text") << QStringLiteral("show");
    QTest::newRow("not ASCII") << QStringLiteral("Grüße \u4e16\u754c");
    QTest::newRow("long") << QString(20000, QChar('x'));
}

void tst_singleapplication::messageReachesPrimary()
{
    QFETCH(QString, message);
    DLocalInstancePeer first("t-one");
    DLocalInstancePeer second("t-one");
    QSignalSpy received(&first, &DLocalInstancePeer::messageReceived);
    Sender sender(second, message, 5000);
    QTRY_COMPARE(received.count(), 1);
    QTRY_VERIFY(sender.finished());
    QVERIFY(sender.result());
    QCOMPARE(received.at(0).at(0).toString(), message);
}

void tst_singleapplication::idsAreIndependent()
{
    DLocalInstancePeer one("t-one");
    DLocalInstancePeer two("t-two");
    QVERIFY(!one.isRunning());
    QVERIFY(!two.isRunning());
    QVERIFY(DLocalInstancePeer::serverPath("t-one") != DLocalInstancePeer::serverPath("t-two"));
}

void tst_singleapplication::endedPrimaryFreesTheId()
{
    {
        DLocalInstancePeer first("t-one");
        QVERIFY(!first.isRunning());
    }
    QVERIFY(!QFileInfo::exists(DLocalInstancePeer::lockPath("t-one")));
    DLocalInstancePeer next("t-one");
    QVERIFY(!next.isRunning());
}

void tst_singleapplication::staleLockAndSocketAreReplaced()
{
    // What a killed instance leaves: its lock naming a process that is gone,
    // and its socket file with nobody behind it.
    writeLock(DLocalInstancePeer::lockPath("t-stale"), deadPid(), QCoreApplication::applicationName());
    leaveDeadSocket(DLocalInstancePeer::serverPath("t-stale"));

    DLocalInstancePeer fresh("t-stale");
    QVERIFY(!fresh.isRunning());

    DLocalInstancePeer later("t-stale");
    QVERIFY(later.isRunning());
    QVERIFY(delivered(fresh, later, "hello"));
}

void tst_singleapplication::leftoverSocketWithoutLockIsReplaced()
{
    leaveDeadSocket(DLocalInstancePeer::serverPath("t-stale"));
    DLocalInstancePeer fresh("t-stale");
    QVERIFY(!fresh.isRunning());
    QLocalSocket probe;
    probe.connectToServer(DLocalInstancePeer::serverPath("t-stale"));
    QVERIFY(probe.waitForConnected(2000));
}

void tst_singleapplication::liveHolderWithoutServerTimesOut()
{
    // A live process holds the lock but does not answer (it is starting up or
    // shutting down): the sender gives up after its time-out and reports it.
    writeLock(DLocalInstancePeer::lockPath("t-one"), QCoreApplication::applicationPid(),
              QCoreApplication::applicationName());
    DLocalInstancePeer second("t-one");
    QVERIFY(second.isRunning());
    QVERIFY(!second.sendMessage("x", 300));
}

void tst_singleapplication::primaryGoneAfterElectionTimesOut()
{
    auto first = std::make_unique<DLocalInstancePeer>("t-one");
    DLocalInstancePeer second("t-one");
    QVERIFY(second.isRunning());
    first.reset();
    QVERIFY(!second.sendMessage("x", 300));
}

void tst_singleapplication::oversizedFrameIsDroppedAndServerGoesOn()
{
    DLocalInstancePeer first("t-one");
    QSignalSpy received(&first, &DLocalInstancePeer::messageReceived);

    QLocalSocket rogue;
    rogue.connectToServer(DLocalInstancePeer::serverPath("t-one"));
    QVERIFY(rogue.waitForConnected(2000));
    rogue.write(QByteArray("\xff\xff\xff\xff garbage", 12));
    rogue.flush();
    QTRY_COMPARE(rogue.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(received.count(), 0);

    DLocalInstancePeer second("t-one");
    Sender sender(second, "after", 5000);
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("after"));
}

void tst_singleapplication::silentOrHalfFrameSendsNothing()
{
    DLocalInstancePeer first("t-one");
    QSignalSpy received(&first, &DLocalInstancePeer::messageReceived);
    {
        QLocalSocket half;
        half.connectToServer(DLocalInstancePeer::serverPath("t-one"));
        QVERIFY(half.waitForConnected(2000));
        // Announces ten bytes, sends three, and goes away.
        half.write(QByteArray("\x00\x00\x00\x0a" "abc", 7));
        half.flush();
        QTest::qWait(100);
    }
    QTest::qWait(100);
    QCOMPARE(received.count(), 0);

    // The broken frame is dropped whole: the next sender's message arrives
    // alone and unmixed with the three stray bytes.
    DLocalInstancePeer second("t-one");
    Sender sender(second, "whole", 5000);
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("whole"));
    QTRY_VERIFY(sender.finished());
    QVERIFY(sender.result());
}

void tst_singleapplication::socketIsReachableByItsUserOnly()
{
    DLocalInstancePeer first("t-one");
    const QFileInfo socket(DLocalInstancePeer::serverPath("t-one"));
    QVERIFY(socket.exists());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
                                      | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(socket.permissions() & others, QFile::Permissions());
    QCOMPARE(socket.ownerId(), uint(getuid()));
}

void tst_singleapplication::serverPathIsSafeForOddIds()
{
    const QString path = DLocalInstancePeer::serverPath("../odd id/\u00e9");
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(DLocalInstancePeer::runtimeFolder()).absoluteFilePath());
    QVERIFY(!QFileInfo(path).fileName().contains('/'));
    QVERIFY(path.contains(QString::number(getuid())));
}

namespace {

enum Obstacle { EmptyFolder, FolderWithContent, Pipe };

// Puts the obstacle at the path.
void block(const QString& path, Obstacle obstacle)
{
    switch (obstacle) {
    case EmptyFolder:
        QVERIFY(QDir().mkpath(path));
        break;
    case FolderWithContent: {
        QVERIFY(QDir().mkpath(path));
        QFile kept(path + "/kept.txt");
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.write("the user's");
        break;
    }
    case Pipe:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }
}

} // namespace

// Whatever stands where the lock or the socket should be, the first peer is
// the primary, reachable by the next one, and nothing of the user's is lost.
void tst_singleapplication::obstaclesAtThePathsDoNotHideThePrimary_data()
{
    QTest::addColumn<bool>("atLock");
    QTest::addColumn<int>("obstacle");
    QTest::addColumn<int>("blockedNames");
    QTest::addColumn<int>("listenIndex");
    QTest::addColumn<bool>("warned");
    QTest::newRow("empty folder at the socket") << false << int(EmptyFolder) << 1 << 0 << false;
    QTest::newRow("folder with content at the socket") << false << int(FolderWithContent) << 1 << 1 << false;
    QTest::newRow("folders at three socket names") << false << int(FolderWithContent) << 3 << 3 << false;
    QTest::newRow("pipe at the socket") << false << int(Pipe) << 1 << 0 << false;
    QTest::newRow("empty folder at the lock") << true << int(EmptyFolder) << 1 << 0 << false;
    QTest::newRow("folder with content at the lock") << true << int(FolderWithContent) << 1 << 0 << false;
    QTest::newRow("pipe at the lock") << true << int(Pipe) << 1 << 0 << false;
    // No lock at all: the running instance is still found by its socket, and
    // its socket is left alone.
    QTest::newRow("folders at all four lock names") << true << int(FolderWithContent) << 4 << 0 << true;
}

void tst_singleapplication::obstaclesAtThePathsDoNotHideThePrimary()
{
    QFETCH(bool, atLock);
    QFETCH(int, obstacle);
    QFETCH(int, blockedNames);
    QFETCH(int, listenIndex);
    QFETCH(bool, warned);
    for (int index = 0; index < blockedNames; ++index) {
        const QString path = atLock ? DLocalInstancePeer::lockPath("t-one", index)
                                    : DLocalInstancePeer::serverPath("t-one", index);
        block(path, Obstacle(obstacle));
    }

    WarningCollector collector;
    DLocalInstancePeer first("t-one");
    // The user hears once when the instance cannot be what it should.
    QCOMPARE(collector.warnings().count(), warned ? 1 : 0);
    QVERIFY(!first.isRunning());
    QCOMPARE(first.listeningPath(), DLocalInstancePeer::serverPath("t-one", listenIndex));
    DLocalInstancePeer second("t-one");
    QVERIFY(second.isRunning());
    QVERIFY(delivered(first, second, "forward"));
    QCOMPARE(first.listeningPath(), DLocalInstancePeer::serverPath("t-one", listenIndex));

    if (obstacle == FolderWithContent) {
        for (int index = 0; index < blockedNames; ++index) {
            const QString path = atLock ? DLocalInstancePeer::lockPath("t-one", index)
                                        : DLocalInstancePeer::serverPath("t-one", index);
            QVERIFY(QFileInfo::exists(path + "/kept.txt"));
        }
    }
}

void tst_singleapplication::primaryOnAFallbackNameStaysOnceTheFirstIsFree()
{
    const QString lock = DLocalInstancePeer::lockPath("t-one");
    const QString socket = DLocalInstancePeer::serverPath("t-one");
    block(lock, FolderWithContent);
    block(socket, FolderWithContent);
    DLocalInstancePeer first("t-one");
    QVERIFY(!first.isRunning());
    // The user clears the folders: the next start still finds the first.
    QVERIFY(QDir(lock).removeRecursively());
    QVERIFY(QDir(socket).removeRecursively());
    DLocalInstancePeer second("t-one");
    QVERIFY(second.isRunning());
    QVERIFY(!QFileInfo::exists(lock));
    QVERIFY(delivered(first, second, "still here"));
}

// An empty lock file, or one of junk: it keeps every start out while it may
// still be being written, and counts for nothing once it is old.
void tst_singleapplication::lockFileNamingNoHolderIsReplaced_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("primary");
    QTest::newRow("empty, old") << QByteArray() << 60 << true;
    QTest::newRow("junk, old") << QByteArray("junk\nmore junk\n") << 60 << true;
    QTest::newRow("empty, just made") << QByteArray() << 0 << false;
}

void tst_singleapplication::lockFileNamingNoHolderIsReplaced()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, ageSeconds);
    QFETCH(bool, primary);
    const QString path = DLocalInstancePeer::lockPath("t-stale");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    file.close();

    DLocalInstancePeer peer("t-stale");
    QCOMPARE(!peer.isRunning(), primary);
    if (primary) {
        DLocalInstancePeer later("t-stale");
        QVERIFY(later.isRunning());
    }
}

// A lock that nobody answers for is a leftover, whatever it names, once it is
// older than a lock being made; a lock whose holder still holds it is not.
void tst_singleapplication::leftoverLockIsTakenOverWhenNobodyAnswers_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("ownPid");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("heldByALiveLock");
    QTest::addColumn<bool>("primary");
    // The host was renamed after a crash, or the lock came from elsewhere.
    QTest::newRow("another host") << "elsewhere" << false << 60 << false << true;
    QTest::newRow("another host, just made") << "elsewhere" << false << 0 << false << false;
    // Its process number now belongs to a live process.
    QTest::newRow("a live process of this host") << QHostInfo::localHostName() << true << 60 << false << true;
    // Its holder lives and holds the lock, but does not answer (yet, or any more).
    QTest::newRow("held, nobody answering") << QHostInfo::localHostName() << true << 60 << true << false;
}

void tst_singleapplication::leftoverLockIsTakenOverWhenNobodyAnswers()
{
    QFETCH(QString, host);
    QFETCH(bool, ownPid);
    QFETCH(int, ageSeconds);
    QFETCH(bool, heldByALiveLock);
    QFETCH(bool, primary);
    const QString path = DLocalInstancePeer::lockPath("t-stale");
    QLockFile held(path);
    if (heldByALiveLock)
        QVERIFY(held.tryLock(0));
    writeLock(path, ownPid ? QCoreApplication::applicationPid() : 4242, QCoreApplication::applicationName(), host,
              ageSeconds);
    leaveDeadSocket(DLocalInstancePeer::serverPath("t-stale"));

    DLocalInstancePeer peer("t-stale");
    QCOMPARE(!peer.isRunning(), primary);
    if (primary) {
        DLocalInstancePeer later("t-stale");
        QVERIFY(later.isRunning());
        QVERIFY(delivered(peer, later, "taken over"));
    } else {
        QVERIFY(!peer.sendMessage("x", 300));
    }
}

// With every socket name blocked nobody can reach the first instance: it says
// so once, and keeps no lock that would turn later starts away unheard.
void tst_singleapplication::unreachablePrimaryLetsLaterStartsRun()
{
    for (int index = 0; index < DLocalInstancePeer::NameCount; ++index)
        block(DLocalInstancePeer::serverPath("t-one", index), FolderWithContent);
    WarningCollector collector;
    DLocalInstancePeer first("t-one");
    QVERIFY(!first.isRunning());
    QCOMPARE(first.listeningPath(), QString());
    QCOMPARE(collector.warnings().count(), 1);
    DLocalInstancePeer second("t-one");
    QVERIFY(!second.isRunning());
    QCOMPARE(collector.warnings().count(), 2);
    for (int index = 0; index < DLocalInstancePeer::NameCount; ++index)
        QVERIFY(QFileInfo::exists(DLocalInstancePeer::serverPath("t-one", index) + "/kept.txt"));
}

namespace {

enum FolderState { None, Private, OpenToAll, ReadableByAll, OfAnotherUser, Link, File };

} // namespace

// Without XDG_RUNTIME_DIR the lock and the socket live in a folder of the
// user's own in the shared temporary folder: made private, or taken when it
// is; refused when anybody else could have put something there.
void tst_singleapplication::fallbackFolderIsPrivate_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("used");
    QTest::newRow("not there yet") << int(None) << true;
    QTest::newRow("the user's, private") << int(Private) << true;
    QTest::newRow("the user's, readable by all") << int(ReadableByAll) << true;
    QTest::newRow("the user's, open to all") << int(OpenToAll) << false;
    QTest::newRow("another user's") << int(OfAnotherUser) << false;
    QTest::newRow("a link to a private folder") << int(Link) << false;
    QTest::newRow("a file") << int(File) << false;
}

void tst_singleapplication::fallbackFolderIsPrivate()
{
    QFETCH(int, state);
    QFETCH(bool, used);
    DWithoutRuntimeFolder environment;
    QVERIFY(environment.isValid());
    const QString folder = environment.privatePath();
    const QByteArray native = QFile::encodeName(folder);
    switch (FolderState(state)) {
    case None:
        break;
    case Private:
    case ReadableByAll:
    case OpenToAll:
    case OfAnotherUser:
        QCOMPARE(::mkdir(native.constData(), 0700), 0);
        QCOMPARE(::chmod(native.constData(), state == ReadableByAll ? 0755 : state == OpenToAll ? 0777 : 0700), 0);
        if (state == OfAnotherUser) {
            if (geteuid() != 0)
                QSKIP("only root can make a folder of another user");
            QCOMPARE(::chown(native.constData(), 65534, 65534), 0);
        }
        break;
    case Link:
        QVERIFY(QDir().mkpath(environment.temporaryPath() + "/mine"));
        QCOMPARE(::chmod(QFile::encodeName(environment.temporaryPath() + "/mine").constData(), 0700), 0);
        QVERIFY(QFile::link(environment.temporaryPath() + "/mine", folder));
        break;
    case File: {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        break;
    }
    }

    const QString found = DLocalInstancePeer::runtimeFolder();
    if (!used) {
        QCOMPARE(found, QString());
        QCOMPARE(DLocalInstancePeer::lockPath("t-one"), QString());
        QCOMPARE(DLocalInstancePeer::serverPath("t-one"), QString());
        return;
    }
    QCOMPARE(found, folder);
    struct stat info;
    QCOMPARE(::lstat(native.constData(), &info), 0);
    QVERIFY(S_ISDIR(info.st_mode));
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QCOMPARE(info.st_uid, geteuid());
    QCOMPARE(QFileInfo(DLocalInstancePeer::lockPath("t-one")).absolutePath(), folder);
}

// No private folder: the peer runs as the instance, unreachable, says so
// once, and leaves nothing in the shared temporary folder.
void tst_singleapplication::refusedFolderLeavesAPrimaryThatSaysSo()
{
    DWithoutRuntimeFolder environment;
    QVERIFY(environment.isValid());
    QVERIFY(QDir().mkpath(environment.privatePath()));
    QCOMPARE(::chmod(QFile::encodeName(environment.privatePath()).constData(), 0777), 0);
    WarningCollector collector;
    DLocalInstancePeer first("t-one");
    QVERIFY(!first.isRunning());
    QCOMPARE(first.listeningPath(), QString());
    QCOMPARE(collector.warnings().count(), 1);
    QVERIFY(!first.sendMessage("x", 100));
    DLocalInstancePeer second("t-one");
    QVERIFY(!second.isRunning());
    QCOMPARE(QDir(environment.temporaryPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList({QFileInfo(environment.privatePath()).fileName()}));
    QVERIFY(QDir(environment.privatePath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
}

void tst_singleapplication::applicationIsPrimaryAndRefusesToSendToItself()
{
    auto* app = qobject_cast<QtSingleApplication*>(qApp);
    QVERIFY(app);
    QCOMPARE(app->id(), QStringLiteral("tst-singleapplication"));
    QVERIFY(!app->isRunning());
    QVERIFY(!app->sendMessage("to myself", 100));
    DLocalInstancePeer later(app->id());
    QVERIFY(later.isRunning());
}

void tst_singleapplication::activationWindowLeavesMinimisedOnMessage()
{
    auto* app = qobject_cast<QtSingleApplication*>(qApp);
    QWidget window;
    window.showMinimized();
    app->setActivationWindow(&window, true);
    QCOMPARE(app->activationWindow(), &window);
    DLocalInstancePeer later(app->id());
    Sender sender(later, QString(), 5000);
    QTRY_VERIFY(!(window.windowState() & Qt::WindowMinimized));
    QTRY_VERIFY(sender.finished());
    QVERIFY(sender.result());
    app->setActivationWindow(nullptr);
}

void tst_singleapplication::activationWithoutMessageFollowingIsOptional()
{
    auto* app = qobject_cast<QtSingleApplication*>(qApp);
    QWidget window;
    window.showMinimized();
    app->setActivationWindow(&window, false);
    QSignalSpy received(app, &QtSingleApplication::messageReceived);
    DLocalInstancePeer later(app->id());
    Sender sender(later, QString(), 5000);
    QTRY_COMPARE(received.count(), 1);
    QVERIFY(window.windowState() & Qt::WindowMinimized);
    app->activateWindow();
    QVERIFY(!(window.windowState() & Qt::WindowMinimized));
    app->setActivationWindow(nullptr);
}

void tst_singleapplication::activationWindowMayBeDeleted()
{
    auto* app = qobject_cast<QtSingleApplication*>(qApp);
    auto* window = new QWidget;
    app->setActivationWindow(window, true);
    delete window;
    QCOMPARE(app->activationWindow(), static_cast<QWidget*>(nullptr));
    app->activateWindow();
    DLocalInstancePeer later(app->id());
    Sender sender(later, QString(), 5000);
    QTRY_VERIFY(sender.finished());
    QVERIFY(sender.result());
}

int main(int argc, char** argv)
{
    QtSingleApplication app("tst-singleapplication", argc, argv);
    tst_singleapplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleapplication.moc"
