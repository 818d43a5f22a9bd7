#ifndef DGRAPHICSITEMDECORATOR_H
#define DGRAPHICSITEMDECORATOR_H

#include "DGraphicsItem.h"

// An item that adds nothing of its own; it has a class of its own but no
// invokable constructor, so copies are never made of it.
class DGraphicsItemDecorator : public DGraphicsItem
{
    Q_OBJECT
public:
    explicit DGraphicsItemDecorator(DGraphicsItem* parent);
};

#endif // DGRAPHICSITEMDECORATOR_H
