#include "DCreatePromptPolyline.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

#include "DCanvas.h"
#include "DCursor.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolyline.h"
#include "DGraphicsScene.h"

DCreatePromptPolyline::DCreatePromptPolyline()
{
}

DCreatePromptPolyline::~DCreatePromptPolyline()
{
    delete m_pRubberBand.data();
}

DGraphicsItemPolyline* DCreatePromptPolyline::sample() const
{
    return qobject_cast<DGraphicsItemPolyline*>(m_pSample.data());
}

DGraphicsItem* DCreatePromptPolyline::createSample() const
{
    return new DGraphicsItemPolyline();
}

void DCreatePromptPolyline::onStart()
{
    DCreatePrompt::onStart();
    if (m_pCanvas)
        m_pCanvas->showBalloon(tr("How To Draw Polyline/Polygon"),
                               tr(" - Single Click to add a point.<br> - Right Click or Double Click to finish.<br> - Press ESC key to cancel."),
                               Qt::AlignRight | Qt::AlignTop);
}

bool DCreatePromptPolyline::mousePress(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        return false; // a left press reaches the scene
    if (m_pSample)
        finish();
    else
        cancel();
    return true;
}

bool DCreatePromptPolyline::mouseRelease(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const QVector3D p = toVector(event->scenePos());
    if (!m_pSample) {
        resetSample();
        if (DGraphicsItemPolyline* polyline = sample())
            polyline->addPoint(p);
        delete m_pRubberBand;
        m_pRubberBand = new DGraphicsItemLine();
        if (m_pScene) {
            m_pScene->addActiveItem(m_pRubberBand);
            m_pScene->cursor().setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
    } else if (DGraphicsItemPolyline* polyline = sample()) {
        polyline->addPoint(p);
    }
    return true;
}

bool DCreatePromptPolyline::mouseDoubleClick(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    if (m_pSample)
        finish();
    return true;
}

bool DCreatePromptPolyline::mouseMove(QGraphicsSceneMouseEvent* event)
{
    DCreatePrompt::mouseMove(event);
    const QVector3D p = toVector(event->scenePos());
    DGraphicsItemPolyline* polyline = sample();
    if (polyline && m_pRubberBand && polyline->pointCount() > 0)
        m_pRubberBand->setLine(polyline->pointAt(polyline->pointCount() - 1), p);
    if (m_pScene)
        m_pScene->cursor().updateText(positionText(event->scenePos()));
    return true;
}

bool DCreatePromptPolyline::keyRelease(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Enter) {
        finish();
        return true;
    }
    return DCreatePrompt::keyRelease(event);
}

void DCreatePromptPolyline::onStop()
{
    DCreatePrompt::onStop();
    if (!m_pRubberBand)
        return;
    DGraphicsItemLine* band = m_pRubberBand.data();
    m_pRubberBand = nullptr;
    if (band->QGraphicsItem::scene())
        band->QGraphicsItem::scene()->removeItem(band);
    delete band;
}
