#ifndef DGRIPFACTORYLOCATION_H
#define DGRIPFACTORYLOCATION_H

#include "DGripFactoryAbstract.h"

// Moves an item by one grip at its centre.
class DGripFactoryLocation : public DGripFactoryAbstract
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactoryLocation();
    void createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const override;
public slots:
    void gripMoved(DGrip* grip, DGraphicsItem* target);
};

extern bool bDGripFactoryManagerDGripFactoryLocationDGraphicsItemInitialized;

#endif // DGRIPFACTORYLOCATION_H
