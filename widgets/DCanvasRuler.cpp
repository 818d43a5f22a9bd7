#include "DCanvasRuler.h"

#include <cmath>

#include "DCanvas.h"

DCanvasRuler::DCanvasRuler(DCanvas* canvas)
    : QWidget(canvas)
    , m_pCanvas(canvas)
    , m_nCurrentPos(-1)
{
}

DCanvasRulerTicks DCanvasRuler::calcTicks(double sceneStart, double sceneLength, int pixelLength)
{
    DCanvasRulerTicks ticks;
    if (pixelLength <= 0)
        return ticks;
    // Scene units per 50 ruler pixels, brought to at least 10 by powers of ten.
    double u = sceneLength * 50.0 / pixelLength;
    if (!(u > 0.0) || !std::isfinite(u))
        return ticks;
    double d = 1.0;
    while (u < 10.0) {
        u *= 10.0;
        d *= 10.0;
    }
    // u rounded up to the next multiple of 10 (with a tolerance of 0.1).
    double step = (int(u - 0.1 + 10.0) / 10 * 10) / d;
    if (step < 1.0)
        step = 0.5;
    ticks.step = step;
    ticks.first = int(sceneStart / step - 1.0) * step;
    ticks.last = int((sceneStart + sceneLength) / step + 1.0) * step;
    const int whole = int(step);
    ticks.halfTick = step >= 1.0 && whole % 2 == 0;
    if (step <= 1.0)
        ticks.minorCount = 5;
    else if (whole % 10 == 0)
        ticks.minorCount = 10;
    else
        ticks.minorCount = whole;
    return ticks;
}
