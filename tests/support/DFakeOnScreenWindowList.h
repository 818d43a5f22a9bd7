#ifndef DFAKEONSCREENWINDOWLIST_H
#define DFAKEONSCREENWINDOWLIST_H

#include "DOnScreenWindowList.h"

// A window list given by the test, installed for the lifetime of the object.
class DFakeOnScreenWindowList : public DOnScreenWindowList
{
public:
    DFakeOnScreenWindowList() { setCurrent(this); }
    ~DFakeOnScreenWindowList() override { setCurrent(nullptr); }

    bool onScreenWindows(QList<DOnScreenWindow>& out) const override
    {
        out = windows;
        return available;
    }

    void addNamed(const QString& title, const QRectF& bounds) { windows.append({ true, title, bounds }); }
    void addUnnamed(const QRectF& bounds) { windows.append({ false, QString(), bounds }); }

    bool available = true;
    QList<DOnScreenWindow> windows;
};

#endif // DFAKEONSCREENWINDOWLIST_H
