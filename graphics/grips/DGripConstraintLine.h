#ifndef DGRIPCONSTRAINTLINE_H
#define DGRIPCONSTRAINTLINE_H

#include "DGripConstraint.h"

// Keeps a grip on the line through its base point along one direction.
class DGripConstraintLine : public DGripConstraint
{
public:
    explicit DGripConstraintLine(const QVector3D& direction);

    QVector2D filtered(const QVector3D& offset) const override;
    QVector2D direction() const { return m_direction; }

private:
    QVector2D m_direction;
};

#endif // DGRIPCONSTRAINTLINE_H
