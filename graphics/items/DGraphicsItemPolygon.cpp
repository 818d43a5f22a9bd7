#include "DGraphicsItemPolygon.h"

#include <QPainter>

#include "DMetaPropertyList.h"

DGraphicsItemPolygon::DGraphicsItemPolygon(DGraphicsItem* parent)
    : DGraphicsItemPolyline(parent)
{
}

DGraphicsItemPolygon::DGraphicsItemPolygon()
    : DGraphicsItemPolygon(nullptr)
{
}

void DGraphicsItemPolygon::updateCache()
{
    DGraphicsItemPolyline::updateCache();
    // Shown closed while it is still being drawn.
    m_path.closeSubpath();
}

bool DGraphicsItemPolygon::copy(const DGraphicsItem* other)
{
    // A polygon adds no state of its own.
    return copyKind<DGraphicsItemPolyline>(this, other, [](const DGraphicsItemPolygon&) {});
}

void DGraphicsItemPolygon::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    // A polygon is filled only by its own fill, never by the painter's brush.
    const QBrush previous = painter->brush();
    painter->setBrush(Qt::NoBrush);
    DGraphicsItemPolyline::paint(painter, option, widget);
    painter->setBrush(previous);
}

QPainterPath DGraphicsItemPolygon::shape() const
{
    return DGraphicsItemPolyline::shape();
}

QVector<QVector3D> DGraphicsItemPolygon::snapPoints() const
{
    return DGraphicsItemPolyline::snapPoints();
}

const DMetaPropertyList& DGraphicsItemPolygon::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItemPolygon::staticProperties()
{
    static const DMetaPropertyList list = [] {
        DMetaPropertyList l = DGraphicsItemPolyline::staticProperties();
        l.unhide("fill");
        l.unhide("fillColor");
        return l;
    }();
    return list;
}
