#ifndef DDESKTOPCOMPOSITOR_H
#define DDESKTOPCOMPOSITOR_H

// Whether a compositing manager runs on the desktop. Only then do the
// transparent pixels of a window show what lies behind it; without one they
// show black, and a window that is not rectangular needs a shape of its own.
// Tests install a fake with setCurrent().
class DDesktopCompositor
{
public:
    virtual ~DDesktopCompositor();

    virtual bool isRunning() const = 0;

    // The one in use: the one installed last, else the platform's own.
    static const DDesktopCompositor& current();
    // Installs `compositor` (not owned) in place of the platform's; null restores it.
    static void setCurrent(const DDesktopCompositor* compositor);
};

#endif // DDESKTOPCOMPOSITOR_H
