#include "DGraphicsItemLine.h"

#include <QPainter>

#include <cmath>

#include "DFileFormatConversion.h"
#include "DMetaPropertyList.h"
#include "DRestorePainter.h"
#include "DUtility.h"

using namespace DFileFormat;

DGraphicsItemLine::DGraphicsItemLine(DGraphicsItem* parent)
    : DGraphicsItem(parent)
{
}

DGraphicsItemLine::DGraphicsItemLine()
    : DGraphicsItemLine(nullptr)
{
}

QLineF DGraphicsItemLine::line() const
{
    return QLineF(safe3DtoQPointF(m_line.start()), safe3DtoQPointF(m_line.end()));
}

QVector3D DGraphicsItemLine::startPoint() const
{
    return m_transform.map(toQVector3D(m_line.start()));
}

QVector3D DGraphicsItemLine::endPoint() const
{
    return m_transform.map(toQVector3D(m_line.end()));
}

qreal DGraphicsItemLine::length() const
{
    const Vector3D& a = m_line.start();
    const Vector3D& b = m_line.end();
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double dz = b.z() - a.z();
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void DGraphicsItemLine::setStartPoint(const QVector3D& p)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_line.mutable_start() = toVector3D(m_inverseTransform.map(p));
}

void DGraphicsItemLine::setEndPoint(const QVector3D& p)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_line.mutable_end() = toVector3D(m_inverseTransform.map(p));
}

void DGraphicsItemLine::setLine(const QVector3D& p1, const QVector3D& p2)
{
    DGraphicsItemChangeNotifier notifier(this);
    setStartPoint(p1);
    setEndPoint(p2);
}

bool DGraphicsItemLine::copy(const DGraphicsItem* other)
{
    return copyKind<DGraphicsItem>(this, other, [this](const DGraphicsItemLine& source) {
        m_line.CopyFrom(source.m_line);
    });
}

void DGraphicsItemLine::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    DRestorePainter restore(*painter);
    DGraphicsItem::paint(painter, option, widget);
    const QLineF l = line();
    if (l.isNull())
        return;
    painter->setBrush(Qt::NoBrush);
    painter->drawLines(&l, 1);
}

QPainterPath DGraphicsItemLine::shape() const
{
    QPainterPath path;
    path.addPolygon(DUtility::polygonFromLine(line(), strokeWidth()));
    return path;
}

QVector<QVector3D> DGraphicsItemLine::snapPoints() const
{
    return DGraphicsItem::snapPoints() << toQVector3D(m_line.start()) << toQVector3D(m_line.end());
}

const DMetaPropertyList& DGraphicsItemLine::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItemLine::staticProperties()
{
    static const DMetaPropertyList list = [] {
        const QMetaObject& meta = staticMetaObject;
        DMetaPropertyList l = DGraphicsItem::staticProperties();
        l.hide("scale");
        l.hide("rotation");
        l.hide("fill");
        l.hide("fillColor");
        l.addProperty(meta, "start", tr("Start Point"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "end", tr("End Point"), DMetaProperty::PropertyBrowser, 1);
        return l;
    }();
    return list;
}
