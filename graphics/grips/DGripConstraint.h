#ifndef DGRIPCONSTRAINT_H
#define DGRIPCONSTRAINT_H

#include <QVector2D>
#include <QVector3D>

// Filters the drag offset of a grip, for grips that may only move one way.
class DGripConstraint
{
public:
    virtual ~DGripConstraint() = default;
    virtual QVector2D filtered(const QVector3D& offset) const = 0;
};

#endif // DGRIPCONSTRAINT_H
