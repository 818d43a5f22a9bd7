#include "DUpdateChecker.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QXmlStreamReader>

QString sOSCode = QStringLiteral("Unknown");
QString sUserAgentSuffix = QStringLiteral("(Unknown OS)");

namespace {

// A download link is offered only when it leads to a web page: the feed comes
// over plain HTTP, so anything else in it may have been put there by a third party.
bool isWebLink(const QString& link)
{
    const QUrl url(link);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == "http" || scheme == "https");
}

// Whether the body is one well-formed document, nested no deeper than the
// bound. The stream reader keeps its own stack, so a hostile depth costs it
// nothing; the document parser recurses once per level and is given only what
// passed here.
bool isSoundFeed(const QByteArray& body)
{
    QXmlStreamReader reader(body);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > DUpdateChecker::MaxFeedDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return !reader.hasError();
}

// The body as a document; an empty one when it is not a sound feed. The
// document parser keeps whatever it read before an error, so a body cut short
// after a matching entry would otherwise still be believed.
void readFeed(const QByteArray& body, QDomDocument& feed)
{
    if (!isSoundFeed(body) || !feed.setContent(body))
        feed.clear();
}

} // namespace

DUpdateChecker::DUpdateChecker(QObject* parent)
    : QObject(parent)
    , m_pReply(nullptr)
{
    sOSCode = QStringLiteral("Linux");
    sUserAgentSuffix = QStringLiteral("(Linux)");
}

DUpdateChecker::~DUpdateChecker()
{
    // An aborted reply reports that it finished: not to a checker half gone.
    if (m_pReply) {
        disconnect(m_pReply, nullptr, this, nullptr);
        delete m_pReply;
    }
}

bool DUpdateChecker::check(const QString& productName, const QString& feedUrl, const QString& currentVersion)
{
    if (m_pReply)
        return false;
    m_sProductName = productName;
    m_sCurrentVersion = currentVersion;

    QNetworkRequest request(m_feedUrlOverride.isEmpty() ? QUrl(feedUrl, QUrl::TolerantMode) : m_feedUrlOverride);
    request.setRawHeader("User-Agent", ("Orvanta-Update 1.0 - " + productName + sUserAgentSuffix).toLatin1());
    m_feedBody.clear();
    m_bFeedTooLarge = false;
    m_pReply = m_networkManager.get(request);
    connect(m_pReply, &QNetworkReply::readyRead, this, &DUpdateChecker::onFeedDataReady);
    connect(m_pReply, &QNetworkReply::finished, this, &DUpdateChecker::onGetUpdateInfoFinished);
    return true;
}

void DUpdateChecker::onFeedDataReady()
{
    QNetworkReply* reply = m_pReply;
    if (!reply || reply != sender())
        return;
    // Taken as it arrives, so that the reply buffers nothing of its own.
    m_feedBody += reply->readAll();
    if (m_feedBody.size() <= MaxFeedBytes)
        return;
    m_feedBody.clear();
    m_bFeedTooLarge = true;
    // Reports that it finished, at once: nothing may touch the reply after this.
    reply->abort();
}

void DUpdateChecker::onGetUpdateInfoFinished()
{
    QNetworkReply* reply = m_pReply;
    if (!reply || reply != sender())
        return;
    // An aborted reply is closed: there is nothing left to read from it.
    if (!m_bFeedTooLarge)
        m_feedBody += reply->readAll();
    QDomDocument feed;
    // A failed request says nothing about versions, whatever its body holds;
    // nor does a body grown too large.
    const bool complete = reply->error() == QNetworkReply::NoError && !m_bFeedTooLarge
                          && m_feedBody.size() <= MaxFeedBytes;
    if (complete)
        readFeed(m_feedBody, feed);
    m_feedBody.clear();
    reply->deleteLater();
    m_pReply = nullptr;

    QString latestVersion;
    QString link;
    const QDomNodeList products = feed.elementsByTagName(QStringLiteral("product"));
    for (int i = 0; i < products.count(); ++i) {
        const QDomElement product = products.at(i).toElement();
        if (!product.hasAttribute("name") || !product.hasAttribute("os"))
            continue;
        if (product.attribute("name") != m_sProductName || product.attribute("os") != sOSCode)
            continue;
        if (!product.hasAttribute("link") || !product.hasAttribute("version"))
            continue;
        latestVersion = product.attribute("version");
        link = product.attribute("link");
        break;
    }

    bool hasUpdate = !latestVersion.isEmpty() && !link.isEmpty()
                     && m_sCurrentVersion.toFloat() < latestVersion.toFloat();
    if (!link.isEmpty() && !isWebLink(link)) {
        hasUpdate = false;
        link.clear();
    }
    emit checkUpdateFinished(hasUpdate, latestVersion, link);
}
