#ifndef DWIDGETHIT_H
#define DWIDGETHIT_H

#include <QRect>

class DWidgetData;

// Result of a hit test on the window tree: the node that was hit and its
// rectangle, or (null, null rectangle) when the point lies outside the tree.
struct DWidgetHit
{
    const DWidgetData* node = nullptr;
    QRect rectangle;

    bool operator==(const DWidgetHit& other) const
    {
        return node == other.node && rectangle == other.rectangle;
    }
    bool operator!=(const DWidgetHit& other) const { return !(*this == other); }
};

#endif // DWIDGETHIT_H
