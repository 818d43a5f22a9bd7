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

#include <unistd.h>

namespace {

// The byte the primary answers with once it has taken a message.
const char AckByte = '\x06';
// A sender that connects and then stays silent is dropped after this long.
const int IdleConnectionMs = 5000;
// Pause between two connection attempts while the primary is still starting.
const int RetryPauseMs = 50;
// A lock file says who holds it the moment it is made; one that still says
// nothing after this long never will.
const int LockBeingWrittenMs = 5000;

// Keeps only characters that are safe in a file name.
QString fileNameSafe(const QString& id)
{
    QString safe;
    for (QChar c : id)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == '-' || c == '_' ? c : QChar('_');
    return safe.isEmpty() ? QStringLiteral("instance") : safe;
}

QString baseName(const QString& id, int index)
{
    QString name = DLocalInstancePeer::runtimeFolder() + '/' + fileNameSafe(id) + '-' + QString::number(getuid());
    if (index > 0)
        name += '-' + QString::number(index);
    return name;
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

// A lock file that names no holder and has not been written for a while.
bool isLeftoverLockFile(const QLockFile& lock, const QString& path)
{
    qint64 pid = 0;
    QString hostName;
    QString application;
    if (lock.getLockInfo(&pid, &hostName, &application))
        return false;
    const QDateTime written = QFileInfo(path).lastModified();
    return written.isValid() && written.msecsTo(QDateTime::currentDateTime()) > LockBeingWrittenMs;
}

// Whether a socket may listen at the path: nothing there, or what an earlier
// instance left (its socket file, or anything else that is no folder), which
// is replaced.
bool isSocketPathUsable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink())
        return true;
    return removeEmptyFolder(path);
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
    // The runtime folder belongs to the user alone (mode 0700), so neither the
    // socket nor the lock can be reached or replaced by anybody else.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    return folder;
}

QString DLocalInstancePeer::serverPath(const QString& id, int index)
{
    return baseName(id, index) + QStringLiteral(".socket");
}

QString DLocalInstancePeer::lockPath(const QString& id, int index)
{
    return baseName(id, index) + QStringLiteral(".lock");
}

QString DLocalInstancePeer::listeningPath() const
{
    return m_server && m_server->isListening() ? m_server->fullServerName() : QString();
}

bool DLocalInstancePeer::becomePrimary()
{
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
    m_lock = std::move(taken);
    // Without a usable lock (an unwritable folder) this start still runs: a
    // program that silently refuses to start is worse than a second instance.
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &DLocalInstancePeer::onNewConnection);
    listen();
    return true;
}

DLocalInstancePeer::LockResult DLocalInstancePeer::lockAt(const QString& path, std::unique_ptr<QLockFile>& lock)
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
    // A file that names no holder is no lock at all (left empty by a crash, or
    // written by someone else) once it is older than any lock being written.
    if (lock->error() == QLockFile::LockFailedError && isLeftoverLockFile(*lock, path)) {
        lock->removeStaleLockFile();
        if (lock->tryLock(0))
            return LockResult::Taken;
    }
    const QLockFile::LockError error = lock->error();
    lock.reset();
    return error == QLockFile::LockFailedError ? LockResult::HeldByOther : LockResult::Unusable;
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
        qWarning("Single instance: cannot listen on %s: %s", qPrintable(path),
                 qPrintable(m_server->errorString()));
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
