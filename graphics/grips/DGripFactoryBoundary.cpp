#include "DGripFactoryBoundary.h"

#include "DGraphicsItemRectangle.h"
#include "DGripFactoryManager.h"

bool bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemRectangleInitialized =
    DSingleton<DGripFactoryManager>::instance()->add(&DGripFactoryBoundary::staticMetaObject,
                                                     QString("DGraphicsItemRectangle"));
bool bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemTextInitialized =
    DSingleton<DGripFactoryManager>::instance()->add(&DGripFactoryBoundary::staticMetaObject,
                                                     QString("DGraphicsItemText"));

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
