#include "DDesktopCompositor.h"

namespace {

class DNullDesktopCompositor : public DDesktopCompositor
{
public:
    bool isRunning() const override { return false; }
};

} // namespace

DDesktopCompositor::~DDesktopCompositor() = default;

DDesktopCompositor& DDesktopCompositor::nullService()
{
    static DNullDesktopCompositor none;
    return none;
}
