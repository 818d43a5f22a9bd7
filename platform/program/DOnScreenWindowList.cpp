#include "DOnScreenWindowList.h"

namespace {

class DNullOnScreenWindowList : public DOnScreenWindowList
{
public:
    bool onScreenWindows(QList<DOnScreenWindow>& windows) const override
    {
        windows.clear();
        return false;
    }
};

} // namespace

DOnScreenWindowList::~DOnScreenWindowList() = default;

DOnScreenWindowList& DOnScreenWindowList::defaultService()
{
    static DNullOnScreenWindowList none;
    return none;
}
