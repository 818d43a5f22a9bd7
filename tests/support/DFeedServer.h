#ifndef DFEEDSERVER_H
#define DFEEDSERVER_H

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

// A tiny HTTP server on 127.0.0.1 that answers every request with one fixed
// reply, or with one that never ends, and remembers the requests it was sent.
class DFeedServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray userAgent;
    };

    DFeedServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &DFeedServer::onNewConnection);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QUrl url(const QString& path = QStringLiteral("/d/update.xml")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    // The reply to every later request.
    void serve(const QByteArray& body, int status = 200)
    {
        m_endless = false;
        m_body = body;
        m_status = status;
    }
    // The answer to every later request begins with `head`, followed by
    // `filler` over and over: as fast as the client takes it, or one filler
    // every intervalMs. It ends only when the client goes away, or, to spare
    // the machine a client that takes everything, after limitBytes.
    void serveEndless(const QByteArray& head, const QByteArray& filler, qint64 limitBytes, int intervalMs = 0)
    {
        m_endless = true;
        m_head = head;
        m_filler = filler;
        m_limitBytes = limitBytes;
        m_intervalMs = intervalMs;
    }
    // Requests are read but never answered until this is turned off again
    // (the requests that waited are then answered).
    void setSilent(bool silent)
    {
        m_silent = silent;
        if (silent)
            return;
        for (const QPointer<QTcpSocket>& socket : qAsConst(m_waiting)) {
            if (socket)
                answer(socket);
        }
        m_waiting.clear();
    }

    QList<Request> requests;
    // Connections the client has closed.
    int closedConnections = 0;
    // Bytes sent in all answers so far.
    qint64 sentBytes = 0;

private slots:
    void onNewConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, this, [this] { ++closedConnections; });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        }
    }

private:
    void readRequest(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        Request request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:"))
                request.userAgent = line.mid(int(strlen("user-agent:"))).trimmed();
        }
        requests.append(request);
        m_buffers.remove(socket);
        if (m_silent) {
            m_waiting.append(socket);
            return;
        }
        answer(socket);
    }

    void answer(QTcpSocket* socket)
    {
        if (m_endless) {
            answerEndlessly(socket);
            return;
        }
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_status) + " Status\r\n"
                           "Content-Type: text/xml\r\n"
                           "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n"
                           "Connection: close\r\n\r\n" + m_body;
        sentBytes += socket->write(reply);
        socket->disconnectFromHost();
    }

    void answerEndlessly(QTcpSocket* socket)
    {
        sentBytes += socket->write(m_head);
        auto* sent = new qint64(m_head.size());
        connect(socket, &QObject::destroyed, [sent] { delete sent; });
        auto more = [this, socket, sent] {
            if (*sent >= m_limitBytes || socket->state() != QAbstractSocket::ConnectedState)
                return;
            *sent += m_filler.size();
            sentBytes += socket->write(m_filler);
        };
        if (m_intervalMs > 0) {
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, more);
            timer->start(m_intervalMs);
            return;
        }
        // Topped up whenever the client has taken what was written.
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket, more] {
            while (socket->bytesToWrite() < 256 * 1024 && socket->state() == QAbstractSocket::ConnectedState) {
                const qint64 before = socket->bytesToWrite();
                more();
                if (socket->bytesToWrite() == before)
                    return;
            }
        });
        more();
    }

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QList<QPointer<QTcpSocket>> m_waiting;
    QByteArray m_body;
    int m_status = 200;
    bool m_silent = false;
    bool m_endless = false;
    QByteArray m_head;
    QByteArray m_filler;
    qint64 m_limitBytes = 0;
    int m_intervalMs = 0;
};

#endif // DFEEDSERVER_H
