#ifndef DOVERLAYPROMPTS_H
#define DOVERLAYPROMPTS_H

#include <QPixmap>

#include "DD.h"

class DCreatePrompt;
class DWidgetData;

// The capture prompts of the overlay, each made with new and given its image
// (and the window tree) before it starts.
class DOverlayPrompts
{
public:
    // The prompt of a capture mode: Window and Scrolling pick a window; Region
    // draws a rectangle (region type 0) or a polygon (1). Null for any other
    // mode or region type.
    static DCreatePrompt* createCapturePrompt(DD::enumCaptureMode mode, int regionType, const QPixmap& screenshot,
                                              const DWidgetData& windows);
};

#endif // DOVERLAYPROMPTS_H
