#ifndef DUPDATECHECKER_H
#define DUPDATECHECKER_H

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkReply;

// What the update feed is told about the operating system: the code matched
// against the feed's "os" attribute, and the tail of the request's User-Agent.
// "Unknown" and "(Unknown OS)" until a checker is built.
extern QString sOSCode;
extern QString sUserAgentSuffix;

// Asks the maker's update feed whether a newer version exists, and answers once
// per request through checkUpdateFinished().
class DUpdateChecker : public QObject
{
    Q_OBJECT

public:
    explicit DUpdateChecker(QObject* parent = nullptr);
    ~DUpdateChecker() override;

    // Sends the request; false, doing nothing, while an earlier one is pending.
    bool check(const QString& productName, const QString& feedUrl, const QString& currentVersion);
    bool isPending() const { return m_pReply != nullptr; }

    // For tests: every later check asks this address instead of the one it is
    // given (an empty address ends the redirection).
    void setFeedUrlOverride(const QUrl& url) { m_feedUrlOverride = url; }

signals:
    // bHasUpdate: the feed names a newer version with a web download link.
    void checkUpdateFinished(bool bHasUpdate, QString sLatestVersion, QString sDownloadLink);

private slots:
    void onGetUpdateInfoFinished();

private:
    QNetworkAccessManager m_networkManager;
    QNetworkReply* m_pReply;
    QString m_sCurrentVersion;
    QString m_sProductName;
    QUrl m_feedUrlOverride;
};

#endif // DUPDATECHECKER_H
