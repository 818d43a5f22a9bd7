#include "DCreatePromptRectangleWindow.h"

#include "DGraphicsItemRectangleWindow.h"

DGraphicsItem* DCreatePromptRectangleWindow::createSample() const
{
    return new DGraphicsItemRectangleWindow();
}
