#include "DUpdateChecker.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QXmlStreamReader>

#include "DBoundedHttpGet.h"

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
    , m_pRequest(nullptr)
{
    sOSCode = QStringLiteral("Linux");
    sUserAgentSuffix = QStringLiteral("(Linux)");
}

DUpdateChecker::~DUpdateChecker()
{
    // Dropped unanswered: nothing is reported to a checker half gone.
    delete m_pRequest;
}

bool DUpdateChecker::check(const QString& productName, const QString& feedUrl, const QString& currentVersion)
{
    if (m_pRequest)
        return false;
    m_sProductName = productName;
    m_sCurrentVersion = currentVersion;

    const QUrl url = m_feedUrlOverride.isEmpty() ? QUrl(feedUrl, QUrl::TolerantMode) : m_feedUrlOverride;
    const QByteArray userAgent = ("Orvanta-Update 1.0 - " + productName + sUserAgentSuffix).toLatin1();
    const DBoundedHttpGet::Limits limits{MaxFeedBytes, MaxExchangeBytes, MaxLineBytes, MaxHeaderLines, TimeLimitMs};
    m_pRequest = new DBoundedHttpGet(url, userAgent, limits, this);
    connect(m_pRequest, &DBoundedHttpGet::finished, this, &DUpdateChecker::onGetUpdateInfoFinished);
    m_pRequest->start();
    return true;
}

void DUpdateChecker::onGetUpdateInfoFinished(bool complete, const QByteArray& body)
{
    if (!m_pRequest || m_pRequest != sender())
        return;
    m_pRequest->deleteLater();
    m_pRequest = nullptr;

    // A failed or cut-off exchange says nothing about versions, whatever
    // arrived of it.
    QDomDocument feed;
    if (complete)
        readFeed(body, feed);

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
