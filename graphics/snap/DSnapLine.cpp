#include "DSnapLine.h"

#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QtMath>

DSnapLine::DSnapLine(double value, SnapDirection direction)
    : m_value(value), m_direction(direction)
{
}

bool DSnapLine::intersects(const QRectF& r) const
{
    if (m_direction == X)
        return r.x() <= m_value && m_value <= r.x() + r.width();
    return r.y() <= m_value && m_value <= r.y() + r.height();
}

QRectF DSnapLine::rect(const QRectF& r) const
{
    if (m_direction == X)
        return QRectF(m_value - 1.0, r.y(), 3.0, r.height());
    return QRectF(r.x(), m_value - 1.0, r.width(), 3.0);
}

// Moves a device coordinate onto the centre of the device pixel that holds it.
static double pixelCentre(double device)
{
    const double n = qRound(device);
    return device < n ? n - 0.5 : n + 0.5;
}

void DSnapLine::paint(QPainter* painter, const QRectF& r) const
{
    const QTransform& t = painter->transform();
    const QPointF p = t.map(QPointF(m_value, m_value));
    const double k = t.map(QLineF(0.0, 0.0, 1.0, 0.0)).length();
    if (k <= 0.0)
        return;

    QPen pen(Qt::cyan);
    pen.setCosmetic(true); // one device pixel at any zoom
    const QPen oldPen = painter->pen();
    painter->setPen(pen);
    if (m_direction == X) {
        const double x = m_value + (pixelCentre(p.x()) - p.x()) / k;
        painter->drawLine(QPointF(x, r.y()), QPointF(x, r.y() + r.height()));
    } else {
        const double y = m_value + (pixelCentre(p.y()) - p.y()) / k;
        painter->drawLine(QPointF(r.x(), y), QPointF(r.x() + r.width(), y));
    }
    painter->setPen(oldPen);
}
