#include "DGripFactoryImage.h"

#include "DGripFactoryManager.h"

bool bDGripFactoryManagerDGripFactoryImageDGraphicsItemImageInitialized =
    DSingleton<DGripFactoryManager>::instance()->add(&DGripFactoryImage::staticMetaObject,
                                                     QString("DGraphicsItemImage"));

DGripFactoryImage::DGripFactoryImage()
{
}

void DGripFactoryImage::createGrips(QList<DGrip*>&, const DGraphicsItem*) const
{
}

void DGripFactoryImage::gripMoved(DGrip*, DGraphicsItem*)
{
}
