#ifndef DGRIPFACTORYLINE_H
#define DGRIPFACTORYLINE_H

#include "DGripFactoryAbstract.h"

// Moves either end of a line.
class DGripFactoryLine : public DGripFactoryAbstract
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactoryLine();
    void createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const override;
public slots:
    void startGripMoved(DGrip* grip, DGraphicsItem* target);
    void endGripMoved(DGrip* grip, DGraphicsItem* target);
};

extern bool bDGripFactoryManagerDGripFactoryLineDGraphicsItemLineInitialized;

#endif // DGRIPFACTORYLINE_H
