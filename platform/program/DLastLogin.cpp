#include "DLastLogin.h"

namespace {

class DNullLastLogin : public DLastLogin
{
public:
    QString userName() const override { return QString(); }
    std::optional<qint64> lastLoginSecs(const QString&) const override { return std::nullopt; }
};

} // namespace

DLastLogin& DLastLogin::defaultService()
{
    static DNullLastLogin none;
    return none;
}
