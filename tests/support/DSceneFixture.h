#ifndef DSCENEFIXTURE_H
#define DSCENEFIXTURE_H

#include <QApplication>
#include <QGraphicsView>
#include <QScopedPointer>
#include <QTest>

#include "DCanvas.h"
#include "DGraphicsItem.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DViewDriver.h"

// A shown offscreen canvas with its real scene, page 800 x 600, for tests that
// drive the scene through QTest mouse and key events on the view's viewport.
class DSceneFixture : public DViewDriver
{
public:
    DSceneFixture()
        : canvas(new DCanvas)
    {
        canvas->resize(900, 700);
        canvas->setCanvasSize(800, 600);
        canvas->show();
        if (!QTest::qWaitForWindowExposed(canvas.data()))
            qWarning("the canvas was not exposed; mouse tests will fail");
        canvas->activateWindow();
        view()->setFocus();
        QApplication::processEvents();
    }

    DGraphicsScene* scene() const { return canvas->scene(); }
    DGraphicsView* view() const { return canvas->view(); }
    DGraphicsView* drivenView() const override { return canvas->view(); }

    // The annotation items among the scene's own short-lived items: prompt
    // samples and drag copies (grips and the cursor are of other types).
    int transientItems() const
    {
        int count = 0;
        for (QGraphicsItem* item : scene()->items())
            if (item->type() == DGraphicsItem::Type)
                ++count;
        return count;
    }

    // Zooms and scrolls so that the scene's origin sits at the viewport's top-left.
    void setZoom(double zoom)
    {
        view()->setScale(zoom);
        view()->centerOn(0, 0);
        QApplication::processEvents();
    }

    QScopedPointer<DCanvas> canvas;
};

#endif // DSCENEFIXTURE_H
