#include "DEventFilter.h"

#include "DCanvas.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"

DEventFilter::DEventFilter()
    : QObject(nullptr)
    , m_nPriority(2)
    , m_pScene(nullptr)
    , m_pCanvas(nullptr)
    , m_bActive(true)
{
}

void DEventFilter::start(DCanvas* canvas)
{
    if (!canvas || !canvas->scene())
        return;
    m_pScene = canvas->scene();
    m_pCanvas = canvas;
    m_pScene->startEventFilter(this);
    onStart();
}

void DEventFilter::onStart()
{
}

void DEventFilter::onRemoved()
{
}

QPointF DEventFilter::mapToScene(const QPoint& point) const
{
    if (!m_pCanvas || !m_pCanvas->view())
        return QPointF(point);
    return m_pCanvas->view()->mapToScene(point);
}
