#ifndef DLASTLOGIN_H
#define DLASTLOGIN_H

#include <QString>
#include <QtGlobal>
#include <optional>

// The system's record of when a user last logged in. The start-up logic asks
// current(); tests install a fake with setCurrent().
class DLastLogin
{
public:
    virtual ~DLastLogin() {}

    // The user running this program; empty when it cannot be told.
    virtual QString userName() const = 0;
    // The newest login of the user, in seconds since 1970-01-01 UTC; nothing
    // when the system holds no record of one.
    virtual std::optional<qint64> lastLoginSecs(const QString& user) const = 0;

    // The implementation in use: the one set last, or the platform's own.
    static DLastLogin* current();
    // Not owned; null goes back to the platform's own.
    static void setCurrent(DLastLogin* lastLogin);
};

#endif // DLASTLOGIN_H
