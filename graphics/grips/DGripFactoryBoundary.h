#ifndef DGRIPFACTORYBOUNDARY_H
#define DGRIPFACTORYBOUNDARY_H

#include "DGripFactorySize.h"

// The size grips, setting a rectangle's boundary instead of scaling it.
class DGripFactoryBoundary : public DGripFactorySize
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactoryBoundary();

public slots:
    void gripMoved(DGrip* grip, DGraphicsItem* target) override;
};

extern bool bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemRectangleInitialized;
extern bool bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemTextInitialized;

#endif // DGRIPFACTORYBOUNDARY_H
