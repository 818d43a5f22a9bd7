#include "DGripFactoryPolygon.h"

#include "DGripFactoryManager.h"

bool bDGripFactoryManagerDGripFactoryPolygonDGraphicsItemPolygonInitialized =
    DSingleton<DGripFactoryManager>::instance()->add(&DGripFactoryPolygon::staticMetaObject,
                                                     QString("DGraphicsItemPolygon"));

DGripFactoryPolygon::DGripFactoryPolygon()
{
}
