#include "DGripConstraintLine.h"

DGripConstraintLine::DGripConstraintLine(const QVector3D& direction)
    : m_direction(QVector2D(direction.x(), direction.y()).normalized())
{
}

QVector2D DGripConstraintLine::filtered(const QVector3D& offset) const
{
    const float along = QVector3D::dotProduct(offset, QVector3D(m_direction.x(), m_direction.y(), 0.0f));
    return m_direction * along;
}
