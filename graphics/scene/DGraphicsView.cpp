#include "DGraphicsView.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>
#include <QMouseEvent>
#include <QTransform>
#include <QWheelEvent>

#include "DCanvas.h"
#include "DGraphicsScene.h"

namespace {
const int kScalingSteps = 50;
const double kScalingUnit = 0.2;
}

const QVector<double>& DGraphicsView::scalingCandidates()
{
    if (g_ScalingCandidate.isEmpty()) {
        g_ScalingCandidate.reserve(kScalingSteps);
        for (int k = 1; k <= kScalingSteps; ++k)
            g_ScalingCandidate.append(k * kScalingUnit);
    }
    return g_ScalingCandidate;
}

double DGraphicsView::nearestScale(double s)
{
    const QVector<double>& steps = scalingCandidates();
    int lo = 0;
    int hi = steps.count() - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (s < steps[mid])
            hi = mid;
        else
            lo = mid;
    }
    const double a = steps[lo];
    const double b = steps[hi];
    return (b - s <= s - a) ? b : a;
}

DGraphicsView::DGraphicsView(DCanvas* canvas)
    : QGraphicsView(canvas)
    , m_pScene(nullptr)
    , m_dScale(1.0)
{
    scalingCandidates();
    setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // Both the view and its viewport must track the mouse: hover, grips and
    // the drawn cursor follow moves without a button held.
    setAttribute(Qt::WA_MouseTracking);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setCacheMode(QGraphicsView::CacheBackground);
    setInteractive(true);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    m_pScene = new DGraphicsScene();
    setScene(m_pScene);
}

DGraphicsView::~DGraphicsView()
{
    DGraphicsScene* scene = m_pScene;
    m_pScene = nullptr;
    delete scene;
}

DCanvas* DGraphicsView::canvas() const
{
    return qobject_cast<DCanvas*>(parentWidget());
}

void DGraphicsView::setScale(double s)
{
    // Divide the current zoom out first, so that a rotation or shear stays and
    // zooming to the same step twice changes nothing.
    QTransform unscaled = QTransform().scale(1.0 / m_dScale, 1.0 / m_dScale) * transform();
    const double chosen = nearestScale(s);
    setTransform(unscaled.scale(chosen, chosen));
    m_dScale = chosen;
}

void DGraphicsView::replayMouseMoveEvent()
{
    const QPoint global = QCursor::pos();
    QMouseEvent event(QEvent::MouseMove, viewport()->mapFromGlobal(global), global,
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    mouseMoveEvent(&event);
}

bool DGraphicsView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        break;
    default:
        return QGraphicsView::viewportEvent(event);
    }
    // The widget's position is whole pixels; the window's keeps the fraction
    // a scaled screen gives it. Events made up by code have none.
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF fraction = mouse->windowPos() - QPointF(mouse->windowPos().toPoint());
    // Nested: a press may open a dialog whose events come back through here.
    const QPointF outerPointer = m_pointerInViewport;
    const bool outerHandling = m_bHandlingMouse;
    m_pointerInViewport = QPointF(mouse->pos()) + fraction;
    m_bHandlingMouse = true;
    const bool result = QGraphicsView::viewportEvent(event);
    m_pointerInViewport = outerPointer;
    m_bHandlingMouse = outerHandling;
    return result;
}

QPointF DGraphicsView::pointerScenePos(const QGraphicsSceneMouseEvent* event)
{
    QWidget* viewport = event->widget();
    auto* view = viewport ? qobject_cast<DGraphicsView*>(viewport->parentWidget()) : nullptr;
    if (!view || !view->m_bHandlingMouse || view->viewport() != viewport)
        return event->scenePos();
    return view->viewportTransform().inverted().map(view->m_pointerInViewport);
}

void DGraphicsView::mouseMoveEvent(QMouseEvent* event)
{
    DCanvas* owner = canvas();
    if (owner && owner->onViewMouseMoveEvent(event))
        return;
    QGraphicsView::mouseMoveEvent(event);
}

void DGraphicsView::wheelEvent(QWheelEvent* event)
{
    DCanvas* owner = canvas();
    if (owner && owner->onViewWheelEvent(event))
        return;
    QGraphicsView::wheelEvent(event);
}

void DGraphicsView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
}
