#include "DHotkeyRegistrar.h"

namespace {

class DNullHotkeyRegistrar : public DHotkeyRegistrar
{
public:
    bool registerHotkey(int, const QKeySequence&, QString&) override { return true; }
    void unregisterHotkey(int) override {}
};

} // namespace

DHotkeyRegistrar& DHotkeyRegistrar::defaultService()
{
    static DNullHotkeyRegistrar none;
    return none;
}
