#ifndef DLOGINITEMS_H
#define DLOGINITEMS_H

// The user's start-at-login entries, as far as they concern this executable.
// DUtility's login-item functions go through current(); tests install a fake
// with setCurrent().
class DLoginItems
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

    // The implementation in use: the one set last, or the platform's own.
    static DLoginItems* current();
    // Not owned; null goes back to the platform's own.
    static void setCurrent(DLoginItems* loginItems);
};

#endif // DLOGINITEMS_H
