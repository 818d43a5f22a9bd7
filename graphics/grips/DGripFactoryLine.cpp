#include "DGripFactoryLine.h"

#include "DGraphicsItemLine.h"
#include "DGripFactoryManager.h"
#include "DGrip.h"


DGripFactoryLine::DGripFactoryLine()
{
}

void DGripFactoryLine::createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const
{
    const auto* line = qobject_cast<const DGraphicsItemLine*>(item);
    if (!line)
        return;
    const QVector3D s = line->startPoint();
    const QVector3D e = line->endPoint();

    auto* start = new DGrip(const_cast<DGraphicsItemLine*>(line));
    start->setGlyph(DGripGlyph::Circle);
    start->setBasePoint(s);
    start->setDirection((e - s).normalized());
    connect(start, &DGrip::moved, this, &DGripFactoryLine::startGripMoved);
    grips.append(start);

    auto* end = new DGrip(const_cast<DGraphicsItemLine*>(line));
    end->setGlyph(DGripGlyph::Circle);
    end->setBasePoint(e);
    end->setDirection((s - e).normalized());
    connect(end, &DGrip::moved, this, &DGripFactoryLine::endGripMoved);
    grips.append(end);
}

void DGripFactoryLine::startGripMoved(DGrip* grip, DGraphicsItem* target)
{
    auto* line = qobject_cast<DGraphicsItemLine*>(target);
    if (!grip || !line)
        return;
    line->setStartPoint(grip->basePoint() + grip->offset());
}

void DGripFactoryLine::endGripMoved(DGrip* grip, DGraphicsItem* target)
{
    auto* line = qobject_cast<DGraphicsItemLine*>(target);
    if (!grip || !line)
        return;
    line->setEndPoint(grip->basePoint() + grip->offset());
}
