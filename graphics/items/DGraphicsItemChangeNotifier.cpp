#include "DGraphicsItemChangeNotifier.h"

#include "DGraphicsItem.h"

DGraphicsItemChangeNotifier::DGraphicsItemChangeNotifier(DGraphicsItem* item)
    : m_item(item)
{
    m_item->notifyWillChange();
}

DGraphicsItemChangeNotifier::~DGraphicsItemChangeNotifier()
{
    m_item->notifyHasChanged();
}
