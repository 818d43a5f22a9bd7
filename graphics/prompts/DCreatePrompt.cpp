#include "DCreatePrompt.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

#include "DCanvas.h"
#include "DCursor.h"
#include "DCursorGraphicsCross.h"
#include "DGraphicsItem.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"

DCreatePrompt::DCreatePrompt()
{
    m_nPriority = 0;
}

DCreatePrompt::~DCreatePrompt()
{
    // A prompt deleted while its sample still stands among the scene's items
    // (it was never removed from its list) takes the sample with it.
    removeSample();
}

QString DCreatePrompt::positionText(const QPointF& pos)
{
    return tr("(%1,%2)").arg(pos.x()).arg(pos.y());
}

QVector3D DCreatePrompt::toVector(const QPointF& pos)
{
    return QVector3D(float(pos.x()), float(pos.y()), 0.0f);
}

void DCreatePrompt::dropSampleOrCancel()
{
    if (m_pSample)
        removeSample();
    else
        cancel();
}

void DCreatePrompt::start(DCanvas* canvas)
{
    if (canvas && canvas->scene())
        canvas->scene()->cancelCurrentPrompt();
    DEventFilter::start(canvas);
}

bool DCreatePrompt::eventFilter(QEvent* event)
{
    switch (event->type()) {
    case QEvent::GraphicsSceneMousePress: {
        auto* mouse = static_cast<QGraphicsSceneMouseEvent*>(event);
        snapMouse(mouse);
        return mousePress(mouse);
    }
    case QEvent::GraphicsSceneMouseRelease: {
        auto* mouse = static_cast<QGraphicsSceneMouseEvent*>(event);
        snapMouse(mouse);
        return mouseRelease(mouse);
    }
    case QEvent::GraphicsSceneMouseDoubleClick: {
        auto* mouse = static_cast<QGraphicsSceneMouseEvent*>(event);
        snapMouse(mouse);
        return mouseDoubleClick(mouse);
    }
    case QEvent::GraphicsSceneMouseMove: {
        auto* mouse = static_cast<QGraphicsSceneMouseEvent*>(event);
        snapMouse(mouse);
        return mouseMove(mouse);
    }
    case QEvent::KeyPress:
        return keyPress(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        return keyRelease(static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

void DCreatePrompt::onStart()
{
    DEventFilter::onStart();
    if (!m_pScene)
        return;
    // Queued: the scene takes the prompt out of its list from the event loop,
    // after every direct receiver of the signal has run.
    connect(this, &DCreatePrompt::finished, m_pScene, &DGraphicsScene::onCreatePromptFinished,
            Qt::QueuedConnection);
    connect(this, &DCreatePrompt::cancelled, m_pScene, &DGraphicsScene::onCreatePromptFinished,
            Qt::QueuedConnection);
    DCursor& cursor = m_pScene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, true);
    cursor.updateText(positionText(cursor.pos()));
}

void DCreatePrompt::onRemoved()
{
    if (!isActive())
        return;
    setActive(false);
    onStop();
    removeSample();
}

bool DCreatePrompt::mousePress(QGraphicsSceneMouseEvent*)
{
    return false;
}

bool DCreatePrompt::mouseRelease(QGraphicsSceneMouseEvent*)
{
    return false;
}

bool DCreatePrompt::mouseDoubleClick(QGraphicsSceneMouseEvent*)
{
    return false;
}

bool DCreatePrompt::mouseMove(QGraphicsSceneMouseEvent* event)
{
    if (m_pScene)
        m_pScene->cursor().updateScenePos(event->scenePos());
    return false;
}

bool DCreatePrompt::keyPress(QKeyEvent* event)
{
    QPoint pos = QCursor::pos();
    switch (event->key()) {
    case Qt::Key_Escape:
        cancel();
        return true;
    case Qt::Key_Left:
        pos.rx() -= 1;
        break;
    case Qt::Key_Up:
        pos.ry() -= 1;
        break;
    case Qt::Key_Right:
        pos.rx() += 1;
        break;
    case Qt::Key_Down:
        pos.ry() += 1;
        break;
    default:
        return true;
    }
    QCursor::setPos(pos);
    return true;
}

bool DCreatePrompt::keyRelease(QKeyEvent*)
{
    return true;
}

void DCreatePrompt::onStop()
{
    if (!m_pScene)
        return;
    DCursor& cursor = m_pScene->cursor();
    cursor.updateText(QString());
    cursor.unsetGraphics(true);
}

void DCreatePrompt::finish()
{
    // Escape, a right click and a double click can all arrive after the end.
    if (!isActive())
        return;
    setActive(false);
    onStop();
    if (m_pSample && m_pScene) {
        // The new item alone is selected, so that what the user does next
        // (an edit in the quick editor, Delete) lands on it only.
        for (DGraphicsLayer* layer : m_pScene->layers())
            layer->clearSelection();
        m_pScene->removeActiveItem(m_pSample);
        m_pScene->addPersistenItem(m_pSample, true);
        m_bSampleHandedOver = true;
    }
    emit finished(this);
}

void DCreatePrompt::cancel()
{
    if (!isActive())
        return;
    setActive(false);
    removeSample();
    onStop();
    emit cancelled(this);
}

void DCreatePrompt::resetSample()
{
    removeSample();
    m_pSample = createSample();
    if (m_pSample && m_pScene)
        m_pScene->addActiveItem(m_pSample);
}

void DCreatePrompt::removeSample()
{
    if (!m_pSample)
        return;
    // After finish() the sample belongs to the layer: only forget it.
    if (!m_bSampleHandedOver) {
        DGraphicsItem* sample = m_pSample.data();
        if (sample->QGraphicsItem::scene())
            sample->QGraphicsItem::scene()->removeItem(sample);
        delete sample;
    }
    m_pSample = nullptr;
}

void DCreatePrompt::snapMouse(QGraphicsSceneMouseEvent* event)
{
    const double s = m_pScene ? m_pScene->scale() : 1.0;
    if (s <= 1.0)
        return;
    const double step = s <= 4.0 ? 0.5 : 0.1;
    const QPointF p = event->scenePos();
    event->setScenePos(QPointF(qRound(p.x() / step) * step, qRound(p.y() / step) * step));
}
