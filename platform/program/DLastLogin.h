#ifndef DLASTLOGIN_H
#define DLASTLOGIN_H

#include <QString>
#include <QtGlobal>
#include <optional>

#include "DPlatformService.h"

// The system's record of when a user last logged in. The start-up logic asks
// current(); the null service knows no user and no login.
class DLastLogin : public DPlatformService<DLastLogin>
{
public:
    virtual ~DLastLogin() {}

    // The user running this program; empty when it cannot be told.
    virtual QString userName() const = 0;
    // The newest login of the user, in seconds since 1970-01-01 UTC; nothing
    // when the system holds no record of one.
    virtual std::optional<qint64> lastLoginSecs(const QString& user) const = 0;

    // Until the program installs its own: the null service.
    static DLastLogin& defaultService();
};

#endif // DLASTLOGIN_H
