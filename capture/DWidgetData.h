#ifndef DWIDGETDATA_H
#define DWIDGETDATA_H

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

#include "DWidgetHit.h"

// A tree of on-screen windows: the screen at the root, the windows one level
// below it. Rectangles are in global screen pixels. A value type; copies share
// their child lists implicitly.
class DWidgetData
{
public:
    DWidgetData() = default;
    DWidgetData(const DWidgetData& other) = default;
    DWidgetData& operator=(const DWidgetData& other);
    ~DWidgetData() = default;

    // Whether the node's rectangle holds `point`, its border included.
    bool contains(const QPoint& point) const;
    // The deepest node under `point`, children asked in list order; the node
    // itself when no child holds the point; nothing outside this node.
    DWidgetHit findWidgetFromPoint(const QPoint& point) const;
    // Whether a direct child has that identifier.
    bool findChild(int identifier);
    // Clips `child` (the argument itself) to this node's rectangle and appends a
    // copy when something of it is left.
    void addChild(DWidgetData& child);
    // Makes this node the screen `rect` with the platform's on-screen windows
    // below it: the named ones first, then the unnamed ones, each group front to
    // back, every window clipped to the screen.
    void setDesktopWindowInfo(const QRect& rect);

    int identifier = 0;
    QRect rectangle;
    QString title;
    QPixmap pixmap;
    QList<DWidgetData> children;
};

#endif // DWIDGETDATA_H
