#include "DUpdateChecker.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QNetworkReply>
#include <QNetworkRequest>

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
    m_pReply = m_networkManager.get(request);
    connect(m_pReply, &QNetworkReply::finished, this, &DUpdateChecker::onGetUpdateInfoFinished);
    return true;
}

void DUpdateChecker::onGetUpdateInfoFinished()
{
    QNetworkReply* reply = m_pReply;
    if (!reply || reply != sender())
        return;
    QDomDocument feed;
    // A failed request says nothing about versions, whatever its body holds.
    if (reply->error() == QNetworkReply::NoError)
        feed.setContent(reply->readAll());
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
