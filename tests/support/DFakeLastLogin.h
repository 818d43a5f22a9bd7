#ifndef DFAKELASTLOGIN_H
#define DFAKELASTLOGIN_H

#include "DInstalledService.h"
#include "DLastLogin.h"

// A user and a login time set by hand. Installed while it lives.
class DFakeLastLogin : public DLastLogin
{
public:
    QString user = QStringLiteral("tester");
    std::optional<qint64> login;
    mutable int lookups = 0;

    QString userName() const override { return user; }
    std::optional<qint64> lastLoginSecs(const QString& name) const override
    {
        ++lookups;
        return name == user ? login : std::nullopt;
    }

private:
    DInstalledService<DLastLogin> m_installed{this};
};

#endif // DFAKELASTLOGIN_H
