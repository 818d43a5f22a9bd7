#include "DKeyboardFocus.h"

namespace {

class DNullKeyboardFocus : public DKeyboardFocus
{
public:
    void giveTo(quintptr) override {}
};

} // namespace

DKeyboardFocus::~DKeyboardFocus() = default;

DKeyboardFocus& DKeyboardFocus::defaultService()
{
    static DNullKeyboardFocus none;
    return none;
}
