#ifndef DALLDESKTOPS_H
#define DALLDESKTOPS_H

#include <QtGlobal>

#include "DPlatformService.h"

// Shows a window of the program on every desktop of the window manager, as a
// window that bypasses the window manager is shown anyway: a dialog such a
// window opens over itself then stays with it when the user goes to another
// desktop, rather than being left behind out of reach. The null service does
// nothing.
class DAllDesktops : public DPlatformService<DAllDesktops>
{
public:
    virtual ~DAllDesktops();

    // Puts the native window `window` on every desktop, whether the window
    // manager manages it already or is yet to when it is mapped; returns once
    // the display has carried it out.
    virtual void putOnAll(quintptr window) = 0;

    static DAllDesktops& defaultService();
};

#endif // DALLDESKTOPS_H
