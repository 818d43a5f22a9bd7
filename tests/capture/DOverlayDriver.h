#ifndef DOVERLAYDRIVER_H
#define DOVERLAYDRIVER_H

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "DCanvas.h"
#include "DFullScreenSelector.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "ui_DFullScreenSelector.h"

// Drives a capture overlay of the test's own process with the mouse and
// keyboard, as a user on its screen would.
class DOverlayDriver
{
public:
    explicit DOverlayDriver(DFullScreenSelector& overlay)
        : m_overlay(overlay)
    {
    }

    Ui_DFullScreenSelector* ui() const { return m_overlay.form(); }
    DGraphicsScene* scene() const { return ui()->canvas->scene(); }
    QWidget* viewport() const { return ui()->canvas->view()->viewport(); }
    QPoint toViewport(const QPointF& scenePos) const { return ui()->canvas->view()->mapFromScene(scenePos); }

    void press(const QPointF& p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(viewport(), button, Qt::NoModifier, toViewport(p));
    }
    void release(const QPointF& p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(viewport(), button, Qt::NoModifier, toViewport(p));
    }
    void click(const QPointF& p, Qt::MouseButton button = Qt::LeftButton)
    {
        press(p, button);
        release(p, button);
    }
    // QTest::mouseMove carries no buttons; the move is sent by hand.
    void move(const QPointF& p, Qt::MouseButtons buttons = Qt::NoButton)
    {
        const QPoint local = toViewport(p);
        QMouseEvent event(QEvent::MouseMove, local, viewport()->mapToGlobal(local), Qt::NoButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
    }
    void drag(const QPointF& from, const QPointF& to)
    {
        press(from);
        move((from + to) / 2, Qt::LeftButton);
        move(to, Qt::LeftButton);
        release(to);
    }

    // Whether a bar stands still where it is shown / is hidden.
    bool isIn(QWidget* bar) const { return bar->isVisibleTo(&m_overlay) && bar->y() == restingY(bar); }
    bool isOut(QWidget* bar) const { return !bar->isVisibleTo(&m_overlay); }
    int restingY(QWidget* bar) const
    {
        const int mainH = ui()->widgetMainTool->height();
        return bar == ui()->widgetMainTool ? m_overlay.height() - mainH
                                           : m_overlay.height() - mainH - ui()->widgetSubTool->height();
    }

    // Runs `steps` inside the overlay's modal loop of capture(); an overlay
    // that the steps leave open is closed with -1, so that a test that fails
    // half way ends instead of waiting for a user.
    static int runCapture(DFullScreenSelector& overlay, DD::enumCaptureMode mode, const QPixmap& screenshot,
                          const DWidgetData& windows, const std::function<void()>& steps)
    {
        QTimer::singleShot(0, &overlay, [&overlay, steps] {
            steps();
            if (overlay.isVisible())
                overlay.done(-1);
        });
        return overlay.capture(mode, screenshot, windows);
    }

private:
    DFullScreenSelector& m_overlay;
};

#endif // DOVERLAYDRIVER_H
