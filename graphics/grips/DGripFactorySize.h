#ifndef DGRIPFACTORYSIZE_H
#define DGRIPFACTORYSIZE_H

#include "DGripFactoryAbstract.h"

#include <QRectF>

// Four corner and four edge grips that scale an item about its boundary, so
// that the opposite edge or corner stays in place.
class DGripFactorySize : public DGripFactoryAbstract
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactorySize();
    void createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const override;

    // The boundary, in the item's frame, that the grip's drag asks for.
    static QRectF getNewBoundary(DGrip* grip, DGraphicsItem* item);
public slots:
    virtual void gripMoved(DGrip* grip, DGraphicsItem* target);
};

extern bool bDGripFactoryManagerDGripFactorySizeDGraphicsItemImageInitialized;

#endif // DGRIPFACTORYSIZE_H
