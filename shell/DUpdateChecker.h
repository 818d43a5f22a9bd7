#ifndef DUPDATECHECKER_H
#define DUPDATECHECKER_H

#include <QObject>
#include <QString>
#include <QUrl>

class DBoundedHttpGet;

// What the update feed is told about the operating system: the code matched
// against the feed's "os" attribute, and the tail of the request's User-Agent.
// "Unknown" and "(Unknown OS)" until a checker is built.
extern QString sOSCode;
extern QString sUserAgentSuffix;

// Asks the maker's update feed whether a newer version exists, and answers once
// per request through checkUpdateFinished().
//
// The feed comes over plain HTTP, so anyone on the way may write the answer:
// an exchange that passes its bounds (MaxExchangeBytes received in all, a body
// larger than MaxFeedBytes, a line longer than MaxLineBytes, more than
// MaxHeaderLines header lines, TimeLimitMs from request to end) is cut off,
// and a body nested deeper than MaxFeedDepth or not well-formed to its end
// counts as an empty feed.
class DUpdateChecker : public QObject
{
    Q_OBJECT

public:
    // A real feed is a few kilobytes, three elements deep.
    static constexpr qint64 MaxFeedBytes = 1024 * 1024;
    static constexpr int MaxFeedDepth = 64;
    // Status line, headers and framing of a real answer take a few hundred bytes.
    static constexpr qint64 MaxExchangeBytes = 2 * MaxFeedBytes;
    static constexpr int MaxLineBytes = 8 * 1024;
    static constexpr int MaxHeaderLines = 100;
    static constexpr int TimeLimitMs = 30000;

    explicit DUpdateChecker(QObject* parent = nullptr);
    ~DUpdateChecker() override;

    // Sends the request; false, doing nothing, while an earlier one is pending.
    bool check(const QString& productName, const QString& feedUrl, const QString& currentVersion);
    bool isPending() const { return m_pRequest != nullptr; }

    // For tests: every later check asks this address instead of the one it is
    // given (an empty address ends the redirection).
    void setFeedUrlOverride(const QUrl& url) { m_feedUrlOverride = url; }

signals:
    // bHasUpdate: the feed names a newer version with a web download link.
    void checkUpdateFinished(bool bHasUpdate, QString sLatestVersion, QString sDownloadLink);

private slots:
    void onGetUpdateInfoFinished(bool complete, const QByteArray& body);

private:
    // The request under way; null while none is.
    DBoundedHttpGet* m_pRequest;
    QString m_sCurrentVersion;
    QString m_sProductName;
    QUrl m_feedUrlOverride;
};

#endif // DUPDATECHECKER_H
