#include "DCreatePromptWindow.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>

#include <cmath>

#include "DCanvas.h"
#include "DCursor.h"
#include "DCursorGraphicsCross.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"

DCreatePromptWindow::DCreatePromptWindow()
{
}

DGraphicsItemRectangle* DCreatePromptWindow::sample() const
{
    return qobject_cast<DGraphicsItemRectangle*>(m_pSample.data());
}

DGraphicsItem* DCreatePromptWindow::createSample() const
{
    return new DGraphicsItemRectangle();
}

void DCreatePromptWindow::onStart()
{
    DCreatePrompt::onStart();
    resetSample();
    if (DGraphicsItemRectangle* rectangle = sample())
        rectangle->setFillImage(m_backgroundImage, QPixmap());
    if (m_pScene) {
        DCursor& cursor = m_pScene->cursor();
        cursor.setGraphics(new DCursorGraphicsCross, true);
        cursor.setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    // The window under the pointer is highlighted before the mouse moves.
    highlightWindowAt(treePixelAt(QCursor::pos()));
    if (m_pCanvas)
        m_pCanvas->showBalloon(tr("How To Select Window"),
                               tr("Move the mouse pointer over a window,<br>and Left Click to select the region.<br>"
                                  "Right Click or press ESC to cancel."),
                               Qt::AlignRight | Qt::AlignTop);
}

QPoint DCreatePromptWindow::treePixelAt(const QPoint& screenPos) const
{
    QPointF scenePos = screenPos;
    if (m_pCanvas && m_pCanvas->view()) {
        const DGraphicsView* view = m_pCanvas->view();
        scenePos = view->mapToScene(view->viewport()->mapFromGlobal(screenPos));
    }
    return treePixelOf(scenePos);
}

QPoint DCreatePromptWindow::treePixelOf(const QPointF& scenePos) const
{
    // A pointer on a pixel's edge, as a scaled screen's pointer always is,
    // comes back from Qt's coordinates a hair's breadth either side of it.
    const double hair = 1e-6;
    const QPoint origin = m_widgetData.rectangle.topLeft();
    return QPoint(int(std::floor(scenePos.x() + hair)) + origin.x(),
                  int(std::floor(scenePos.y() + hair)) + origin.y());
}

QRectF DCreatePromptWindow::sceneRectOf(const QRect& globalRect) const
{
    // Scene point (i, j) is the centre of screenshot pixel (i, j): the window's
    // pixels reach half a unit beyond the centres of its outer ones.
    const QRect r = globalRect.translated(-m_widgetData.rectangle.topLeft());
    return QRectF(r.x() - 0.5, r.y() - 0.5, r.width(), r.height());
}

void DCreatePromptWindow::highlightWindowAt(const QPoint& globalPos)
{
    const DWidgetHit hit = m_widgetData.findWidgetFromPoint(globalPos);
    if (!hit.node || hit == m_lastHit)
        return;
    m_lastHit = hit;
    if (DGraphicsItemRectangle* rectangle = sample()) {
        rectangle->setBoundary(sceneRectOf(hit.rectangle));
        rectangle->setFillImage(m_backgroundImage, hit.node->pixmap);
    }
    if (m_pScene) {
        const QRect& r = hit.rectangle;
        // One substitution for all three: a title that holds "%2" stays as it is.
        m_pScene->cursor().updateText(tr("Title: %1\nSize: %2 x %3")
                                          .arg(hit.node->title, QString::number(r.right() + 1 - r.left(), 10),
                                               QString::number(r.bottom() + 1 - r.top(), 10)));
    }
}

bool DCreatePromptWindow::mouseMove(QGraphicsSceneMouseEvent* event)
{
    // The pointer as precisely as the screen gives it: on a scaled screen a
    // whole position in Qt's coordinates may be a pixel beside the pointer's.
    highlightWindowAt(treePixelOf(DGraphicsView::pointerScenePos(event)));
    if (m_pScene)
        m_pScene->cursor().updateScenePos(event->scenePos());
    return DCreatePrompt::mouseMove(event);
}

bool DCreatePromptWindow::mousePress(QGraphicsSceneMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        finish();
        return true;
    case Qt::RightButton:
        cancel();
        return true;
    default:
        return DCreatePrompt::mousePress(event);
    }
}

void DCreatePromptWindow::onStop()
{
    if (m_pScene) {
        DCursor& cursor = m_pScene->cursor();
        cursor.updateText(QString());
        cursor.unsetGraphics(true);
    }
    DCreatePrompt::onStop();
}
