#include "DGripManager.h"

#include <QSet>

#include "DGraphicsItem.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGrip.h"

// A drag under way when its item or the scene goes is dropped, not applied.
static void abandonDrags(QList<DGrip*>* grips)
{
    for (DGrip* grip : qAsConst(*grips))
        grip->abandonDrag();
}

DGripManager::DGripManager(DGraphicsScene* scene)
    : m_scene(scene)
{
}

DGripManager::~DGripManager()
{
    clear();
}

void DGripManager::clear()
{
    // Take the map first: removing a grip may reach back into the manager
    // (a hovered grip releasing the drawn cursor, selection signals).
    const QMap<const DGraphicsItem*, QList<DGrip*>*> grips = m_grips;
    m_grips.clear();
    for (QList<DGrip*>* list : grips) {
        abandonDrags(list);
        removeGrips(list);
    }
}

void DGripManager::createGrips(const DGraphicsLayer* layer, QList<DGraphicsItem*> items)
{
    QSet<const DGraphicsItem*> selected;
    for (DGraphicsItem* item : qAsConst(items))
        selected.insert(item);

    QList<const DGraphicsItem*> stale;
    for (auto it = m_grips.cbegin(); it != m_grips.cend(); ++it) {
        const DGraphicsItem* item = it.key();
        if (selected.remove(item))
            continue;
        const DGraphicsLayer* itemLayer = item->layer();
        if (!itemLayer || itemLayer == layer)
            stale.append(item);
    }
    for (const DGraphicsItem* item : qAsConst(stale))
        removeGrips(m_grips.take(item));

    for (DGraphicsItem* item : qAsConst(items)) {
        if (!selected.contains(item))
            continue;
        selected.remove(item); // an item listed twice gets one set
        QList<DGrip*>* grips = item->createGrips();
        if (!grips)
            continue;
        m_grips.insert(item, grips);
        addGrips(grips);
    }
}

void DGripManager::updateGrips(DGraphicsItem* item)
{
    if (!m_grips.contains(item))
        return;
    removeGrips(m_grips.take(item));
    QList<DGrip*>* grips = item->createGrips();
    if (!grips)
        return;
    m_grips.insert(item, grips);
    addGrips(grips);
}

void DGripManager::removeGrips(const DGraphicsItem* item)
{
    if (QList<DGrip*>* grips = m_grips.take(item)) {
        abandonDrags(grips);
        removeGrips(grips);
    }
}

void DGripManager::addGrips(QList<DGrip*>* grips) const
{
    if (!grips || !m_scene)
        return;
    for (DGrip* grip : qAsConst(*grips))
        m_scene->addItem(grip);
}

void DGripManager::removeGrips(QList<DGrip*>* grips) const
{
    if (!grips)
        return;
    for (DGrip* grip : qAsConst(*grips)) {
        if (grip->QGraphicsItem::scene())
            grip->QGraphicsItem::scene()->removeItem(grip);
        delete grip;
    }
    delete grips;
}
