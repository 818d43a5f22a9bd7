#ifndef DONSCREENWINDOWLIST_H
#define DONSCREENWINDOWLIST_H

#include <QList>
#include <QRectF>
#include <QString>

#include "DPlatformService.h"

// One window as the platform reports it: its title when the window has a name
// (an empty name still counts as one) and its bounds in global screen pixels.
struct DOnScreenWindow
{
    bool hasName = false;
    QString title;
    QRectF bounds;
};

// The platform's list of on-screen windows, frontmost first, without desktop
// elements. The window tree is built against this interface so that its logic
// runs without a display. The null service has no list.
class DOnScreenWindowList : public DPlatformService<DOnScreenWindowList>
{
public:
    virtual ~DOnScreenWindowList();

    // Fills `windows` front to back. False when the platform has no list at all
    // (for example no display): the caller then knows nothing about windows.
    virtual bool onScreenWindows(QList<DOnScreenWindow>& windows) const = 0;

    // Until the program installs its own: the null service.
    static DOnScreenWindowList& defaultService();
};

#endif // DONSCREENWINDOWLIST_H
