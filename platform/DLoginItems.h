#ifndef DLOGINITEMS_H
#define DLOGINITEMS_H

#include "DPlatformService.h"

// The user's start-at-login entries, as far as they concern this executable.
// DUtility's login-item functions go through current(); without another one
// installed, that is the XDG autostart entries (DLoginItemsXdg).
class DLoginItems : public DPlatformService<DLoginItems>
{
public:
    virtual ~DLoginItems() {}

    // Adds this executable; adding again creates no second entry.
    virtual void add() = 0;
    // Whether at least one entry starts this executable.
    virtual bool contains() const = 0;
    // Removes every entry that starts this executable, leaving other entries
    // alone; true if at least one matched.
    virtual bool remove() = 0;

    static DLoginItems& defaultService();
};

#endif // DLOGINITEMS_H
