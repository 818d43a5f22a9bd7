#include "DGraphicsSnapSystem.h"

#include <QGraphicsSceneMouseEvent>
#include <QtMath>

#include "DGraphicsItem.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DSnapLine.h"

namespace {
// Coordinates closer than this are one snap point.
const double kSameValue = 0.01;
// Snap distance in screen pixels.
const double kTolerancePixels = 3.0;
}

DGraphicsSnapSystem::DGraphicsSnapSystem(DGraphicsScene* scene)
    : QObject(nullptr), m_scene(scene)
{
}

void DGraphicsSnapSystem::add(const DGraphicsItem* item)
{
    if (!item)
        return;
    const QMatrix4x4 transform = item->transformMatrix();
    QVector<QVector3D> points = item->snapPoints();
    for (QVector3D& point : points)
        point = transform.map(point);

    // A second add replaces the first: take the earlier coordinates out first so
    // the lists hold exactly what the item offers now.
    if (m_itemPoints.contains(item)) {
        remove(m_xList, item);
        remove(m_yList, item);
    }
    m_itemPoints.insert(item, points);
    for (const QVector3D& point : qAsConst(points)) {
        add(m_xList, point.x(), item);
        add(m_yList, point.y(), item);
    }
    watchDestruction(item);
}

void DGraphicsSnapSystem::remove(const DGraphicsItem* item)
{
    m_itemPoints.remove(item);
    remove(m_xList, item);
    remove(m_yList, item);
}

void DGraphicsSnapSystem::watchDestruction(const DGraphicsItem* item)
{
    const QObject* object = item;
    if (m_watched.contains(object))
        return;
    m_watched.insert(object, item);
    connect(object, &QObject::destroyed, this, [this, object] {
        // Only the stored key is used: the item itself is gone by now.
        const DGraphicsItem* gone = m_watched.take(object);
        remove(gone);
    });
}

void DGraphicsSnapSystem::add(QList<DGraphicsSnapPoint>& list, double value, const DGraphicsItem* item)
{
    for (int i = 0; i < list.size(); ++i) {
        DGraphicsSnapPoint& point = list[i];
        if (qAbs(value - point.value) < kSameValue) {
            if (!point.items.contains(item))
                point.items.append(item);
            return;
        }
        if (point.value > value) {
            list.insert(i, DGraphicsSnapPoint(value, item));
            return;
        }
    }
    list.append(DGraphicsSnapPoint(value, item));
}

void DGraphicsSnapSystem::remove(QList<DGraphicsSnapPoint>& list, const DGraphicsItem* item)
{
    for (int i = 0; i < list.size();) {
        DGraphicsSnapPoint& point = list[i];
        if (point.items.removeAll(item) > 0 && point.items.isEmpty()) {
            list.removeAt(i);
            continue;
        }
        ++i;
    }
}

bool DGraphicsSnapSystem::snap(const QList<DGraphicsSnapPoint>& list, double value, double& result) const
{
    const double scale = m_scene ? m_scene->scale() : 1.0;
    const double tolerance = kTolerancePixels / scale;
    if (list.isEmpty())
        return false;

    int lo = 0;
    int hi = list.size();
    int m = list.size() / 2;
    while (qAbs(list.at(m).value - value) > tolerance) {
        if (list.at(m).value < value) {
            lo = m + 1;
            if (lo >= hi)
                return false;
        } else {
            hi = m;
            if (hi <= lo)
                return false;
        }
        m = (lo + hi) / 2;
    }

    // The search stops at the first point within tolerance; its neighbour
    // towards the pointer may lie nearer still.
    const double found = list.at(m).value;
    const double distance = qAbs(found - value);
    if (found < value && m + 1 < list.size() && qAbs(list.at(m + 1).value - value) < distance)
        result = list.at(m + 1).value;
    else if (found > value && m > 0 && qAbs(list.at(m - 1).value - value) < distance)
        result = list.at(m - 1).value;
    else
        result = found;
    return true;
}

bool DGraphicsSnapSystem::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::GraphicsSceneMouseMove:
    case QEvent::GraphicsSceneMousePress:
    case QEvent::GraphicsSceneMouseRelease:
    case QEvent::GraphicsSceneMouseDoubleClick:
        break;
    default:
        return false;
    }

    auto* mouse = static_cast<QGraphicsSceneMouseEvent*>(event);
    if (m_scene)
        m_scene->clearSnapLines();
    QPointF p = DGraphicsView::pointerScenePos(mouse);
    double r = 0.0;
    if (snap(m_xList, p.x(), r)) {
        p.setX(r);
        if (m_scene)
            m_scene->snapped(DSnapLine(r, DSnapLine::X));
    }
    if (snap(m_yList, p.y(), r)) {
        p.setY(r);
        if (m_scene)
            m_scene->snapped(DSnapLine(r, DSnapLine::Y));
    }
    mouse->setScenePos(p);
    return false;
}
