#include "DLastLoginLinux.h"

#include <QFile>

#include <cstring>
#include <lastlog.h>
#include <paths.h>
#include <pwd.h>
#include <unistd.h>
#include <utmp.h>
#include <utmpx.h>

DLastLoginLinux::DLastLoginLinux(const QString& wtmpPath, const QString& lastlogPath)
    : m_wtmpPath(wtmpPath.isEmpty() ? QStringLiteral(_PATH_WTMP) : wtmpPath)
    , m_lastlogPath(lastlogPath.isEmpty() ? QStringLiteral(_PATH_LASTLOG) : lastlogPath)
{
}

QString DLastLoginLinux::userName() const
{
    const QString fromEnvironment = qEnvironmentVariable("USER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (const passwd* entry = getpwuid(getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString();
}

std::optional<qint64> DLastLoginLinux::lastLoginSecs(const QString& user) const
{
    if (user.isEmpty())
        return std::nullopt;
    if (const auto session = newestSessionInWtmp(user))
        return session;
    return entryInLastlog(user);
}

std::optional<qint64> DLastLoginLinux::newestSessionInWtmp(const QString& user) const
{
    const QByteArray name = user.toLocal8Bit();
    if (!QFile::exists(m_wtmpPath) || size_t(name.size()) > sizeof(utmpx::ut_user))
        return std::nullopt;

    std::optional<qint64> newest;
    if (utmpxname(QFile::encodeName(m_wtmpPath).constData()) != 0)
        return std::nullopt;
    setutxent();
    while (const utmpx* record = getutxent()) {
        if (record->ut_type != USER_PROCESS)
            continue;
        // ut_user is not terminated when the name fills it.
        if (strncmp(record->ut_user, name.constData(), sizeof(record->ut_user)) != 0)
            continue;
        const qint64 when = record->ut_tv.tv_sec;
        if (when > 0 && (!newest || when > *newest))
            newest = when;
    }
    endutxent();
    // Later callers of the utmpx functions expect the system's session table.
    utmpxname(_PATH_UTMP);
    return newest;
}

std::optional<qint64> DLastLoginLinux::entryInLastlog(const QString& user) const
{
    const passwd* entry = getpwnam(user.toLocal8Bit().constData());
    if (!entry)
        return std::nullopt;
    QFile file(m_lastlogPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The table is indexed by user id, one fixed-size entry each.
    struct lastlog record;
    if (!file.seek(qint64(entry->pw_uid) * qint64(sizeof(record))))
        return std::nullopt;
    if (file.read(reinterpret_cast<char*>(&record), sizeof(record)) != qint64(sizeof(record)))
        return std::nullopt;
    if (record.ll_time <= 0)
        return std::nullopt;
    return qint64(record.ll_time);
}
