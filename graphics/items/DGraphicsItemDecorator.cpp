#include "DGraphicsItemDecorator.h"

DGraphicsItemDecorator::DGraphicsItemDecorator(DGraphicsItem* parent)
    : DGraphicsItem(parent)
{
}
