#ifndef DFAKELOGINITEMS_H
#define DFAKELOGINITEMS_H

#include "DInstalledService.h"
#include "DLoginItems.h"

// Login items kept in memory, counting what was asked of them. Installed while it lives.
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

    // Back to no entries and no calls.
    void clear()
    {
        entries = 0;
        adds = 0;
        removes = 0;
    }

    int entries = 0;
    int adds = 0;
    int removes = 0;

private:
    DInstalledService<DLoginItems> m_installed{this};
};

#endif // DFAKELOGINITEMS_H
