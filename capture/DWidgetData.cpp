#include "DWidgetData.h"

#include <QtGlobal>

#include "DOnScreenWindowList.h"

namespace {

// Each of x, y, width and height truncated toward zero on its own.
QRect truncatedRect(const QRectF& bounds)
{
    return QRect(int(bounds.x()), int(bounds.y()), int(bounds.width()), int(bounds.height()));
}

} // namespace

DWidgetData& DWidgetData::operator=(const DWidgetData& other)
{
    if (this == &other)
        return *this;
    identifier = other.identifier;
    rectangle = other.rectangle;
    pixmap = other.pixmap;
    title = other.title;
    children = other.children;
    return *this;
}

bool DWidgetData::contains(const QPoint& point) const
{
    return rectangle.contains(point, false);
}

DWidgetHit DWidgetData::findWidgetFromPoint(const QPoint& point) const
{
    if (!contains(point))
        return DWidgetHit();
    for (const DWidgetData& child : children) {
        const DWidgetHit hit = child.findWidgetFromPoint(point);
        if (hit.node)
            return hit;
    }
    DWidgetHit hit;
    hit.node = this;
    hit.rectangle = rectangle;
    return hit;
}

bool DWidgetData::findChild(int identifier)
{
    for (const DWidgetData& child : children) {
        if (child.identifier == identifier)
            return true;
    }
    return false;
}

void DWidgetData::addChild(DWidgetData& child)
{
    child.rectangle = child.rectangle & rectangle;
    if (child.rectangle.left() <= child.rectangle.right() && child.rectangle.top() <= child.rectangle.bottom())
        children.append(child);
}

void DWidgetData::setDesktopWindowInfo(const QRect& rect)
{
    rectangle = rect;
    QList<DOnScreenWindow> windows;
    if (!DOnScreenWindowList::current().onScreenWindows(windows))
        return;
    // Unnamed windows are clipped like named ones: a rectangle reaching past the
    // screen would pick pixels that are not part of the grab.
    QList<DWidgetData> unnamed;
    for (const DOnScreenWindow& window : windows) {
        DWidgetData node;
        node.rectangle = truncatedRect(window.bounds);
        if (window.hasName) {
            node.title = window.title;
            addChild(node);
        } else {
            unnamed.append(node);
        }
    }
    for (DWidgetData& node : unnamed)
        addChild(node);
}
