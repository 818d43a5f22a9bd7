#ifndef DX11SCREENGRABBER_H
#define DX11SCREENGRABBER_H

#include "DScreenGrabber.h"

// The X display that Qt's xcb platform shows its windows on (the one named by
// DISPLAY): the monitors as Xinerama reports them (the X server's own
// RandR set-up answers through it too), else the root window as one monitor;
// pixels read from the root window with GetImage. On any other Qt platform it
// knows no monitor and reads nothing.
class DX11ScreenGrabber : public DScreenGrabber
{
public:
    QList<QRect> monitors() const override;
    QImage grab(const QRect& area) const override;
};

#endif // DX11SCREENGRABBER_H
