#ifndef DGRAPHICSSNAPSYSTEM_H
#define DGRAPHICSSNAPSYSTEM_H

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QVector>
#include <QVector3D>

#include "DGraphicsSnapPoint.h"

class DGraphicsItem;
class DGraphicsScene;

// Pulls every scene mouse position onto nearby snap points of the persistent
// items. x and y snap independently, each to the nearest snap coordinate within
// three screen pixels. Installed as an event filter on its scene after the
// scene's filter list, so it rewrites each mouse event before anybody else
// reads it; it never consumes one.
class DGraphicsSnapSystem : public QObject
{
    Q_OBJECT
public:
    explicit DGraphicsSnapSystem(DGraphicsScene* scene);

    void add(const DGraphicsItem* item);
    void remove(const DGraphicsItem* item);

    void add(QList<DGraphicsSnapPoint>& list, double value, const DGraphicsItem* item);
    void remove(QList<DGraphicsSnapPoint>& list, const DGraphicsItem* item);
    bool snap(const QList<DGraphicsSnapPoint>& list, double value, double& result) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    const QList<DGraphicsSnapPoint>& xList() const { return m_xList; }
    const QList<DGraphicsSnapPoint>& yList() const { return m_yList; }
    const QMap<const DGraphicsItem*, QVector<QVector3D>>& itemPoints() const { return m_itemPoints; }

private:
    void watchDestruction(const DGraphicsItem* item);

    QMap<const DGraphicsItem*, QVector<QVector3D>> m_itemPoints;
    QList<DGraphicsSnapPoint> m_xList;
    QList<DGraphicsSnapPoint> m_yList;
    DGraphicsScene* m_scene;
    // Items whose destruction is watched, by their QObject address: an item that
    // is deleted outright (not through the scene) must not leave points behind.
    QHash<const QObject*, const DGraphicsItem*> m_watched;
};

#endif // DGRAPHICSSNAPSYSTEM_H
