#ifndef DWIDGETDATABUILDER_H
#define DWIDGETDATABUILDER_H

#include <QRect>

#include "DWidgetData.h"

// Builds the window tree of one screen from the platform's window list.
class DWidgetDataBuilder
{
public:
    // `root` becomes the screen `rect` with the on-screen windows below it.
    static void buildWithHierarchy(DWidgetData& root, const QRect& rect);
};

#endif // DWIDGETDATABUILDER_H
