#include "DGripFactoryImage.h"

#include "DGripFactoryManager.h"


DGripFactoryImage::DGripFactoryImage()
{
}

void DGripFactoryImage::createGrips(QList<DGrip*>&, const DGraphicsItem*) const
{
}

void DGripFactoryImage::gripMoved(DGrip*, DGraphicsItem*)
{
}
