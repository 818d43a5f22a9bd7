#ifndef DGRAPHICSLAYER_H
#define DGRAPHICSLAYER_H

#include <QGraphicsScene>
#include <QHash>
#include <QList>

class DGraphicsItem;
class DGraphicsScene;

// One layer of a document: a scene of its own that no view shows. It holds the
// persistent items; the owning DGraphicsScene paints it as part of its
// background and hands it the events its own items leave.
class DGraphicsLayer : public QGraphicsScene
{
    Q_OBJECT
public:
    explicit DGraphicsLayer(DGraphicsScene* scene);
    ~DGraphicsLayer() override;

    DGraphicsScene* ownerScene() const { return m_scene; }
    bool isVisible() const { return m_visible; }

    // Takes the item in and marks it persistent / gives it up and clears the mark.
    void addItem(DGraphicsItem* item);
    void removeItem(DGraphicsItem* item);

    // Called by an item when its outermost change ends.
    void onItemChanged(DGraphicsItem* item);
    // Called when an item leaves this layer by any path, deletion included:
    // change notifications still queued for it are dropped.
    void forgetItem(DGraphicsItem* item);
    // True once for every queued change notification of the item; false when
    // the item has none pending (it left the layer, or was deleted).
    bool takePendingChange(DGraphicsItem* item);

    // The layer's own mouse-press handling, for the scene that passes on the
    // presses its own items leave.
    void deliverMousePress(QGraphicsSceneMouseEvent* event) { QGraphicsScene::mousePressEvent(event); }

    QList<DGraphicsItem*> selectedItems() const;
    QList<DGraphicsItem*> items() const;

signals:
    void itemChanged(DGraphicsItem* item);

public slots:
    void show();
    void hide();
    void setVisible(bool visible);
    void onSceneRectChanged(const QRectF& rect);
    void onSelectionChanged();

protected:
    // A layer renders its items and nothing else.
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    DGraphicsScene* m_scene;
    bool m_visible = true;
    bool m_tearingDown = false;
    QHash<const DGraphicsItem*, int> m_pendingChanges;
};

Q_DECLARE_METATYPE(const DGraphicsLayer*)

#endif // DGRAPHICSLAYER_H
