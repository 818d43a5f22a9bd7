#include "DGraphicsItemRectangle.h"

#include <QPainter>
#include <QVector2D>

#include "DFileFormatConversion.h"
#include "DMetaPropertyList.h"
#include "DRestorePainter.h"
#include "DUtility.h"

using namespace DFileFormat;

DGraphicsItemRectangle::DGraphicsItemRectangle(DGraphicsItem* parent)
    : DGraphicsItem(parent)
{
}

DGraphicsItemRectangle::DGraphicsItemRectangle()
    : DGraphicsItemRectangle(nullptr)
{
}

QRectF DGraphicsItemRectangle::rectangle() const
{
    return QRectF(toQPointF(m_rectangle.origin()), toQSizeF(m_rectangle.dimension())).normalized();
}

QRectF DGraphicsItemRectangle::boundary() const
{
    return rectangle();
}

// Width and height are the rectangle's own, at every rotation: its dimension
// as the item's scale stretches it, before the rotation turns it.
qreal DGraphicsItemRectangle::width() const
{
    return float(m_rectangle.dimension().x()) * scale().x();
}

qreal DGraphicsItemRectangle::height() const
{
    return float(m_rectangle.dimension().y()) * scale().y();
}

void DGraphicsItemRectangle::setWidth(double w)
{
    // Under a scale of 0 no dimension gives the width asked for.
    if (qFuzzyIsNull(scale().x()))
        return;
    DGraphicsItemChangeNotifier notifier(this);
    m_rectangle.mutable_dimension()->set_x(float(w) / scale().x());
    m_rectangle.mutable_dimension()->set_y(m_rectangle.dimension().y());
}

void DGraphicsItemRectangle::setHeight(double h)
{
    if (qFuzzyIsNull(scale().y()))
        return;
    DGraphicsItemChangeNotifier notifier(this);
    m_rectangle.mutable_dimension()->set_x(m_rectangle.dimension().x());
    m_rectangle.mutable_dimension()->set_y(float(h) / scale().y());
}

void DGraphicsItemRectangle::setPoint1(const QVector3D& p)
{
    DGraphicsItemChangeNotifier notifier(this);
    const QVector3D mapped = m_inverseTransform.map(p);
    *m_rectangle.mutable_origin() = safe3DtoVector2D(mapped);
}

void DGraphicsItemRectangle::setPoint2(const QVector3D& p)
{
    DGraphicsItemChangeNotifier notifier(this);
    const QVector3D mapped = m_inverseTransform.map(p);
    const Vector2D& origin = m_rectangle.origin();
    Vector2D* dimension = m_rectangle.mutable_dimension();
    dimension->set_x(mapped.x() - origin.x());
    dimension->set_y(mapped.y() - origin.y());
}

void DGraphicsItemRectangle::setBoundary(const QRectF& r)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_rectangle.mutable_origin() = toVector2D(QVector2D(float(r.x()), float(r.y())));
    *m_rectangle.mutable_dimension() = toVector2D(QVector2D(float(r.width()), float(r.height())));
}

bool DGraphicsItemRectangle::copy(const DGraphicsItem* other)
{
    return copyKind<DGraphicsItem>(this, other, [this](const DGraphicsItemRectangle& source) {
        m_rectangle.CopyFrom(source.m_rectangle);
    });
}

void DGraphicsItemRectangle::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    DRestorePainter restore(*painter);
    DGraphicsItem::paint(painter, option, widget);
    drawRectangle(painter, rectangle());
}

void DGraphicsItemRectangle::drawRectangle(QPainter* painter, const QRectF& r)
{
    // Less than a pixel on screen is not drawn at all: the screen's own
    // pixels, which a scaled screen has more of than the widget.
    const QRectF onDevice = painter->deviceTransform().mapRect(r);
    if (qMin(onDevice.width(), onDevice.height()) >= 1.0 && r.width() > 0.0 && r.height() > 0.0)
        painter->drawRects(&r, 1);
}

QPainterPath DGraphicsItemRectangle::shape() const
{
    QPainterPath path;
    // Bands of neighbouring edges overlap at the corners; winding keeps them hit.
    path.setFillRule(Qt::WindingFill);
    const QRectF r = rectangle();
    const int w = int(strokeWidth());
    if (isFill()) {
        const int h = w / 2;
        path.addRect(r.adjusted(-h, -h, h, h));
        return path;
    }
    path.addPolygon(DUtility::polygonFromLine(QLineF(r.topLeft(), r.topRight()), w));
    path.addPolygon(DUtility::polygonFromLine(QLineF(r.topRight(), r.bottomRight()), w));
    path.addPolygon(DUtility::polygonFromLine(QLineF(r.bottomRight(), r.bottomLeft()), w));
    path.addPolygon(DUtility::polygonFromLine(QLineF(r.bottomLeft(), r.topLeft()), w));
    return path;
}

QVector<QVector3D> DGraphicsItemRectangle::snapPoints() const
{
    return boxSnapPoints();
}

const DMetaPropertyList& DGraphicsItemRectangle::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItemRectangle::staticProperties()
{
    static const DMetaPropertyList list = [] {
        const QMetaObject& meta = staticMetaObject;
        DMetaPropertyList l = DGraphicsItem::staticProperties();
        l.hide("scale");
        l.addProperty(meta, "width", tr("Width"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "height", tr("Height"), DMetaProperty::PropertyBrowser, 1);
        return l;
    }();
    return list;
}
