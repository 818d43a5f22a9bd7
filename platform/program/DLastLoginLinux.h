#ifndef DLASTLOGINLINUX_H
#define DLASTLOGINLINUX_H

#include "DLastLogin.h"

// Login records of a Linux system: the session records in wtmp, read through
// the utmpx interface, and, when they hold nothing for the user, the per-user
// table lastlog. The user is "USER" from the environment, else the password
// database's entry of the real user id.
class DLastLoginLinux : public DLastLogin
{
public:
    // Empty paths take the system's own files.
    explicit DLastLoginLinux(const QString& wtmpPath = QString(), const QString& lastlogPath = QString());

    QString userName() const override;
    std::optional<qint64> lastLoginSecs(const QString& user) const override;

    // The newest login session of the user in a wtmp file.
    std::optional<qint64> newestSessionInWtmp(const QString& user) const;
    // The user's entry in a lastlog file.
    std::optional<qint64> entryInLastlog(const QString& user) const;

private:
    QString m_wtmpPath;
    QString m_lastlogPath;
};

#endif // DLASTLOGINLINUX_H
