#ifndef DLASTLOGINFAKE_H
#define DLASTLOGINFAKE_H

#include "DLastLogin.h"

// For tests: a user and a login time set by hand. Installs itself while it lives.
class DLastLoginFake : public DLastLogin
{
public:
    DLastLoginFake() { setCurrent(this); }
    ~DLastLoginFake() override { setCurrent(nullptr); }

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

#endif // DLASTLOGINFAKE_H
