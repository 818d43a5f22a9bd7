#ifndef DGRAPHICSSNAPPOINT_H
#define DGRAPHICSSNAPPOINT_H

#include <QList>

class DGraphicsItem;

// One snap coordinate and the items that have a snap point there.
class DGraphicsSnapPoint
{
public:
    DGraphicsSnapPoint(double value, const DGraphicsItem* item)
        : value(value), items({ item })
    {
    }

    double value;
    QList<const DGraphicsItem*> items;
};

#endif // DGRAPHICSSNAPPOINT_H
