#ifndef DX11KEYBOARDFOCUS_H
#define DX11KEYBOARDFOCUS_H

#include "DKeyboardFocus.h"

// The keyboard given on the X display that Qt's xcb platform shows its windows
// on, as of the display's current time, which no earlier change of the focus
// outranks. On any other Qt platform it does nothing.
class DX11KeyboardFocus : public DKeyboardFocus
{
public:
    void giveTo(quintptr window) override;
};

#endif // DX11KEYBOARDFOCUS_H
