#include "DBoundedHttpGet.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QSslSocket>
#include <QTcpSocket>

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

// Read from the socket at a time: what the socket buffers stays this small.
const qint64 ReadChunkBytes = 16 * 1024;

bool isHttpProxy(const QNetworkProxy& proxy)
{
    return proxy.type() == QNetworkProxy::HttpProxy || proxy.type() == QNetworkProxy::HttpCachingProxy;
}

// A header's value, or nothing when the line is not that header.
bool headerValue(const QByteArray& line, const QByteArray& name, QByteArray& value)
{
    const int colon = line.indexOf(':');
    if (colon < 0 || line.left(colon).trimmed().toLower() != name)
        return false;
    value = line.mid(colon + 1).trimmed();
    return true;
}

// A number of digits only, as Content-Length and chunk sizes are written;
// -1 otherwise, and for one that would not fit.
qint64 parseSize(const QByteArray& text, int base)
{
    if (text.isEmpty() || text.size() > 15)
        return -1;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, base);
    const bool digitsOnly = std::all_of(text.begin(), text.end(), [base](char c) {
        return base == 16 ? isxdigit(uchar(c)) : isdigit(uchar(c));
    });
    return ok && digitsOnly ? value : -1;
}

} // namespace

DBoundedHttpGet::DBoundedHttpGet(const QUrl& url, const QByteArray& userAgent, const Limits& limits,
                                 QObject* parent)
    : QObject(parent)
    , m_url(url)
    , m_userAgent(userAgent)
    , m_limits(limits)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &DBoundedHttpGet::fail);
}

DBoundedHttpGet::~DBoundedHttpGet()
{
    // Gone without a word: whoever deletes it no longer waits for an answer.
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void DBoundedHttpGet::start()
{
    m_deadline.start(m_limits.timeMs);
    const QString scheme = m_url.scheme().toLower();
    const bool secure = scheme == QLatin1String("https");
    if ((scheme != QLatin1String("http") && !secure) || m_url.host().isEmpty()
        || (secure && !QSslSocket::supportsSsl())) {
        QTimer::singleShot(0, this, &DBoundedHttpGet::fail);
        return;
    }
    if (secure)
        m_socket = new QSslSocket(this);
    else
        m_socket = new QTcpSocket(this);
    // The socket holds no more than one read's worth; the rest waits in the system.
    m_socket->setReadBufferSize(ReadChunkBytes);
    connect(m_socket, &QTcpSocket::readyRead, this, &DBoundedHttpGet::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &DBoundedHttpGet::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &DBoundedHttpGet::onError);
    connectSocket(secure);
}

void DBoundedHttpGet::connectSocket(bool secure)
{
    QNetworkProxy proxy = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(m_url))
                              .value(0, QNetworkProxy(QNetworkProxy::NoProxy));
    if (proxy.type() == QNetworkProxy::DefaultProxy)
        proxy = QNetworkProxy(QNetworkProxy::NoProxy);
    const quint16 port = quint16(m_url.port(secure ? 443 : 80));
    if (secure) {
        // An HTTP proxy tunnels the encrypted connection; the socket asks it.
        auto* socket = static_cast<QSslSocket*>(m_socket.data());
        socket->setProxy(proxy);
        connect(socket, &QSslSocket::encrypted, this, &DBoundedHttpGet::onConnected);
        connect(socket, QOverload<const QList<QSslError>&>::of(&QSslSocket::sslErrors), this,
                &DBoundedHttpGet::fail);
        socket->connectToHostEncrypted(m_url.host(), port);
        return;
    }
    connect(m_socket, &QTcpSocket::connected, this, &DBoundedHttpGet::onConnected);
    if (isHttpProxy(proxy)) {
        // Asked for the whole address, the proxy fetches it.
        m_bThroughProxy = true;
        if (!proxy.user().isEmpty())
            m_proxyAuthorization = "Basic " + (proxy.user() + ':' + proxy.password()).toUtf8().toBase64();
        m_socket->setProxy(QNetworkProxy::NoProxy);
        m_socket->connectToHost(proxy.hostName(), proxy.port());
        return;
    }
    m_socket->setProxy(proxy);
    m_socket->connectToHost(m_url.host(), port);
}

QByteArray DBoundedHttpGet::request(bool throughProxy) const
{
    QByteArray target;
    if (throughProxy) {
        target = m_url.toEncoded(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    } else {
        target = m_url.path(QUrl::FullyEncoded).toLatin1();
        if (target.isEmpty())
            target = "/";
        if (m_url.hasQuery())
            target += '?' + m_url.query(QUrl::FullyEncoded).toLatin1();
    }
    QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_url.port() != -1)
        host += ':' + QByteArray::number(m_url.port());
    QByteArray text = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " + m_userAgent + "\r\n";
    if (!m_proxyAuthorization.isEmpty())
        text += "Proxy-Authorization: " + m_proxyAuthorization + "\r\n";
    return text + "Connection: close\r\n\r\n";
}

void DBoundedHttpGet::onConnected()
{
    m_socket->write(request(m_bThroughProxy));
}

void DBoundedHttpGet::onReadyRead()
{
    while (m_socket && m_state != State::Done && m_socket->bytesAvailable() > 0) {
        const QByteArray data = m_socket->read(ReadChunkBytes);
        m_received += data.size();
        if (m_received > m_limits.exchangeBytes) {
            fail();
            return;
        }
        int at = 0;
        if (!take(data, at))
            return;
    }
}

void DBoundedHttpGet::onDisconnected()
{
    if (m_state == State::Done)
        return;
    onReadyRead();
    if (m_state == State::Done)
        return;
    // Only a body that runs to the end of the connection ends with it.
    finish(m_state == State::BodyToEnd);
}

void DBoundedHttpGet::onError()
{
    if (m_socket && m_socket->error() == QAbstractSocket::RemoteHostClosedError) {
        onDisconnected();
        return;
    }
    fail();
}

bool DBoundedHttpGet::take(const QByteArray& data, int& at)
{
    while (at < data.size() && m_state != State::Done) {
        const bool sound = isBodyState() ? takeBody(data, at) : takeLine(data, at);
        if (!sound) {
            fail();
            return false;
        }
    }
    return true;
}

bool DBoundedHttpGet::isBodyState() const
{
    return m_state == State::Body || m_state == State::BodyToEnd || m_state == State::ChunkData;
}

bool DBoundedHttpGet::takeBody(const QByteArray& data, int& at)
{
    const qint64 wanted = m_state == State::BodyToEnd ? qint64(data.size() - at) : m_bodyLeft;
    const int taken = int(qMin<qint64>(wanted, data.size() - at));
    m_body += data.mid(at, taken);
    at += taken;
    m_bodyLeft -= taken;
    if (m_body.size() > m_limits.bodyBytes)
        return false;
    if (m_state == State::Body && m_bodyLeft == 0)
        finish(true);
    else if (m_state == State::ChunkData && m_bodyLeft == 0)
        m_state = State::ChunkEnd;
    return true;
}

bool DBoundedHttpGet::takeLine(const QByteArray& data, int& at)
{
    const int end = data.indexOf('\n', at);
    const int stop = end < 0 ? data.size() : end;
    m_line += data.mid(at, stop - at);
    at = end < 0 ? data.size() : end + 1;
    if (m_line.size() > m_limits.lineBytes)
        return false;
    if (end < 0)
        return true;
    QByteArray line = std::exchange(m_line, QByteArray());
    if (line.endsWith('\r'))
        line.chop(1);
    switch (m_state) {
    case State::StatusLine:
        return takeStatusLine(line);
    case State::Headers:
    case State::Trailers:
        return takeHeaderLine(line);
    case State::ChunkSize:
        return takeChunkSize(line);
    case State::ChunkEnd:
        // The line after a chunk's data holds nothing.
        m_state = State::ChunkSize;
        return line.isEmpty();
    default:
        return false;
    }
}

bool DBoundedHttpGet::takeStatusLine(const QByteArray& line)
{
    // "HTTP/1.1 200 OK": the version, the code, and any reason.
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() < 2 || !parts.at(0).startsWith("HTTP/1.") || parts.at(1).size() != 3)
        return false;
    m_status = int(parseSize(parts.at(1), 10));
    m_state = State::Headers;
    return m_status >= 100;
}

bool DBoundedHttpGet::takeHeaderLine(const QByteArray& line)
{
    if (line.isEmpty()) {
        if (m_state == State::Trailers) {
            finish(true);
            return true;
        }
        return beginBody();
    }
    if (++m_headerLines > m_limits.headerLines || !line.contains(':'))
        return false;
    if (m_state == State::Trailers)
        return true;
    QByteArray value;
    if (headerValue(line, "content-length", value)) {
        const qint64 length = parseSize(value, 10);
        // Two lengths that differ leave the body's end unknown.
        if (length < 0 || (m_contentLength >= 0 && length != m_contentLength))
            return false;
        m_contentLength = length;
    } else if (headerValue(line, "transfer-encoding", value)) {
        if (value.toLower() != "chunked")
            return false;
        m_bChunked = true;
    } else if (headerValue(line, "content-encoding", value)) {
        m_bEncoded = m_bEncoded || value.toLower() != "identity";
    }
    return true;
}

bool DBoundedHttpGet::beginBody()
{
    // An error page, a redirection or an interim answer is no feed.
    if (m_status < 200 || m_status > 299 || m_bEncoded)
        return false;
    if (m_bChunked) {
        m_state = State::ChunkSize;
        return true;
    }
    if (m_contentLength < 0) {
        m_state = State::BodyToEnd;
        return true;
    }
    if (m_contentLength > m_limits.bodyBytes)
        return false;
    m_bodyLeft = m_contentLength;
    m_state = State::Body;
    if (m_bodyLeft == 0)
        finish(true);
    return true;
}

bool DBoundedHttpGet::takeChunkSize(const QByteArray& line)
{
    // "1a3;name=value": the size in hexadecimal, then extensions, which mean nothing here.
    const int extensions = line.indexOf(';');
    const QByteArray size = (extensions < 0 ? line : line.left(extensions)).trimmed();
    const qint64 bytes = parseSize(size, 16);
    if (bytes < 0 || m_body.size() + bytes > m_limits.bodyBytes)
        return false;
    m_bodyLeft = bytes;
    m_state = bytes == 0 ? State::Trailers : State::ChunkData;
    return true;
}

void DBoundedHttpGet::finish(bool complete)
{
    if (m_state == State::Done)
        return;
    m_state = State::Done;
    m_deadline.stop();
    if (m_socket) {
        // Nothing more is read, and nothing from it arrives here any more.
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    const QByteArray body = complete ? m_body : QByteArray();
    m_body.clear();
    emit finished(complete, body);
}
