#ifndef DKEYBOARDFOCUS_H
#define DKEYBOARDFOCUS_H

#include <QtGlobal>

#include "DPlatformService.h"

// Hands the keyboard to a shown window of the program at once. A window that
// bypasses the window manager is given it by nobody else, and Qt's own request
// bears the time of the program's last input, so the display ignores it when
// the window manager has moved the keyboard since (to a dialog it manages, on
// its own account). The null service does nothing: Qt's own request is all.
class DKeyboardFocus : public DPlatformService<DKeyboardFocus>
{
public:
    virtual ~DKeyboardFocus();

    // Gives the keyboard to the native window `window`; returns once the
    // display has carried it out.
    virtual void giveTo(quintptr window) = 0;

    static DKeyboardFocus& defaultService();
};

#endif // DKEYBOARDFOCUS_H
