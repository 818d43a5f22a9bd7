// The member of DUtility that asks the annotation items: it lives beside them
// so that app/ does not depend on graphics/.
#include "DUtility.h"

#include "DGraphicsItem.h"

QRectF DUtility::calcSceneBoundary(const QList<DGraphicsItem*>& items)
{
    QRectF bounds;
    for (const DGraphicsItem* item : items)
        bounds |= item->sceneBoundary();
    return bounds;
}
