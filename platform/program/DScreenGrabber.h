#ifndef DSCREENGRABBER_H
#define DSCREENGRABBER_H

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include "DPlatformService.h"

class QScreen;

// What the display shows, read in its own pixels: one image pixel per pixel of
// the monitor, whatever scale factor Qt applies to its own coordinates. Global
// physical pixels are the display's coordinates (on X11 the root window's),
// the ones the platform's window list uses too. The null service knows no
// monitor and reads nothing.
class DScreenGrabber : public DPlatformService<DScreenGrabber>
{
public:
    virtual ~DScreenGrabber();

    // The monitors, each in global physical pixels; empty when unknown.
    virtual QList<QRect> monitors() const = 0;
    // The pixels of `area` (global physical pixels); a null image when they
    // cannot be read, or when `area` is not wholly on the display.
    virtual QImage grab(const QRect& area) const = 0;

    // The monitor, in global physical pixels, that shows `point` (global
    // logical coordinates, as Qt gives a window's place) of `screen`: the one
    // that holds the point, else the one at the screen's origin, else the
    // nearest. Without monitors: the screen's own area scaled to physical pixels.
    QRect monitorShowing(const QScreen* screen, const QPoint& point) const;

    // Until the program installs its own: the null service.
    static DScreenGrabber& defaultService();
};

#endif // DSCREENGRABBER_H
