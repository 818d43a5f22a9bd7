#include "DGraphicsItemPolyline.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>

#include "DFileFormatConversion.h"
#include "DMetaPropertyList.h"
#include "DRestorePainter.h"
#include "DUtility.h"

using namespace DFileFormat;

namespace {

// Twice the signed area; negative for the turning sense of the line bands.
double signedArea(const QPolygonF& polygon)
{
    double area = 0.0;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF& a = polygon.at(i);
        const QPointF& b = polygon.at((i + 1) % polygon.size());
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area;
}

} // namespace

DGraphicsItemPolyline::DGraphicsItemPolyline(DGraphicsItem* parent)
    : DGraphicsItem(parent)
{
}

DGraphicsItemPolyline::DGraphicsItemPolyline()
    : DGraphicsItemPolyline(nullptr)
{
}

int DGraphicsItemPolyline::pointCount() const
{
    return m_polyline.points_size();
}

bool DGraphicsItemPolyline::isClosed() const
{
    return m_polyline.closed();
}

QVector3D DGraphicsItemPolyline::pointAt(int i) const
{
    if (i < 0 || i >= pointCount())
        return QVector3D();
    return m_transform.map(toQVector3D(m_polyline.points(i)));
}

QVector<QVector3D> DGraphicsItemPolyline::points() const
{
    QVector<QVector3D> result;
    result.reserve(pointCount());
    for (int i = 0; i < pointCount(); ++i)
        result.append(pointAt(i));
    return result;
}

void DGraphicsItemPolyline::addPoint(const QVector3D& p)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_polyline.add_points() = safe3DtoVector2D(m_inverseTransform.map(p));
    updateCache();
}

void DGraphicsItemPolyline::setPoint(int i, const QVector3D& p)
{
    if (i < 0 || i >= pointCount())
        return;
    DGraphicsItemChangeNotifier notifier(this);
    *m_polyline.mutable_points(i) = safe3DtoVector2D(m_inverseTransform.map(p));
    updateCache();
}

void DGraphicsItemPolyline::close()
{
    DGraphicsItemChangeNotifier notifier(this);
    m_polyline.set_closed(true);
    // The creation prompt closes its sample before the sample joins a layer,
    // so the hit area cannot wait for the has-changed work.
    updateCache();
}

void DGraphicsItemPolyline::onChanged()
{
    updateCache();
}

void DGraphicsItemPolyline::updateCache()
{
    m_path = QPainterPath();
    m_shape = QPainterPath();
    QPolygonF polygon;
    for (int i = 0; i < pointCount(); ++i)
        polygon.append(toQPointF(m_polyline.points(i)));
    const int n = polygon.size();
    if (n < 2)
        return;

    m_path.moveTo(polygon.at(0));
    for (int i = 1; i < n; ++i)
        m_path.lineTo(polygon.at(i));

    // Bands overlap at the joints; winding keeps every covered point hit.
    m_shape.setFillRule(Qt::WindingFill);
    const int w = int(strokeWidth());
    for (int i = 0; i < n; ++i) {
        if (i == n - 1 && !isClosed())
            break;
        m_shape.addPolygon(DUtility::polygonFromLine(QLineF(polygon.at(i), polygon.at((i + 1) % n)), w));
    }
    if (isFill()) {
        // Added in the bands' turning sense, so that it adds to them and never
        // cancels them out under the winding rule.
        QPolygonF inside = polygon;
        if (signedArea(inside) > 0.0)
            std::reverse(inside.begin(), inside.end());
        inside.append(inside.first());
        m_shape.addPolygon(inside);
    }
}

bool DGraphicsItemPolyline::copy(const DGraphicsItem* other)
{
    return copyKind<DGraphicsItem>(this, other, [this](const DGraphicsItemPolyline& source) {
        m_polyline.CopyFrom(source.m_polyline);
        m_path = source.m_path;
        m_shape = source.m_shape;
    });
}

QPainterPath DGraphicsItemPolyline::grownByHalfAPixel(QPainterPath path)
{
    path.closeSubpath();
    QPainterPathStroker edge;
    edge.setWidth(1.0);
    edge.setJoinStyle(Qt::MiterJoin);
    edge.setCapStyle(Qt::SquareCap);
    return (path + edge.createStroke(path)).simplified();
}

void DGraphicsItemPolyline::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    DRestorePainter restore(*painter);
    DGraphicsItem::paint(painter, option, widget);
    if (m_path.isEmpty())
        return;
    if (!isClosed()) {
        painter->setBrush(Qt::NoBrush);
    } else if (isFill() && painter->pen().style() == Qt::NoPen) {
        // Without an outline the fill covers the pixels the edges run
        // through, whose centres the corners are: a captured polygon holds
        // the screen's pixels whole up to its edges.
        painter->drawPath(grownByHalfAPixel(m_path));
        return;
    }
    painter->drawPath(m_path);
}

QPainterPath DGraphicsItemPolyline::shape() const
{
    return m_shape;
}

QVector<QVector3D> DGraphicsItemPolyline::snapPoints() const
{
    QVector<QVector3D> result = DGraphicsItem::snapPoints();
    const int n = pointCount();
    if (n < 2)
        return result;
    for (int i = 0; i < n; ++i) {
        const QVector3D p = toQVector3D(m_polyline.points(i));
        result.append(p);
        if (i == n - 1 && !isClosed())
            break;
        const QVector3D next = toQVector3D(m_polyline.points((i + 1) % n));
        result.append((p + next) / 2.0f);
    }
    return result;
}

const DMetaPropertyList& DGraphicsItemPolyline::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItemPolyline::staticProperties()
{
    static const DMetaPropertyList list = propertiesWithoutFill();
    return list;
}
