#include "DLocalInstancePeer.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The byte the primary answers with once it has taken a message.
const char AckByte = '\x06';
// A sender that connects and then stays silent is dropped after this long.
const int IdleConnectionMs = 5000;
// Pause between two connection attempts while the primary is still starting.
const int RetryPauseMs = 50;
// A lock is made a moment before its holder listens: one younger than this
// may belong to an instance that is still starting.
const int LockBeingMadeMs = 5000;
// A socket with a live server behind it accepts at once.
const int AnswerWaitMs = 500;

// Keeps only characters that are safe in a file name.
QString fileNameSafe(const QString& id)
{
    QString safe;
    for (QChar c : id)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == '-' || c == '_' ? c : QChar('_');
    return safe.isEmpty() ? QStringLiteral("instance") : safe;
}

// Empty when there is no private folder: no name is safe to use then.
QString baseName(const QString& id, int index)
{
    const QString folder = DLocalInstancePeer::runtimeFolder();
    if (folder.isEmpty())
        return QString();
    QString name = folder + '/' + fileNameSafe(id) + '-' + QString::number(getuid());
    if (index > 0)
        name += '-' + QString::number(index);
    return name;
}

// The user's own folder in the shared temporary folder, made private when it
// is not there: the name Qt itself gives it when the session has no runtime
// folder.
// Empty when what stands there is not a folder of the user that nobody else
// could have written into.
QString privateTemporaryFolder()
{
    const passwd* user = getpwuid(geteuid());
    const QString name = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(geteuid());
    const QString folder = QDir::tempPath() + QStringLiteral("/runtime-") + name;
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    // The entry itself, not what a link leads to. In a folder with the sticky
    // bit, as the shared temporary folder is, nobody else can replace it later.
    struct stat info;
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return QString();
    if ((info.st_mode & 0777) == 0700)
        return folder;
    // Others may read it (or a mask made it so): nothing in it is theirs, so it
    // is closed. Others may have written into it: it is not the user's alone.
    if ((info.st_mode & 0022) != 0 || ::chmod(native.constData(), 0700) != 0)
        return QString();
    return folder;
}

// An empty folder at one of our paths is cleared: nothing is lost with it.
// True when nothing stands at the path any more.
bool removeEmptyFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && QDir().rmdir(path);
}

// Whether a lock may be taken at the path: nothing there, or a regular file
// (a lock, perhaps a stale one). Whatever else stands there cannot be a lock:
// a pipe would even block whoever reads it.
bool isLockPathUsable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (removeEmptyFolder(path))
        return true;
    return info.isFile() && !info.isSymLink();
}

// A lock made (or touched) within the last moments, by the clock either way.
bool isBeingMade(const QString& path)
{
    const QDateTime written = QFileInfo(path).lastModified();
    return written.isValid() && qAbs(written.msecsTo(QDateTime::currentDateTime())) <= LockBeingMadeMs;
}

// Whether a server accepts on the socket at the path.
bool answersAt(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool answered = probe.waitForConnected(AnswerWaitMs);
    probe.abort();
    return answered;
}

// Whether a socket may listen at the path: nothing there, or what an earlier
// instance left (its socket file with nobody behind it, or anything else that
// is no folder), which is replaced. A socket somebody answers on is another
// instance's, and stays.
bool isSocketPathUsable(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return removeEmptyFolder(path);
    return !answersAt(path);
}

} // namespace

DLocalInstancePeer::DLocalInstancePeer(const QString& id, QObject* parent)
    : QObject(parent)
    , m_id(id)
{
    m_primary = becomePrimary();
}

DLocalInstancePeer::~DLocalInstancePeer()
{
    // Stop listening before giving the lock up, so that a start which wins the
    // lock next never finds this server's socket still answering.
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    m_lock.reset();
}

QString DLocalInstancePeer::runtimeFolder()
{
    // The folder belongs to the user alone (mode 0700), so neither the socket
    // nor the lock can be reached, planted or replaced by anybody else. Qt
    // checks the session's own runtime folder so.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!folder.isEmpty())
            return folder;
    }
    return privateTemporaryFolder();
}

QString DLocalInstancePeer::serverPath(const QString& id, int index)
{
    const QString base = baseName(id, index);
    return base.isEmpty() ? base : base + QStringLiteral(".socket");
}

QString DLocalInstancePeer::lockPath(const QString& id, int index)
{
    const QString base = baseName(id, index);
    return base.isEmpty() ? base : base + QStringLiteral(".lock");
}

bool DLocalInstancePeer::instanceAnswers() const
{
    for (int index = 0; index < NameCount; ++index) {
        const QString path = serverPath(m_id, index);
        if (!path.isEmpty() && answersAt(path))
            return true;
    }
    return false;
}

QString DLocalInstancePeer::listeningPath() const
{
    return m_server && m_server->isListening() ? m_server->fullServerName() : QString();
}

bool DLocalInstancePeer::becomePrimary()
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty()) {
        // A program that silently refuses to start is worse than a second instance.
        qWarning("Single instance: no folder of this user's own for the lock and the socket "
                 "(XDG_RUNTIME_DIR is not set, and %s is not private); later starts run beside this one.",
                 qPrintable(QDir::tempPath() + QStringLiteral("/runtime-*")));
        return true;
    }
    // Every name is looked at, also past the one taken: an instance that
    // started while the first names were blocked holds a later one, and stays
    // the instance once they are free again. A later name taken only to look
    // is let go at once.
    std::unique_ptr<QLockFile> taken;
    for (int index = 0; index < NameCount; ++index) {
        std::unique_ptr<QLockFile> lock;
        const LockResult result = lockAt(lockPath(m_id, index), lock);
        if (result == LockResult::HeldByOther)
            return false;
        if (result == LockResult::Taken && !taken)
            taken = std::move(lock);
    }
    // Without any lock, an instance that answers is still the one to hand over to.
    if (!taken && instanceAnswers())
        return false;
    m_lock = std::move(taken);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &DLocalInstancePeer::onNewConnection);
    listen();
    if (!m_server->isListening()) {
        // Nobody can reach this instance: its lock would only turn later
        // starts away unheard.
        m_lock.reset();
        qWarning("Single instance: none of the socket names in %s can be used; later starts run beside this one.",
                 qPrintable(folder));
    } else if (!m_lock) {
        qWarning("Single instance: none of the lock names in %s can be used; a later start may run beside this one.",
                 qPrintable(folder));
    }
    return true;
}

DLocalInstancePeer::LockResult DLocalInstancePeer::lockAt(const QString& path, std::unique_ptr<QLockFile>& lock) const
{
    // Every start meets the same obstacles and so decides alike: two starts
    // that both pass over a name race for the next one, and one of them wins.
    if (!isLockPathUsable(path))
        return LockResult::Unusable;
    lock = std::make_unique<QLockFile>(path);
    // Age alone never makes the lock stale: only a holder that is gone does.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return LockResult::Taken;
    if (lock->error() != QLockFile::LockFailedError) {
        lock.reset();
        return LockResult::Unusable;
    }
    // Held, as far as the file says. An instance holds it only if one
    // answers, or if it was made a moment ago (its maker is about to listen).
    // Otherwise it is left behind, whatever host or process it names (a crash
    // before the host was renamed, a process number in use again): taken
    // over, unless its holder still holds it (and is stopping, or stuck).
    if (!instanceAnswers() && !isBeingMade(path) && lock->removeStaleLockFile() && lock->tryLock(0))
        return LockResult::Taken;
    lock.reset();
    return LockResult::HeldByOther;
}

void DLocalInstancePeer::listen()
{
    for (int index = 0; index < NameCount; ++index) {
        const QString path = serverPath(m_id, index);
        if (!isSocketPathUsable(path))
            continue;
        // A socket file left by an instance that crashed would make listen() fail.
        QLocalServer::removeServer(path);
        if (m_server->listen(path))
            return;
    }
}

void DLocalInstancePeer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        QTimer::singleShot(IdleConnectionMs, socket, [socket] { socket->abort(); });
        readFrom(socket);
    }
}

void DLocalInstancePeer::readFrom(QLocalSocket* socket)
{
    // A frame is a 32-bit big-endian length followed by that many bytes of UTF-8.
    if (socket->bytesAvailable() < qint64(sizeof(quint32)))
        return;
    const QByteArray header = socket->peek(sizeof(quint32));
    const quint32 length = qFromBigEndian<quint32>(header.constData());
    if (length > MaxMessageBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(sizeof(quint32) + length))
        return;
    socket->read(sizeof(quint32));
    const QString message = QString::fromUtf8(socket->read(length));
    // Answer first: the sender is waiting and must not wait for what the
    // message sets off here.
    socket->write(&AckByte, 1);
    socket->flush();
    socket->disconnectFromServer();
    emit messageReceived(message);
}

bool DLocalInstancePeer::sendMessage(const QString& message, int timeoutMs) const
{
    // Without a private folder there is nobody to reach.
    if (runtimeFolder().isEmpty())
        return false;
    QElapsedTimer clock;
    clock.start();
    auto remaining = [&] { return qMax(0, timeoutMs - int(clock.elapsed())); };

    QLocalSocket socket;
    // The primary listens on the first name it could use; it may hold the lock
    // before it listens: keep trying every name until it answers on one.
    auto connectToPrimary = [&] {
        for (int index = 0; index < NameCount; ++index) {
            socket.connectToServer(serverPath(m_id, index));
            if (socket.waitForConnected(remaining()))
                return true;
            socket.abort();
        }
        return false;
    };
    while (!connectToPrimary()) {
        if (remaining() == 0)
            return false;
        QThread::msleep(qMin(RetryPauseMs, remaining()));
        if (remaining() == 0)
            return false;
    }

    const QByteArray payload = message.toUtf8();
    if (payload.size() > int(MaxMessageBytes))
        return false;
    QByteArray frame(sizeof(quint32), '\0');
    qToBigEndian<quint32>(quint32(payload.size()), frame.data());
    frame += payload;
    socket.write(frame);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remaining()))
            return false;
    }
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remaining()))
        return false;
    return socket.read(1) == QByteArray(1, AckByte);
}
