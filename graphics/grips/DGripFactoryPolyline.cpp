#include "DGripFactoryPolyline.h"

#include <QLineF>

#include "DGraphicsItemPolyline.h"
#include "DGripConstraintLine.h"
#include "DGripDataVariant.h"
#include "DGripFactoryManager.h"
#include "DGrip.h"
#include "DUtility.h"


namespace {
// Drags smaller than this in every direction are jitter, not edits.
bool isTiny(const QVector3D& offset)
{
    return qAbs(offset.x()) < 0.1 && qAbs(offset.y()) < 0.1 && qAbs(offset.z()) < 0.1;
}

bool gripIndex(const DGrip* grip, int& index)
{
    const auto* data = dynamic_cast<const DGripDataVariant*>(grip->gripData());
    if (!data)
        return false;
    bool ok = false;
    index = data->value().toInt(&ok);
    return ok;
}

QPointF toPoint(const QVector3D& v)
{
    return QPointF(v.x(), v.y());
}

// The polyline that a grip's drag edits and the index the grip carries; null
// for a drag too small to count, a target of another kind or a grip without data.
DGraphicsItemPolyline* editedPolyline(const DGrip* grip, DGraphicsItem* target, int& index)
{
    if (!grip || isTiny(grip->offset()))
        return nullptr;
    auto* polyline = qobject_cast<DGraphicsItemPolyline*>(target);
    if (!polyline || !gripIndex(grip, index))
        return nullptr;
    return polyline;
}
}

DGripFactoryPolyline::DGripFactoryPolyline()
{
}

void DGripFactoryPolyline::createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const
{
    const auto* polyline = qobject_cast<const DGraphicsItemPolyline*>(item);
    if (!polyline)
        return;
    const QVector<QVector3D> p = polyline->points();
    const int n = p.size();
    if (n < 1)
        return;
    auto* target = const_cast<DGraphicsItemPolyline*>(polyline);
    const QMatrix4x4& transform = polyline->transformMatrix();
    const QMatrix4x4& inverse = polyline->inverseTransformMatrix();

    for (int i = 0; i < n; ++i) {
        auto* vertex = new DGrip(target);
        vertex->setGlyph(DGripGlyph::Circle);
        vertex->setBasePoint(p[i]);
        vertex->setGripData(new DGripDataVariant(i));
        connect(vertex, &DGrip::moved, this, &DGripFactoryPolyline::vertexGripMoved);
        grips.append(vertex);

        if (!polyline->isClosed() && i == n - 1)
            break;
        const int j = (i + 1) % n;
        const QVector3D direction = DUtility::perpendicularInECS((p[i] - p[j]).normalized(), transform, inverse);
        auto* edge = new DGrip(target);
        edge->setGlyph(DGripGlyph::RoundedBar);
        edge->setBasePoint((p[i] + p[j]) / 2.0f);
        edge->setDirection(direction);
        edge->setConstraint(new DGripConstraintLine(direction));
        edge->setGripData(new DGripDataVariant(i));
        connect(edge, &DGrip::moved, this, &DGripFactoryPolyline::edgeGripMoved);
        grips.append(edge);
    }
}

void DGripFactoryPolyline::vertexGripMoved(DGrip* grip, DGraphicsItem* target)
{
    int index = 0;
    if (DGraphicsItemPolyline* polyline = editedPolyline(grip, target, index))
        polyline->setPoint(index, grip->basePoint() + grip->offset());
}

void DGripFactoryPolyline::edgeGripMoved(DGrip* grip, DGraphicsItem* target)
{
    int i = 0;
    DGraphicsItemPolyline* polyline = editedPolyline(grip, target, i);
    if (!polyline)
        return;
    const int n = polyline->pointCount();
    if (i < 0 || i >= n)
        return;

    const QMatrix4x4& transform = polyline->transformMatrix();
    const QMatrix4x4& inverse = polyline->inverseTransformMatrix();
    const QPointF offset = toPoint(inverse.mapVector(grip->offset()));
    auto local = [&](int k) { return toPoint(inverse.map(polyline->pointAt(k))); };
    const QPointF P = local(i == 0 ? n - 1 : i - 1);
    const QPointF A = local(i);
    const QPointF B = local((i + 1) % n);
    const QPointF Q = local((i + 2) % n);

    // The edge moves parallel to itself; its ends slide along the neighbours.
    const QLineF moved(A + offset, B + offset);
    QPointF x1;
    QPointF x2;
    if (moved.intersects(QLineF(P, A), &x1) == QLineF::NoIntersection)
        return;
    if (moved.intersects(QLineF(B, Q), &x2) == QLineF::NoIntersection)
        return;

    DGraphicsItemChangeNotifier notifier(polyline);
    polyline->setPoint(i, transform.map(QVector3D(float(x1.x()), float(x1.y()), 0.0f)));
    polyline->setPoint((i + 1) % n, transform.map(QVector3D(float(x2.x()), float(x2.y()), 0.0f)));
}
