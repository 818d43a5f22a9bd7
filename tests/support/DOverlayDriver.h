#ifndef DOVERLAYDRIVER_H
#define DOVERLAYDRIVER_H

#include <QApplication>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "DCanvas.h"
#include "DFullScreenSelector.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DViewDriver.h"
#include "ui_DFullScreenSelector.h"

// Drives a capture overlay of the test's own process with the mouse and
// keyboard, as a user on its screen would.
class DOverlayDriver : public DViewDriver
{
public:
    explicit DOverlayDriver(DFullScreenSelector& overlay)
        : m_overlay(overlay)
    {
    }

    Ui_DFullScreenSelector* ui() const { return m_overlay.form(); }
    DGraphicsScene* scene() const { return ui()->canvas->scene(); }
    DGraphicsView* drivenView() const override { return ui()->canvas->view(); }

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
