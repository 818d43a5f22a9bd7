#include "DPainterAntiScale.h"

#include <QLineF>
#include <QPainter>

namespace {

// Length of a unit vector under the affine part of the transform.
double mappedLength(const QTransform& t, const QPointF& unit)
{
    return QLineF(t.map(QPointF(0, 0)), t.map(unit)).length();
}

} // namespace

DPainterAntiScale::DPainterAntiScale(QPainter& painter)
    : m_painter(&painter)
    , m_transform(painter.transform())
{
    const double sx = mappedLength(m_transform, QPointF(1, 0));
    const double sy = mappedLength(m_transform, QPointF(0, 1));
    // A degenerate transform has nothing to undo.
    if (sx <= 0.0 || sy <= 0.0)
        return;
    m_painter->setTransform(QTransform().scale(1.0 / sx, 1.0 / sy) * m_transform);
}

DPainterAntiScale::~DPainterAntiScale()
{
    m_painter->setTransform(m_transform);
}
