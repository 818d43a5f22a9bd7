#ifndef DGRIPFACTORYIMAGE_H
#define DGRIPFACTORYIMAGE_H

#include "DGripFactoryAbstract.h"

// Images are moved and sized by the location and size factories; this one
// adds nothing of its own.
class DGripFactoryImage : public DGripFactoryAbstract
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactoryImage();
    void createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const override;
public slots:
    void gripMoved(DGrip* grip, DGraphicsItem* target);
};

extern bool bDGripFactoryManagerDGripFactoryImageDGraphicsItemImageInitialized;

#endif // DGRIPFACTORYIMAGE_H
