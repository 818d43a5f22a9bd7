#ifndef DFAKELOGINITEMS_H
#define DFAKELOGINITEMS_H

#include "DLoginItems.h"

// Login items kept in memory, counting what was asked of them.
class DFakeLoginItems : public DLoginItems
{
public:
    void add() override
    {
        ++adds;
        if (entries == 0)
            entries = 1;
    }
    bool contains() const override { return entries > 0; }
    bool remove() override
    {
        ++removes;
        const bool found = entries > 0;
        entries = 0;
        return found;
    }

    int entries = 0;
    int adds = 0;
    int removes = 0;
};

// Installs a fake for the life of the scope.
class DFakeLoginItemsScope
{
public:
    DFakeLoginItemsScope() { DLoginItems::setCurrent(&fake); }
    ~DFakeLoginItemsScope() { DLoginItems::setCurrent(nullptr); }
    DFakeLoginItems fake;
};

#endif // DFAKELOGINITEMS_H
