#ifndef DGRIPFACTORYPOLYGON_H
#define DGRIPFACTORYPOLYGON_H

#include "DGripFactoryPolyline.h"

// The polyline's grips, registered for polygons.
class DGripFactoryPolygon : public DGripFactoryPolyline
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactoryPolygon();

};

extern bool bDGripFactoryManagerDGripFactoryPolygonDGraphicsItemPolygonInitialized;

#endif // DGRIPFACTORYPOLYGON_H
