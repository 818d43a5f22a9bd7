#include "DCanvas.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

#include "DCanvasRulerHorizontal.h"
#include "DCanvasRulerVertical.h"
#include "DGraphicsItem.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DHelpBalloon.h"
#include "DQuickEditorWidget.h"
#include "DWidgetTools.h"

namespace {
const double kWheelStepDelta = 120.0;
const double kWheelZoomStep = 0.2;

// Nearest whole number; a half rounds up, toward positive.
int roundHalfUp(double value)
{
    return int(std::floor(value + 0.5));
}

// The turn of a wheel event along its dominant axis: a sideways wheel or a
// mostly sideways touchpad gesture zooms as well as an upright one. On a tie
// the vertical axis counts. Compared in 64 bits: the magnitude of the most
// negative int is not an int.
int dominantDelta(const QPoint& angleDelta)
{
    return qAbs(qint64(angleDelta.x())) > qAbs(qint64(angleDelta.y())) ? angleDelta.x() : angleDelta.y();
}
}

DCanvas::DCanvas(QWidget* parent)
    : QWidget(parent)
    , m_pView(nullptr)
    , m_pRulerHorizontal(nullptr)
    , m_pRulerVertical(nullptr)
    , m_pQuickEditor(nullptr)
    , m_pHelpBalloon(nullptr)
{
    // The rulers reach the view through the canvas: the view comes first.
    m_pView = new DGraphicsView(this);
    m_pRulerHorizontal = new DCanvasRulerHorizontal(this);
    m_pRulerVertical = new DCanvasRulerVertical(this);
    m_pQuickEditor = new DQuickEditorWidget(this);
    m_pHelpBalloon = new DHelpBalloon(this);

    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    QGridLayout* grid = new QGridLayout(this);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_pRulerHorizontal, 0, 1);
    grid->addWidget(m_pRulerVertical, 1, 0);
    grid->addWidget(m_pView, 1, 1);

    setCanvasSize(600, 500);
}

DCanvas::~DCanvas()
{
    // The scene calls back into the canvas while it tears down (items that
    // deselect themselves report a selection change): let the view and its
    // scene go while the canvas is still whole.
    DGraphicsView* view = m_pView;
    m_pView = nullptr;
    delete view;
    m_selection.clear();
    m_selectionLayers.clear();
    m_widgetTools.clear();
}

DGraphicsScene* DCanvas::scene() const
{
    return m_pView ? m_pView->scene() : nullptr;
}

void DCanvas::setCanvasSize(int width, int height)
{
    if (DGraphicsScene* s = scene())
        s->setSize(width, height);
}

void DCanvas::setCanvasSize(const QSize& size)
{
    setCanvasSize(size.width(), size.height());
}

void DCanvas::setRulerVisible(bool visible)
{
    m_pRulerHorizontal->setVisible(visible);
    m_pRulerVertical->setVisible(visible);
}

bool DCanvas::isRulerVisible() const
{
    return m_pRulerHorizontal->isVisible();
}

QPoint DCanvas::mapFromScene(const QPointF& point)
{
    if (!m_pView)
        return QPoint();
    return m_pView->mapTo(this, m_pView->mapFromScene(point));
}

QRect DCanvas::mapFromScene(const QRectF& rect)
{
    return QRect(mapFromScene(rect.topLeft()),
                 QSize(roundHalfUp(rect.width()), roundHalfUp(rect.height())));
}

bool DCanvas::onViewMouseMoveEvent(QMouseEvent* event)
{
    m_pRulerHorizontal->setCurrentPos(event->x());
    m_pRulerVertical->setCurrentPos(event->y());
    return false;
}

bool DCanvas::onViewWheelEvent(QWheelEvent* event)
{
    if (!m_pView || !(event->modifiers() & Qt::ControlModifier))
        return false;
    const int steps = roundHalfUp(dominantDelta(event->angleDelta()) / kWheelStepDelta);
    m_pView->setScale(m_pView->scale() + steps * kWheelZoomStep);
    m_pRulerHorizontal->update();
    m_pRulerVertical->update();
    event->accept();
    return true;
}

void DCanvas::onGripDragStarted()
{
    for (DWidgetTools* tools : qAsConst(m_widgetTools))
        tools->hide(false);
    m_pQuickEditor->hide(false);
}

void DCanvas::onGripDragEnded()
{
    for (DWidgetTools* tools : qAsConst(m_widgetTools))
        tools->show(true);
    m_pQuickEditor->restore();
}

void DCanvas::onPersistentSelectionChanged(const DGraphicsLayer* layer)
{
    // Each entry remembers the layer that reported it, so that an item being
    // deleted (which its layer reports as a selection change) is dropped
    // without being asked for its layer.
    for (int i = m_selection.count() - 1; i >= 0; --i) {
        if (m_selectionLayers.at(i) == layer) {
            m_selection.removeAt(i);
            m_selectionLayers.removeAt(i);
        }
    }
    if (layer) {
        const QList<DGraphicsItem*> selected = layer->selectedItems();
        m_selection.append(selected);
        for (int i = 0; i < selected.count(); ++i)
            m_selectionLayers.append(layer);
    }
    if (!m_selection.isEmpty())
        m_pQuickEditor->show(m_selection);
    else
        m_pQuickEditor->setVisible(false);
    emit selectionChanged(m_selection);
}

void DCanvas::showBalloon(const QString& title, const QString& text, const Qt::Alignment& alignment)
{
    m_pHelpBalloon->show(title, text, alignment);
}

DWidgetTools* DCanvas::creatWidgetTools()
{
    DWidgetTools* tools = new DWidgetTools(this);
    m_widgetTools.append(tools);
    return tools;
}
