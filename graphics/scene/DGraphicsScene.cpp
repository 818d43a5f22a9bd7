#include "DGraphicsScene.h"

#include <QCoreApplication>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QRadialGradient>

#include "DCanvas.h"
#include "DCreatePrompt.h"
#include "DGraphicsBackgroundColor.h"
#include "DGraphicsItem.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsView.h"
#include "DRestorePenBrush.h"
#include "DUtility.h"

DGraphicsScene::DGraphicsScene()
    : QGraphicsScene(nullptr)
    , m_gripManager(this)
    , m_eventFilterList(this)
    , m_cursor(this)
    , m_background(new DGraphicsBackgroundColor(Qt::white))
    , m_snapSystem(this)
{
    setItemIndexMethod(QGraphicsScene::NoIndex);
    // Items and layers travel through queued connections and signal spies.
    qRegisterMetaType<DGraphicsItem*>();
    qRegisterMetaType<const DGraphicsItem*>();
    qRegisterMetaType<const DGraphicsLayer*>();
    installEventFilter(&m_eventFilterList);
    // Installed last so that it runs first: every mouse position is snapped
    // before the filter list, the prompts, the grips and the items read it.
    installEventFilter(&m_snapSystem);
}

DGraphicsScene::~DGraphicsScene()
{
    // The view and the canvas around this scene may already be half destroyed:
    // the selection changes of the teardown must reach nobody.
    m_tearingDown = true;
    blockSignals(true);
    // Grips go first: a hovered grip releases the drawn cursor, a dragged one
    // drops its ghost copy, while both are still whole.
    m_gripManager.clear();
    m_eventFilterList.clear();
    QObject::removeEventFilter(&m_eventFilterList);
    QObject::removeEventFilter(&m_snapSystem);
    qDeleteAll(m_layers);
    m_layers.clear();
    delete m_background;
    m_background = nullptr;
}

// ---------------------------------------------------------------------------
// View

DGraphicsView* DGraphicsScene::view() const
{
    const QList<QGraphicsView*> all = views();
    return all.isEmpty() ? nullptr : qobject_cast<DGraphicsView*>(all.first());
}

double DGraphicsScene::scale() const
{
    return scaleOf(this);
}

double DGraphicsScene::scaleOf(const QGraphicsScene* scene)
{
    if (!scene)
        return 1.0;
    const QList<QGraphicsView*> all = scene->views();
    if (all.isEmpty())
        return 1.0;
    // The length of a unit step under the view's transform: the zoom alone
    // would miss a scale set beside it.
    const QTransform t = all.first()->transform();
    const double s = QLineF(t.map(QPointF(0, 0)), t.map(QPointF(1, 0))).length();
    return s > 0.0 ? s : 1.0;
}

double DGraphicsScene::devicePixelScaleOf(const QGraphicsScene* scene)
{
    const QList<QGraphicsView*> all = scene ? scene->views() : QList<QGraphicsView*>();
    const double ratio = all.isEmpty() ? 1.0 : all.first()->viewport()->devicePixelRatioF();
    return scaleOf(scene) * ratio;
}

QRectF DGraphicsScene::visibleRect() const
{
    const QList<QGraphicsView*> all = views();
    if (all.isEmpty())
        return QRectF();
    const QGraphicsView* v = all.first();
    const QWidget* port = v->viewport();
    QRectF r = v->mapToScene(QRect(0, 0, port->width(), port->height())).boundingRect();
    r.setWidth(r.width() - 1.0);
    r.setHeight(r.height() - 1.0);
    return r;
}

// ---------------------------------------------------------------------------
// Layers and items

void DGraphicsScene::createLayer()
{
    DGraphicsLayer* layer = new DGraphicsLayer(this);
    m_layers.append(layer);
    layer->setSceneRect(sceneRect());
    connect(this, &QGraphicsScene::sceneRectChanged, layer, &DGraphicsLayer::onSceneRectChanged);
}

DGraphicsLayer* DGraphicsScene::activeLayer() const
{
    if (m_layers.isEmpty())
        const_cast<DGraphicsScene*>(this)->createLayer();
    return m_layers.first();
}

QList<DGraphicsLayer*> DGraphicsScene::visibleLayers() const
{
    // A hidden layer is not there for the user: it is not painted, and
    // nothing of it may be picked, moved or hovered either (the capture
    // overlay hides the document while a capture prompt passes clicks on).
    QList<DGraphicsLayer*> visible;
    for (DGraphicsLayer* layer : m_layers) {
        if (layer->isVisible())
            visible.append(layer);
    }
    return visible;
}

void DGraphicsScene::addPersistenItem(DGraphicsItem* item, bool select)
{
    activeLayer()->addItem(item);
    item->setSelected(select);
    invalidate(item->sceneBoundingRect(), QGraphicsScene::BackgroundLayer);
    emit persistentItemAdded(item);
    m_snapSystem.add(item);
}

void DGraphicsScene::removePersistenItem(DGraphicsItem* item)
{
    DGraphicsLayer* layer = item->layer();
    if (!layer || !item->isPersistent())
        return;
    m_snapSystem.remove(item);
    invalidate(item->sceneBoundingRect(), QGraphicsScene::BackgroundLayer);
    emit persistentItemRemoving(item);
    layer->removeItem(item);
    item->deleteLater();
}

void DGraphicsScene::onPersistentItemLeaving(DGraphicsItem* item)
{
    // Only the pointer is used: the item may be half destroyed by now.
    m_snapSystem.remove(item);
    m_gripManager.removeGrips(item);
}

void DGraphicsScene::addActiveItem(DGraphicsItem* item)
{
    QGraphicsScene::addItem(item);
}

void DGraphicsScene::removeActiveItem(DGraphicsItem* item)
{
    QGraphicsScene::removeItem(item);
}

// ---------------------------------------------------------------------------
// Event filters

void DGraphicsScene::startEventFilter(DEventFilter* filter)
{
    m_eventFilterList.add(filter);
}

void DGraphicsScene::removeEventFilter(DEventFilter* filter)
{
    m_eventFilterList.remove(filter);
}

void DGraphicsScene::cancelCurrentPrompt()
{
    m_eventFilterList.removeByType(&DCreatePrompt::staticMetaObject);
}

void DGraphicsScene::onCreatePromptFinished(DCreatePrompt* prompt)
{
    // Queued: the prompt may have left the list meanwhile (a newer prompt
    // replaced it) and may even be deleted already, so the pointer is never
    // followed: it is only compared with the live entries. An ended prompt is
    // inactive; a new one that happens to sit at the same address is not.
    for (const DEventFilterPointer& entry : qAsConst(m_eventFilterList)) {
        DCreatePrompt* listed = qobject_cast<DCreatePrompt*>(entry.data());
        if (listed && listed == prompt && !listed->isActive()) {
            removeEventFilter(listed);
            return;
        }
    }
}

bool DGraphicsScene::isFilterAllowed(QEvent* event) const
{
    const int type = event->type();
    const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
    const bool sceneEvent = type >= QEvent::GraphicsSceneMouseMove && type <= QEvent::GraphicsSceneWheel;
    return (key || sceneEvent) && !views().isEmpty();
}

// ---------------------------------------------------------------------------
// Snap lines

void DGraphicsScene::snapped(const DSnapLine& line)
{
    if (view())
        invalidate(line.rect(visibleRect()), QGraphicsScene::ForegroundLayer);
    m_snapLines.append(line);
}

void DGraphicsScene::clearSnapLines()
{
    if (view()) {
        const QRectF visible = visibleRect();
        for (const DSnapLine& line : qAsConst(m_snapLines))
            invalidate(line.rect(visible), QGraphicsScene::ForegroundLayer);
    }
    m_snapLines.clear();
}

// ---------------------------------------------------------------------------
// Notifications

void DGraphicsScene::onDynamicSelectionChanged()
{
}

void DGraphicsScene::onPersistentSelectionChanged(const DGraphicsLayer* layer)
{
    if (m_tearingDown)
        return;
    m_gripManager.createGrips(layer, layer->selectedItems());
    emit persistentSelectionChanged(layer);
    if (DGraphicsView* v = view()) {
        // Hover and the drawn cursor follow the new grips at once.
        v->replayMouseMoveEvent();
        if (DCanvas* canvas = v->canvas())
            canvas->onPersistentSelectionChanged(layer);
    }
}

void DGraphicsScene::onPersistentItemChanged(DGraphicsItem* item)
{
    // Only a notification that its layer still holds for the item is acted on:
    // an item that left its layer or was deleted took its notifications along.
    bool pending = false;
    for (DGraphicsLayer* layer : qAsConst(m_layers)) {
        if (layer->takePendingChange(item)) {
            pending = true;
            break;
        }
    }
    if (!pending || m_tearingDown || !item->isPersistent())
        return;
    m_gripManager.updateGrips(item);
    emit persistentItemChanged(item);
    m_snapSystem.remove(item);
    m_snapSystem.add(item);
    if (DGraphicsView* v = view())
        v->replayMouseMoveEvent();
}

void DGraphicsScene::onLayerChanged(const QList<QRectF>& rects)
{
    for (const QRectF& r : rects)
        invalidate(r, QGraphicsScene::BackgroundLayer);
}

void DGraphicsScene::onGripDragStarted()
{
    // Nested or overlapping drags reach the canvas as one start and one end.
    if (m_tearingDown)
        return;
    if (++m_gripDragDepth != 1)
        return;
    if (DGraphicsView* v = view()) {
        if (DCanvas* canvas = v->canvas())
            canvas->onGripDragStarted();
    }
}

void DGraphicsScene::onGripDragEnded()
{
    if (m_tearingDown)
        return;
    if (--m_gripDragDepth != 0)
        return;
    if (DGraphicsView* v = view()) {
        if (DCanvas* canvas = v->canvas())
            canvas->onGripDragEnded();
    }
}

// ---------------------------------------------------------------------------
// Events

bool DGraphicsScene::event(QEvent* event)
{
    const bool result = QGraphicsScene::event(event);
    if (event->isAccepted())
        return result;
    for (DGraphicsLayer* layer : visibleLayers()) {
        QCoreApplication::sendEvent(layer, event);
        if (event->isAccepted())
            break;
    }
    return result;
}

void DGraphicsScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    // A press while the drawn cursor sits on a grip goes to the grip.
    if (m_cursor.isBinded()) {
        const QPointF offset = m_cursor.pos() - event->scenePos();
        event->setScenePos(m_cursor.pos());
        event->setScreenPos(QPoint(qRound(event->screenPos().x() + offset.x()),
                                   qRound(event->screenPos().y() + offset.y())));
    }
    QGraphicsScene::mousePressEvent(event);
    if (event->isAccepted())
        return;
    for (DGraphicsLayer* layer : visibleLayers()) {
        layer->deliverMousePress(event);
        if (event->isAccepted())
            return;
    }
}

// ---------------------------------------------------------------------------
// Painting

void DGraphicsScene::setSize(int width, int height)
{
    const QRectF page(0, 0, width, height);
    setSceneRect(page);
    for (DGraphicsLayer* layer : qAsConst(m_layers))
        layer->setSceneRect(page);
}

void DGraphicsScene::setBackground(DGraphicsBackground* background)
{
    if (background != m_background) {
        delete m_background;
        m_background = background;
    }
    const QRectF page = sceneRect();
    invalidate(QRectF(0, 0, page.width(), page.height()), QGraphicsScene::BackgroundLayer);
}

void DGraphicsScene::drawBackground(QPainter* painter, const QRectF& exposed)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QRectF e = exposed.adjusted(-1.0, -1.0, 1.0, 1.0);
    const QRectF page = sceneRect();
    if (!page.contains(e))
        drawMarginAndShadow(painter, e);

    if (m_background)
        m_background->paint(painter, e & page);

    const double s = devicePixelScaleOf(this);
    painter->translate(0.5 / s, 0.5 / s);
    for (DGraphicsLayer* layer : visibleLayers())
        layer->render(painter, e, e, Qt::KeepAspectRatio);
    painter->translate(-0.5 / s, -0.5 / s);
}

void DGraphicsScene::drawMarginAndShadow(QPainter* painter, const QRectF& e)
{
    DRestorePenBrush restore(*painter);
    const QRectF page = sceneRect();
    const double w = page.width();
    const double h = page.height();

    QPainterPath margin;
    margin.addRect(e);
    QPainterPath pagePath;
    pagePath.addRect(page);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(205, 209, 214));
    painter->drawPath(margin.subtracted(pagePath));

    // The shadow is 10 pixels wide on screen at every zoom.
    const QTransform t = painter->transform();
    const double sx = 10.0 / t.m11();
    const double sy = 10.0 / t.m22();
    const QColor dark(167, 174, 182, 255);
    const QColor clear(167, 174, 182, 0);

    auto linear = [&](const QRectF& r, const QPointF& from, const QPointF& to) {
        if (!r.intersects(e))
            return;
        QLinearGradient g(from, to);
        g.setColorAt(0, dark);
        g.setColorAt(1, clear);
        painter->setBrush(g);
        painter->drawRect(r);
    };
    auto radial = [&](const QRectF& r, const QPointF& centre) {
        if (!r.intersects(e))
            return;
        QRadialGradient g(centre, sx, centre);
        g.setColorAt(0, dark);
        g.setColorAt(1, clear);
        painter->setBrush(g);
        painter->drawRect(r);
    };

    linear(QRectF(0, -sy, w, sy), QPointF(0, 0), QPointF(0, -sy));
    linear(QRectF(0, h, w, sy), QPointF(0, h), QPointF(0, h + sy));
    linear(QRectF(-sx, 0, sx, h), QPointF(0, 0), QPointF(-sx, 0));
    linear(QRectF(w, 0, sx, h), QPointF(w, 0), QPointF(w + sx, 0));
    radial(QRectF(-sx, -sy, sx, sy), QPointF(0, 0));
    radial(QRectF(w, -sy, sx, sy), QPointF(w, 0));
    radial(QRectF(-sx, h, sx, sy), QPointF(0, h));
    radial(QRectF(w, h, sx, sy), QPointF(w, h));
}

void DGraphicsScene::drawForeground(QPainter* painter, const QRectF& exposed)
{
    for (const DSnapLine& line : qAsConst(m_snapLines))
        if (line.intersects(exposed))
            line.paint(painter, exposed);
    m_cursor.paint(painter, nullptr, nullptr);
}

// ---------------------------------------------------------------------------
// Content

void DGraphicsScene::commitTextEditing()
{
    for (DGraphicsLayer* layer : qAsConst(m_layers)) {
        const QList<DGraphicsItem*> items = layer->items();
        for (DGraphicsItem* item : items) {
            if (DGraphicsItemText* text = qobject_cast<DGraphicsItemText*>(item)) {
                if (text->isEditing())
                    text->stopEditing();
            }
        }
    }
}

QRectF DGraphicsScene::contentBounds() const
{
    QRectF bounds;
    for (DGraphicsLayer* layer : m_layers)
        bounds |= DUtility::calcSceneBoundary(layer->items());
    return bounds;
}

void DGraphicsScene::renderContentTo(QPainter& painter)
{
    commitTextEditing();
    const QRectF b = contentBounds();
    if (!(b.width() > 0.0) || !(b.height() > 0.0))
        return;
    // Whole pixels of the scene: a screenshot in the content keeps its pixels.
    const QRect pixels = DUtility::pixelsCoveredBy(b);
    const QRectF source(pixels.x() - 0.5, pixels.y() - 0.5, pixels.width(), pixels.height());
    const QRectF target(0, 0, pixels.width(), pixels.height());
    for (DGraphicsLayer* layer : qAsConst(m_layers)) {
        // Selection marks are no part of the content. The selection comes back
        // unchanged, so nobody is told of the round trip.
        const QSignalBlocker blocker(layer);
        const QList<DGraphicsItem*> selected = layer->selectedItems();
        for (DGraphicsItem* item : selected)
            item->setSelected(false);
        layer->render(&painter, target, source, Qt::KeepAspectRatio);
        for (DGraphicsItem* item : selected)
            item->setSelected(true);
    }
}

void DGraphicsScene::renderContentTo(QImage& image)
{
    commitTextEditing();
    const QRectF b = contentBounds();
    if (!(b.width() > 0.0) || !(b.height() > 0.0))
        return;
    image = QImage(DUtility::pixelsCoveredBy(b).size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderContentTo(painter);
}

void DGraphicsScene::onPrint(QPrinter* printer)
{
    QImage image;
    renderContentTo(image);
    if (image.isNull())
        return;
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRect target = printTargetRect(page.size(), image.size());
    if (target.isEmpty())
        return;
    QPainter painter(printer);
    painter.drawImage(target, image, QRect(0, 0, image.width(), image.height()));
}

QRect DGraphicsScene::printTargetRect(const QSizeF& page, const QSize& image)
{
    const double pw = page.width();
    const double ph = page.height();
    const double iw = image.width();
    const double ih = image.height();
    // A printer without a page has nowhere to put the content.
    if (!(pw > 0.0) || !(ph > 0.0))
        return QRect();
    const double rw = iw / pw;
    const double rh = ih / ph;
    // Content that fits is printed at its size, centred; larger content is
    // scaled down to the page, centred along the other direction.
    if (!(rw > 1.0) && !(rh > 1.0))
        return QRect(int(0.5 * (pw - iw)), int(0.5 * (ph - ih)), int(iw), int(ih));
    if (rw > rh)
        return QRect(0, int(0.5 * (ph - ih / rw)), int(pw), int(ih / rw));
    return QRect(int(0.5 * (pw - iw / rh)), 0, int(iw / rh), int(ph));
}
