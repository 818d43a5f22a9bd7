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
    const QPointF p = event->scenePos();
    switch (event->button()) {
    case Qt::LeftButton:
        if (m_pSample)
            return false;
        resetSample();
        if (DGraphicsItemRectangle* rectangle = sample()) {
            rectangle->setFillImage(m_fillImage, QPixmap());
            rectangle->setPoint1(QVector3D(float(p.x()), float(p.y()), 0.0f));
        }
        if (m_pScene)
            m_pScene->cursor().setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return true;
    case Qt::RightButton:
        // During a drag only the sample goes: the user may start again.
        if (m_pSample)
            removeSample();
        else
            cancel();
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
        rectangle->setPoint2(QVector3D(float(p.x()), float(p.y()), 0.0f));
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
    const QPointF p = event->scenePos();
    rectangle->setPoint2(QVector3D(float(p.x()), float(p.y()), 0.0f));
    finish();
    return true;
}
