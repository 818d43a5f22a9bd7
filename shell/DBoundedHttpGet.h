#ifndef DBOUNDEDHTTPGET_H
#define DBOUNDEDHTTPGET_H

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QTcpSocket;

// One HTTP/1.1 GET whose every part is bounded: the status line and each
// header line, the number of header lines, the body, every byte received in
// all, and the time from start to end. Whoever answers (the server, or anyone
// on a plain-HTTP path) can make it fail, but never make it hold more than the
// bounds or wait longer than the time limit.
//
// Only a complete 2xx answer counts; redirections are not followed. The body
// comes as the server frames it: by Content-Length, in chunks, or up to the
// end of the connection; a body that is encoded (compressed) is refused, as
// none is asked for. The proxy that the application or its environment names
// for the address is used.
class DBoundedHttpGet : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        qint64 bodyBytes;
        // Everything the server sends: status line, headers, chunk framing, body.
        qint64 exchangeBytes;
        int lineBytes;
        // Header and trailer lines together.
        int headerLines;
        int timeMs;
    };

    DBoundedHttpGet(const QUrl& url, const QByteArray& userAgent, const Limits& limits, QObject* parent = nullptr);
    ~DBoundedHttpGet() override;

    // Sends the request. finished() follows once, never from within start().
    void start();

signals:
    // complete: a whole 2xx answer within the limits; body: its body, empty
    // when it is not complete.
    void finished(bool complete, const QByteArray& body);

private slots:
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onError();

private:
    enum class State { StatusLine, Headers, Body, BodyToEnd, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    void connectSocket(bool secure);
    QByteArray request(bool throughProxy) const;
    // Each takes what it can of `data` from `at` on, and is false once the
    // answer has failed.
    bool take(const QByteArray& data, int& at);
    bool isBodyState() const;
    bool takeBody(const QByteArray& data, int& at);
    // Collects a line; once it is whole, reads it as the state asks.
    bool takeLine(const QByteArray& data, int& at);
    bool takeStatusLine(const QByteArray& line);
    bool takeHeaderLine(const QByteArray& line);
    bool beginBody();
    bool takeChunkSize(const QByteArray& line);
    void finish(bool complete);
    void fail() { finish(false); }

    QUrl m_url;
    QByteArray m_userAgent;
    Limits m_limits;
    QByteArray m_proxyAuthorization;
    bool m_bThroughProxy = false;
    QPointer<QTcpSocket> m_socket;
    QTimer m_deadline;
    State m_state = State::StatusLine;
    QByteArray m_line;
    qint64 m_received = 0;
    int m_headerLines = 0;
    int m_status = 0;
    qint64 m_contentLength = -1;
    bool m_bChunked = false;
    bool m_bEncoded = false;
    qint64 m_bodyLeft = 0;
    QByteArray m_body;
};

#endif // DBOUNDEDHTTPGET_H
