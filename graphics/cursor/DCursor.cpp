#include "DCursor.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGraphicsScene>
#include <QPainter>
#include <QTransform>

#include "DCursorGraphics.h"
#include "DCursorGraphicsCross.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DGraphicsItem.h"
#include "DGrip.h"
#include "DPainterAntiScale.h"
#include "DRestorePainter.h"
#include "DUtility.h"

namespace {
const double kLabelDistance = 5.0;
}

DCursor::DCursor(DGraphicsScene* scene)
    : QGraphicsObject(nullptr)
    , m_pScene(scene)
    , m_bSystemCursorHidden(false)
{
}

DCursor::~DCursor()
{
    qDeleteAll(m_graphics);
    m_graphics.clear();
}

QWidget* DCursor::viewport() const
{
    DGraphicsView* view = m_pScene ? m_pScene->view() : nullptr;
    return view ? view->viewport() : nullptr;
}

DCursorGraphics* DCursor::currentGraphics() const
{
    return m_graphics.isEmpty() ? nullptr : m_graphics.last();
}

void DCursor::update()
{
    if (m_graphics.isEmpty() || !m_pScene)
        return;
    m_pScene->invalidate(sceneBoundingRect(), QGraphicsScene::ForegroundLayer);
}

QRectF DCursor::sceneBoundingRect() const
{
    return boundingRect().translated(pos());
}

void DCursor::setGraphics(DCursorGraphics* graphics, bool hideSystemCursor)
{
    if (!graphics)
        return;
    QWidget* port = viewport();
    if (hideSystemCursor && !m_bSystemCursorHidden && port)
        this->hideSystemCursor(port);
    update();
    m_graphics.append(graphics);
    DGraphicsView* view = m_pScene ? m_pScene->view() : nullptr;
    if (view)
        updateScenePos(view->mapToScene(view->viewport()->mapFromGlobal(QCursor::pos())));
    update();
}

void DCursor::unsetGraphics(bool restoreSystemCursor)
{
    if (m_graphics.isEmpty())
        return;
    update();
    delete m_graphics.takeLast();
    update();
    if (restoreSystemCursor && m_bSystemCursorHidden)
        this->restoreSystemCursor(viewport());
}

// The view keeps the viewport's cursor itself: when the pointer enters an
// item with a cursor of its own it remembers the viewport's cursor as the
// view's own and shows the item's; when the pointer leaves, it puts the
// remembered one back. A blank cursor set on the viewport behind the view's
// back is therefore lost on the next crossing, or remembered as the view's
// own and brought back long after the drawn cursor is gone. So the blank
// cursor goes through the view's own bookkeeping (the slots QGraphicsItem
// uses to tell the view about cursor changes), and the view keeps knowing
// which cursor is its own.
void DCursor::hideSystemCursor(QWidget* port)
{
    m_bSystemCursorHidden = true;
    m_savedCursor = port->cursor();
    blankViewport(port);
    port->installEventFilter(this);
}

void DCursor::blankViewport(QWidget* port)
{
    if (!QMetaObject::invokeMethod(m_pScene->view(), "_q_setViewportCursor", Qt::DirectConnection,
                                   Q_ARG(QCursor, QCursor(Qt::BlankCursor))))
        port->setCursor(Qt::BlankCursor);
}

void DCursor::restoreSystemCursor(QWidget* port)
{
    m_bSystemCursorHidden = false;
    if (!port)
        return;
    port->removeEventFilter(this);
    // The view shows what it would have shown without the drawn cursor: the
    // cursor of the item under the pointer, or its own.
    if (!QMetaObject::invokeMethod(m_pScene->view(), "_q_unsetViewportCursor", Qt::DirectConnection))
        port->setCursor(m_savedCursor);
}

bool DCursor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::CursorChange && m_bSystemCursorHidden && watched == viewport()
        && viewport()->cursor().shape() != Qt::BlankCursor) {
        // Blanking again sends one more CursorChange, with the blank
        // cursor, which ends here.
        blankViewport(viewport());
    }
    return QGraphicsObject::eventFilter(watched, event);
}

void DCursor::updateText(const QString& text)
{
    update();
    m_text = text;
    update();
}

void DCursor::setTextAlignment(Qt::Alignment alignment)
{
    if (m_graphics.isEmpty())
        return;
    update();
    m_graphics.last()->setAlignment(alignment);
    update();
}

void DCursor::updatePos(const QPointF& scenePos)
{
    update();
    setPos(scenePos);
    update();
}

void DCursor::updateScenePos(const QPointF& scenePos)
{
    if (m_graphics.isEmpty() || isBinded())
        return;
    updatePos(scenePos);
}

void DCursor::bind(DGrip* grip)
{
    if (!grip)
        return;
    m_bindingGrips.append(grip);
    setGraphics(new DCursorGraphicsCross, false);
    updatePos(grip->scenePos());
    if (DGraphicsView* view = m_pScene ? m_pScene->view() : nullptr)
        QCursor::setPos(view->viewport()->mapToGlobal(view->mapFromScene(grip->scenePos())));
    connect(grip, SIGNAL(moved(DGrip*,DGraphicsItem*)), this, SLOT(onBindingObjectMoved(DGrip*,DGraphicsItem*)));
    // A grip deleted while the cursor sits on it must not leave the cursor
    // bound to nothing.
    QObject* object = grip;
    m_bindingObjects.append(object);
    connect(object, &QObject::destroyed, this, [this](QObject* gone) { dropDestroyedGrip(gone); });
}

void DCursor::unbind(DGrip* grip)
{
    if (grip) {
        disconnect(grip, SIGNAL(moved(DGrip*,DGraphicsItem*)), this, SLOT(onBindingObjectMoved(DGrip*,DGraphicsItem*)));
        disconnect(grip, &QObject::destroyed, this, nullptr);
    }
    // An unbind without a binding (the grip was destroyed and dropped
    // already) must not take away the cross-hair of a running prompt.
    if (m_bindingGrips.isEmpty())
        return;
    m_bindingGrips.removeLast();
    m_bindingObjects.removeLast();
    unsetGraphics(false);
}

void DCursor::dropDestroyedGrip(QObject* grip)
{
    for (int i = m_bindingObjects.count() - 1; i >= 0; --i) {
        if (m_bindingObjects.at(i) != grip)
            continue;
        m_bindingObjects.removeAt(i);
        m_bindingGrips.removeAt(i);
        unsetGraphics(false);
    }
}

void DCursor::onBindingObjectMoved(DGrip* grip, DGraphicsItem*)
{
    if (grip)
        updatePos(grip->scenePos());
}

QRectF DCursor::boundingRect() const
{
    if (m_graphics.isEmpty())
        return QRectF(0, 0, 0, 0);
    QRectF rect = m_graphics.last()->boundingRect();
    const double s = m_pScene ? m_pScene->scale() : 1.0;
    if (!m_text.isEmpty() && m_pScene && m_pScene->view()) {
        const QTransform toView = QTransform::fromScale(s, s);
        const QSize textSize = QFontMetrics(QApplication::font()).size(0, m_text);
        const QRectF anchor = toView.mapRect(QRectF(pos(), QSizeF(0, 0)));
        const QRectF bound = toView.mapRect(m_pScene->visibleRect());
        const QPointF corner = DUtility::calcBestPosition(bound, anchor, QSizeF(textSize),
                                                          kLabelDistance, kLabelDistance);
        m_labelRect = QRectF(corner.x() - 2, corner.y() - 2, textSize.width() + 5, textSize.height() + 5)
                          .translated(-toView.map(pos()));
        rect |= m_labelRect;
    }
    return QTransform::fromScale(1.0 / s, 1.0 / s).mapRect(rect);
}

void DCursor::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (m_graphics.isEmpty() || !painter)
        return;
    DRestorePainter restore(*painter);
    painter->translate(pos());
    DPainterAntiScale antiScale(*painter);
    DUtility::FixPainterAlias(painter);
    m_graphics.last()->paint(painter, m_text, m_labelRect);
}
