#ifndef DGRIPFACTORYPOLYLINE_H
#define DGRIPFACTORYPOLYLINE_H

#include "DGripFactoryAbstract.h"

// Moves the vertices of a polyline, and pushes its edges sideways so that
// their ends slide along the neighbouring edges.
class DGripFactoryPolyline : public DGripFactoryAbstract
{
    Q_OBJECT
public:
    Q_INVOKABLE DGripFactoryPolyline();
    void createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const override;
public slots:
    void vertexGripMoved(DGrip* grip, DGraphicsItem* target);
    void edgeGripMoved(DGrip* grip, DGraphicsItem* target);
};

extern bool bDGripFactoryManagerDGripFactoryPolylineDGraphicsItemPolylineInitialized;

#endif // DGRIPFACTORYPOLYLINE_H
