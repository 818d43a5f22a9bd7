#include "DWidgetDataBuilder.h"

void DWidgetDataBuilder::buildWithHierarchy(DWidgetData& root, const QRect& rect)
{
    root.setDesktopWindowInfo(rect);
}
