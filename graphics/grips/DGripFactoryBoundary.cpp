#include "DGripFactoryBoundary.h"

#include "DGraphicsItemRectangle.h"
#include "DGripFactoryManager.h"

DGripFactoryBoundary::DGripFactoryBoundary()
{
}

void DGripFactoryBoundary::gripMoved(DGrip* grip, DGraphicsItem* target)
{
    auto* rectangle = qobject_cast<DGraphicsItemRectangle*>(target);
    if (!grip || !rectangle)
        return;
    rectangle->setBoundary(getNewBoundary(grip, rectangle));
}
