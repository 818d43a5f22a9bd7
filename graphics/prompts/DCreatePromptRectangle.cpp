#include "DCreatePromptRectangle.h"

#include <QGraphicsSceneMouseEvent>

#include "DCursor.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsScene.h"

DCreatePromptRectangle::DCreatePromptRectangle()
{
}

DGraphicsItemRectangle* DCreatePromptRectangle::sample() const
{
    return qobject_cast<DGraphicsItemRectangle*>(m_pSample.data());
}

DGraphicsItem* DCreatePromptRectangle::createSample() const
{
    return new DGraphicsItemRectangle();
}

bool DCreatePromptRectangle::mousePress(QGraphicsSceneMouseEvent* event)
{
    const QVector3D p = toVector(event->scenePos());
    switch (event->button()) {
    case Qt::LeftButton:
        if (m_pSample)
            return false;
        resetSample();
        if (DGraphicsItemRectangle* rectangle = sample()) {
            rectangle->setFillImage(m_fillImage, QPixmap());
            rectangle->setPoint1(p);
        }
        if (m_pScene)
            m_pScene->cursor().setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return true;
    case Qt::RightButton:
        dropSampleOrCancel();
        return true;
    default:
        return false;
    }
}

bool DCreatePromptRectangle::mouseMove(QGraphicsSceneMouseEvent* event)
{
    DCreatePrompt::mouseMove(event);
    if (!m_pScene)
        return true;
    const QPointF p = event->scenePos();
    if (DGraphicsItemRectangle* rectangle = sample()) {
        rectangle->setPoint2(toVector(p));
        const QRectF b = rectangle->boundary();
        m_pScene->cursor().updateText(tr("Width: %1\nHeight: %2").arg(b.width()).arg(b.height()));
    } else {
        m_pScene->cursor().updateText(positionText(p));
    }
    return true;
}

bool DCreatePromptRectangle::mouseRelease(QGraphicsSceneMouseEvent* event)
{
    DGraphicsItemRectangle* rectangle = sample();
    if (event->button() != Qt::LeftButton || !rectangle)
        return false;
    rectangle->setPoint2(toVector(event->scenePos()));
    finish();
    return true;
}
