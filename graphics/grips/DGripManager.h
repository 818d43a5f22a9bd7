#ifndef DGRIPMANAGER_H
#define DGRIPMANAGER_H

#include <QList>
#include <QMap>

class DGraphicsItem;
class DGraphicsLayer;
class DGraphicsScene;
class DGrip;

// Keeps the grips of the selected persistent items of a scene and makes them
// follow each layer's selection. Owns the grips and their lists.
class DGripManager
{
public:
    explicit DGripManager(DGraphicsScene* scene);
    ~DGripManager();

    DGripManager(const DGripManager&) = delete;
    DGripManager& operator=(const DGripManager&) = delete;

    void createGrips(const DGraphicsLayer* layer, QList<DGraphicsItem*> items);
    void updateGrips(DGraphicsItem* item);
    void addGrips(QList<DGrip*>* grips) const;
    void removeGrips(QList<DGrip*>* grips) const;
    // Drops an item's grips at once (it is leaving its layer, or being deleted);
    // the item itself is not touched.
    void removeGrips(const DGraphicsItem* item);
    // Removes and deletes every grip (the scene does this before it tears down
    // what the grips talk to).
    void clear();

    // The grips of an item, null when it has none.
    const QList<DGrip*>* grips(const DGraphicsItem* item) const { return m_grips.value(item, nullptr); }
    QList<const DGraphicsItem*> items() const { return m_grips.keys(); }

private:
    DGraphicsScene* m_scene;
    QMap<const DGraphicsItem*, QList<DGrip*>*> m_grips;
};

#endif // DGRIPMANAGER_H
