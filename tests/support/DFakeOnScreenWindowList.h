#ifndef DFAKEONSCREENWINDOWLIST_H
#define DFAKEONSCREENWINDOWLIST_H

#include "DInstalledService.h"
#include "DOnScreenWindowList.h"

// A window list given by the test. Installed while it lives.
class DFakeOnScreenWindowList : public DOnScreenWindowList
{
public:
    bool onScreenWindows(QList<DOnScreenWindow>& out) const override
    {
        out = windows;
        return available;
    }

    void addNamed(const QString& title, const QRectF& bounds) { windows.append({ true, title, bounds }); }
    void addUnnamed(const QRectF& bounds) { windows.append({ false, QString(), bounds }); }

    bool available = true;
    QList<DOnScreenWindow> windows;

private:
    DInstalledService<DOnScreenWindowList> m_installed{this};
};

#endif // DFAKEONSCREENWINDOWLIST_H
