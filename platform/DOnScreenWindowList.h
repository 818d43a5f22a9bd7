#ifndef DONSCREENWINDOWLIST_H
#define DONSCREENWINDOWLIST_H

#include <QList>
#include <QRectF>
#include <QString>

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
// runs without a display; tests install a fake with setCurrent().
class DOnScreenWindowList
{
public:
    virtual ~DOnScreenWindowList();

    // Fills `windows` front to back. False when the platform has no list at all
    // (for example no display): the caller then knows nothing about windows.
    virtual bool onScreenWindows(QList<DOnScreenWindow>& windows) const = 0;

    // The list in use: the one installed with setCurrent(), else the platform's own.
    static const DOnScreenWindowList& current();
    // Installs `list` (not owned) in place of the platform's; null restores it.
    static void setCurrent(const DOnScreenWindowList* list);
};

#endif // DONSCREENWINDOWLIST_H
