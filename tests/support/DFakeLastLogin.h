#ifndef DFAKELASTLOGIN_H
#define DFAKELASTLOGIN_H

#include "DLastLogin.h"

// For tests: a user and a login time set by hand. Installs itself while it lives.
class DFakeLastLogin : public DLastLogin
{
public:
    DFakeLastLogin() { setCurrent(this); }
    ~DFakeLastLogin() override { setCurrent(nullptr); }

    QString user = QStringLiteral("tester");
    std::optional<qint64> login;
    mutable int lookups = 0;

    QString userName() const override { return user; }
    std::optional<qint64> lastLoginSecs(const QString& name) const override
    {
        ++lookups;
        return name == user ? login : std::nullopt;
    }
};

#endif // DFAKELASTLOGIN_H
