#include "DCreatePromptLine.h"

#include <QGraphicsSceneMouseEvent>

#include "DCursor.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsScene.h"

DCreatePromptLine::DCreatePromptLine()
{
}

DGraphicsItemLine* DCreatePromptLine::sample() const
{
    return qobject_cast<DGraphicsItemLine*>(m_pSample.data());
}

DGraphicsItem* DCreatePromptLine::createSample() const
{
    return new DGraphicsItemLine();
}

bool DCreatePromptLine::mousePress(QGraphicsSceneMouseEvent* event)
{
    const QVector3D p = toVector(event->scenePos());
    switch (event->button()) {
    case Qt::LeftButton:
        if (m_pSample)
            return DCreatePrompt::mousePress(event);
        resetSample();
        if (DGraphicsItemLine* line = sample())
            line->setLine(p, p);
        return true;
    case Qt::RightButton:
        dropSampleOrCancel();
        return true;
    default:
        return DCreatePrompt::mousePress(event);
    }
}

bool DCreatePromptLine::mouseMove(QGraphicsSceneMouseEvent* event)
{
    DCreatePrompt::mouseMove(event);
    if (!m_pScene)
        return true;
    if (DGraphicsItemLine* line = sample()) {
        line->setEndPoint(toVector(event->scenePos()));
        m_pScene->cursor().updateText(tr("Length: %1").arg(line->length()));
    } else {
        m_pScene->cursor().updateText(positionText(event->scenePos()));
    }
    return true;
}

bool DCreatePromptLine::mouseRelease(QGraphicsSceneMouseEvent* event)
{
    DGraphicsItemLine* line = sample();
    if (event->button() == Qt::LeftButton && line) {
        line->setEndPoint(toVector(event->scenePos()));
        finish();
    }
    return true;
}
