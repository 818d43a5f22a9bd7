#include "DGripFactorySize.h"

#include <QtMath>

#include "DGraphicsItem.h"
#include "DGripConstraintLine.h"
#include "DGripFactoryManager.h"
#include "DGrip.h"
#include "DUtility.h"


DGripFactorySize::DGripFactorySize()
{
}

void DGripFactorySize::createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const
{
    if (!item)
        return;
    const QRectF b = item->boundary();
    const QMatrix4x4& transform = item->transformMatrix();
    const QMatrix4x4& inverse = item->inverseTransformMatrix();
    // Walk round the boundary: top-left, top-right, bottom-right, bottom-left.
    const QVector3D corners[4] = {
        transform.map(QVector3D(float(b.x()), float(b.y()), 0.0f)),
        transform.map(QVector3D(float(b.x() + b.width()), float(b.y()), 0.0f)),
        transform.map(QVector3D(float(b.x() + b.width()), float(b.y() + b.height()), 0.0f)),
        transform.map(QVector3D(float(b.x()), float(b.y() + b.height()), 0.0f)),
    };
    const QVector3D centre = transform.map(
        QVector3D(float(b.x() + b.width() / 2), float(b.y() + b.height() / 2), 0.0f));
    auto* target = const_cast<DGraphicsItem*>(item);

    for (int k = 0; k < 4; ++k) {
        const QVector3D& c = corners[k];
        const QVector3D& next = corners[(k + 1) % 4];

        auto* corner = new DGrip(target);
        corner->setGlyph(DGripGlyph::Circle);
        corner->setBasePoint(c);
        corner->setDirection((c - centre).normalized());
        connect(corner, &DGrip::moved, this, &DGripFactorySize::gripMoved);
        grips.append(corner);

        const QVector3D direction = DUtility::perpendicularInECS((c - next).normalized(), transform, inverse);
        auto* edge = new DGrip(target);
        edge->setGlyph(DGripGlyph::RoundedBar);
        edge->setBasePoint((c + next) / 2.0f);
        edge->setDirection(direction);
        edge->setConstraint(new DGripConstraintLine(direction));
        connect(edge, &DGrip::moved, this, &DGripFactorySize::gripMoved);
        grips.append(edge);
    }
}

QRectF DGripFactorySize::getNewBoundary(DGrip* grip, DGraphicsItem* item)
{
    const QRectF b = item->boundary();
    const QMatrix4x4& inverse = item->inverseTransformMatrix();
    const QVector3D offset = inverse.mapVector(grip->offset());
    const QVector3D direction = inverse.mapVector(grip->direction());

    double left = 0, right = 0, top = 0, bottom = 0;
    if (direction.x() < 0)
        left = offset.x();
    else
        right = offset.x();
    if (direction.y() < 0)
        top = offset.y();
    else
        bottom = offset.y();
    return QRectF(b.x() + left, b.y() + top, b.width() + right - left, b.height() + bottom - top);
}

void DGripFactorySize::gripMoved(DGrip* grip, DGraphicsItem* target)
{
    if (!grip || !target)
        return;
    const QRectF b = target->boundary();
    const QRectF nb = getNewBoundary(grip, target);
    const double ratioX = nb.width() / b.width();
    const double ratioY = nb.height() / b.height();
    // A zero or undefined ratio would make the transform singular for good
    // (an empty boundary, or an edge dragged onto the opposite one): skip it.
    if (!qIsFinite(ratioX) || !qIsFinite(ratioY) || ratioX == 0.0 || ratioY == 0.0)
        return;

    const double sx = ((nb.left() - b.left()) + (nb.right() - b.right())) * 0.5;
    const double sy = ((nb.top() - b.top()) + (nb.bottom() - b.bottom())) * 0.5;
    const QVector3D shift = target->transformMatrix().mapVector(QVector3D(float(sx), float(sy), 0.0f));

    DGraphicsItemChangeNotifier notifier(target);
    target->setTranslation(shift, true);
    target->setScale(QVector3D(float(ratioX), float(ratioY), 1.0f), true);
}
