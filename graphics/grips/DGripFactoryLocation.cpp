#include "DGripFactoryLocation.h"

#include "DGraphicsItem.h"
#include "DGripFactoryManager.h"
#include "DGrip.h"


DGripFactoryLocation::DGripFactoryLocation()
{
}

void DGripFactoryLocation::createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const
{
    if (!item)
        return;
    auto* grip = new DGrip(const_cast<DGraphicsItem*>(item));
    grip->setGlyph(DGripGlyph::Square);
    grip->setColor(Qt::cyan);
    grip->setBasePoint(item->center());
    connect(grip, &DGrip::moved, this, &DGripFactoryLocation::gripMoved);
    grips.append(grip);
}

void DGripFactoryLocation::gripMoved(DGrip* grip, DGraphicsItem* target)
{
    if (!grip || !target)
        return;
    target->setTranslation(grip->offset(), true);
}
