#ifndef DFEEDSERVER_H
#define DFEEDSERVER_H

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A tiny HTTP server on 127.0.0.1 that answers every request with one fixed
// reply, and remembers the requests it was sent.
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
        m_body = body;
        m_status = status;
    }
    // Requests are read but never answered until this is turned off again.
    void setSilent(bool silent) { m_silent = silent; }

    QList<Request> requests;

private slots:
    void onNewConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
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
        if (m_silent)
            return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_status) + " Status\r\n"
                           "Content-Type: text/xml\r\n"
                           "Content-Length: " + QByteArray::number(m_body.size()) + "\r\n"
                           "Connection: close\r\n\r\n" + m_body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QByteArray m_body;
    int m_status = 200;
    bool m_silent = false;
};

#endif // DFEEDSERVER_H
