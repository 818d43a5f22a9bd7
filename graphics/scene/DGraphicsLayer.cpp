#include "DGraphicsLayer.h"

#include "DGraphicsItem.h"
#include "DGraphicsScene.h"

DGraphicsLayer::DGraphicsLayer(DGraphicsScene* scene)
    : QGraphicsScene(nullptr)
    , m_scene(scene)
{
    connect(this, &DGraphicsLayer::itemChanged, m_scene, &DGraphicsScene::onPersistentItemChanged,
            Qt::QueuedConnection);
    connect(this, &QGraphicsScene::changed, m_scene, &DGraphicsScene::onLayerChanged);
    connect(this, &QGraphicsScene::selectionChanged, this, &DGraphicsLayer::onSelectionChanged);
}

DGraphicsLayer::~DGraphicsLayer()
{
    // The items go while this is still a layer, so that each one can leave it
    // properly; nothing is told of the selection changes of the teardown.
    m_tearingDown = true;
    blockSignals(true);
    clear();
}

void DGraphicsLayer::addItem(DGraphicsItem* item)
{
    QGraphicsScene::addItem(item);
    item->setPersistent(true);
}

void DGraphicsLayer::removeItem(DGraphicsItem* item)
{
    if (item->scene() == this)
        forgetItem(item);
    QGraphicsScene::removeItem(item);
    item->setPersistent(false);
}

void DGraphicsLayer::onItemChanged(DGraphicsItem* item)
{
    if (item->layer() != this)
        return;
    ++m_pendingChanges[item];
    emit itemChanged(item);
}

void DGraphicsLayer::forgetItem(DGraphicsItem* item)
{
    m_pendingChanges.remove(item);
    if (!m_tearingDown)
        m_scene->onPersistentItemLeaving(item);
}

bool DGraphicsLayer::takePendingChange(DGraphicsItem* item)
{
    auto it = m_pendingChanges.find(item);
    if (it == m_pendingChanges.end())
        return false;
    if (--it.value() == 0)
        m_pendingChanges.erase(it);
    return true;
}

QList<DGraphicsItem*> DGraphicsLayer::selectedItems() const
{
    QList<DGraphicsItem*> result;
    const QList<QGraphicsItem*> selected = QGraphicsScene::selectedItems();
    for (QGraphicsItem* item : selected)
        result.append(static_cast<DGraphicsItem*>(item));
    return result;
}

QList<DGraphicsItem*> DGraphicsLayer::items() const
{
    QList<DGraphicsItem*> result;
    const QList<QGraphicsItem*> all = QGraphicsScene::items();
    for (QGraphicsItem* item : all)
        result.append(static_cast<DGraphicsItem*>(item));
    return result;
}

void DGraphicsLayer::show()
{
    setVisible(true);
}

void DGraphicsLayer::hide()
{
    setVisible(false);
}

void DGraphicsLayer::setVisible(bool visible)
{
    m_visible = visible;
    if (!visible)
        clearSelection();
    const QRectF page = m_scene->sceneRect();
    m_scene->invalidate(QRectF(0, 0, page.width(), page.height()), QGraphicsScene::BackgroundLayer);
}

void DGraphicsLayer::onSceneRectChanged(const QRectF& rect)
{
    setSceneRect(rect);
}

void DGraphicsLayer::onSelectionChanged()
{
    m_scene->onPersistentSelectionChanged(this);
}

void DGraphicsLayer::drawBackground(QPainter*, const QRectF&)
{
}

void DGraphicsLayer::drawForeground(QPainter*, const QRectF&)
{
}
