#include "DLocalInstancePeer.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
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

// Keeps only characters that are safe in a file name.
QString fileNameSafe(const QString& id)
{
    QString safe;
    for (QChar c : id)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == '-' || c == '_' ? c : QChar('_');
    return safe.isEmpty() ? QStringLiteral("instance") : safe;
}

QString baseName(const QString& id)
{
    return DLocalInstancePeer::runtimeFolder() + '/' + fileNameSafe(id) + '-' + QString::number(getuid());
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

QString DLocalInstancePeer::serverPath(const QString& id)
{
    return baseName(id) + QStringLiteral(".socket");
}

QString DLocalInstancePeer::lockPath(const QString& id)
{
    return baseName(id) + QStringLiteral(".lock");
}

bool DLocalInstancePeer::becomePrimary()
{
    m_lock = std::make_unique<QLockFile>(lockPath(m_id));
    // Age alone never makes the lock stale: only a holder that is gone does.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError)
        return false;
    // Without a usable lock (an unwritable folder) this start still runs: a
    // program that silently refuses to start is worse than a second instance.

    const QString path = serverPath(m_id);
    // A socket file left by an instance that crashed would make listen() fail.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path))
        qWarning("Single instance: cannot listen on %s: %s", qPrintable(path),
                 qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, &DLocalInstancePeer::onNewConnection);
    return true;
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
    // The primary may hold the lock before it listens: keep trying until it does.
    for (;;) {
        socket.connectToServer(serverPath(m_id));
        if (socket.waitForConnected(remaining()))
            break;
        socket.abort();
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
