#include "DLoginItems.h"

namespace {

class DNullLoginItems : public DLoginItems
{
public:
    void add() override {}
    bool contains() const override { return false; }
    bool remove() override { return false; }
};

} // namespace

DLoginItems& DLoginItems::nullService()
{
    static DNullLoginItems none;
    return none;
}
