#include "DGripFactoryPolygon.h"

#include "DGripFactoryManager.h"


DGripFactoryPolygon::DGripFactoryPolygon()
{
}
