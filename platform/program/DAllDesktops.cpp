#include "DAllDesktops.h"

namespace {

class DNullAllDesktops : public DAllDesktops
{
public:
    void putOnAll(quintptr) override {}
};

} // namespace

DAllDesktops::~DAllDesktops() = default;

DAllDesktops& DAllDesktops::defaultService()
{
    static DNullAllDesktops none;
    return none;
}
