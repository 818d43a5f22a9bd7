#include "DGrip.h"

#include <QGraphicsSceneHoverEvent>
#include <QPainter>
#include <QtMath>

#include "DCursor.h"
#include "DGraphicsItem.h"
#include "DGraphicsScene.h"
#include "DGripAdditionalGraphics.h"
#include "DGripConstraint.h"
#include "DGripData.h"
#include "DGripFactoryAbstract.h"
#include "DPainterAntiScale.h"
#include "DUtility.h"

DGrip::DGrip(DGraphicsItem* item)
    : QGraphicsObject(nullptr), m_item(item)
{
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFlags(ItemIsMovable | ItemIgnoresParentOpacity | ItemSendsGeometryChanges);
    setCursor(Qt::BlankCursor); // the drawn cursor stands in for the system one
}

DGrip::~DGrip()
{
    cleanMovingItem();
    delete m_constraint;
    delete m_additionalGraphics;
    delete m_data;
}

const QPainterPath& DGrip::glyph() const
{
    return DGripGlyph::get()->getStockGlyph(m_glyph);
}

DGraphicsScene* DGrip::scene() const
{
    return qobject_cast<DGraphicsScene*>(QGraphicsObject::scene());
}

void DGrip::setBasePoint(const QVector3D& point)
{
    m_basePoint = point;
    setPos(point.x(), point.y());
}

void DGrip::setGripData(DGripData* data)
{
    if (data == m_data)
        return;
    delete m_data;
    m_data = data;
}

void DGrip::setConstraint(DGripConstraint* constraint)
{
    if (constraint == m_constraint)
        return;
    delete m_constraint;
    m_constraint = constraint;
}

void DGrip::setAdditionalGraphics(DGripAdditionalGraphics* graphics)
{
    if (graphics == m_additionalGraphics)
        return;
    delete m_additionalGraphics;
    m_additionalGraphics = graphics;
}

QTransform DGrip::glyphRotation() const
{
    return QTransform().rotate(qAtan2(m_direction.y(), m_direction.x()) * 180.0 / 3.141592653589793);
}

QRectF DGrip::boundingRect() const
{
    // The glyph as it is painted, turned along the direction: a bar across a
    // top or bottom edge is wider than high.
    const QRectF rect = glyphRotation().map(glyph()).boundingRect().adjusted(-3, -3, 3, 3);
    const DGraphicsScene* s = scene();
    if (!s || !s->view())
        return rect;
    const double scale = s->scale();
    return QTransform::fromScale(1.0 / scale, 1.0 / scale).mapRect(rect);
}

void DGrip::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    painter->setOpacity(0.85);
    painter->setBrush(QBrush(m_fillColor, Qt::SolidPattern));
    QPen pen(m_penColor);
    pen.setCosmetic(true);
    painter->setPen(pen);
    {
        DPainterAntiScale antiScale(*painter);
        DUtility::FixPainterAlias(painter);
        painter->setTransform(glyphRotation(), true);
        painter->drawPath(glyph());
    }
    painter->restore();
}

void DGrip::cleanMovingItem()
{
    if (!m_movingItem)
        return;
    if (DGraphicsScene* s = scene())
        s->removeActiveItem(m_movingItem);
    delete m_movingItem;
    m_movingItem = nullptr;
}

void DGrip::dragOperation(DD::enumGripDragStatus status, const QVector3D& position)
{
    const DD::enumGripDragStatus current = m_dragStatus;
    switch (status) {
    case DD::GripDragStarted:
        if (m_factory)
            emit m_factory->dragStarted();
        break;
    case DD::GripDragMoving: {
        m_offset = position - m_basePoint;
        if (m_constraint) {
            const QVector2D filtered = m_constraint->filtered(m_offset);
            m_offset = QVector3D(filtered.x(), filtered.y(), 0.0f);
        }
        cleanMovingItem();
        DGraphicsScene* s = scene();
        DGraphicsItem* copy = m_item ? m_item->clone() : nullptr;
        if (copy) {
            copy->setOpacity(m_item->opacity() * 0.5);
            m_movingItem = copy;
            if (s)
                s->addActiveItem(copy);
            emit moved(this, copy);
        }
        break;
    }
    case DD::GripDragEnded:
        if (current == DD::GripDragMoving) {
            if (m_item)
                emit moved(this, m_item);
            cleanMovingItem();
            if (m_factory)
                emit m_factory->dragEnded();
        } else if (current == DD::GripDragStarted) {
            if (m_factory)
                emit m_factory->dragEnded();
        }
        break;
    case DD::GripDragIdle:
        break;
    }

    if (status != current) {
        m_dragStatus = status;
        emit dragStatusChanged(status);
        if (m_dragStatus == DD::GripDragEnded) {
            m_dragStatus = DD::GripDragIdle;
            emit dragStatusChanged(DD::GripDragIdle);
        }
    }
}

void DGrip::abandonDrag()
{
    if (m_dragStatus == DD::GripDragIdle)
        return;
    cleanMovingItem();
    m_dragStatus = DD::GripDragIdle;
    if (m_factory)
        emit m_factory->dragEnded();
    emit dragStatusChanged(DD::GripDragIdle);
}

void DGrip::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    if (DGraphicsScene* s = scene()) {
        s->cursor().bind(this);
        m_hovered = true;
    }
    QGraphicsObject::hoverEnterEvent(event);
}

void DGrip::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    releaseCursor();
    QGraphicsObject::hoverLeaveEvent(event);
}

void DGrip::hoverMoveEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsObject::hoverMoveEvent(event);
}

void DGrip::releaseCursor()
{
    if (!m_hovered)
        return;
    m_hovered = false;
    if (DGraphicsScene* s = scene())
        s->cursor().unbind(this);
}

bool DGrip::sceneEvent(QEvent* event)
{
    if (event->type() == QEvent::GrabMouse)
        dragOperation(DD::GripDragStarted, QVector3D());
    else if (event->type() == QEvent::UngrabMouse)
        dragOperation(DD::GripDragEnded, QVector3D());
    return QGraphicsObject::sceneEvent(event);
}

QVariant DGrip::itemChange(GraphicsItemChange change, const QVariant& value)
{
    DGraphicsScene* s = scene();
    if (!s)
        return QGraphicsObject::itemChange(change, value);

    switch (change) {
    case ItemPositionChange: {
        // Keep the grip inside what the view shows, so it can never be lost.
        if (!s->view())
            break;
        QPointF p = value.toPointF();
        const QRectF r = s->visibleRect();
        if (!r.contains(p)) {
            if (p.x() < r.left())
                p.setX(r.left());
            else if (p.x() > r.left() + r.width())
                p.setX(r.left() + r.width());
            if (p.y() < r.top())
                p.setY(r.top());
            else if (p.y() > r.top() + r.height())
                p.setY(r.top() + r.height());
        }
        return p;
    }
    case ItemPositionHasChanged: {
        const QPointF p = value.toPointF();
        dragOperation(DD::GripDragMoving, QVector3D(p.x(), p.y(), 0.0f));
        break;
    }
    case ItemSceneChange:
        dragOperation(DD::GripDragEnded, QVector3D());
        // Leaving the scene while hovered: release the drawn cursor now, while
        // the scene that holds it is still known.
        releaseCursor();
        break;
    default:
        break;
    }
    return QGraphicsObject::itemChange(change, value);
}
