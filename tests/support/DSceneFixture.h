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

// A shown offscreen canvas with its real scene, page 800 x 600, for tests that
// drive the scene through QTest mouse and key events on the view's viewport.
class DSceneFixture
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
    QWidget* viewport() const { return canvas->view()->viewport(); }

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

    // The viewport pixel that shows a scene point.
    QPoint toViewport(const QPointF& scenePos) const { return view()->mapFromScene(scenePos); }

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
    // QTest::mouseMove does not carry held buttons; send the move by hand.
    void move(const QPointF& p, Qt::MouseButtons buttons = Qt::NoButton)
    {
        moveToViewport(toViewport(p), buttons);
    }
    void moveToViewport(const QPoint& local, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent event(QEvent::MouseMove, local, viewport()->mapToGlobal(local), Qt::NoButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
    }
    // What a window system delivers: press, release, double-click, release.
    void doubleClick(const QPointF& p)
    {
        click(p);
        QTest::mouseDClick(viewport(), Qt::LeftButton, Qt::NoModifier, toViewport(p));
        release(p);
    }
    void drag(const QPointF& from, const QPointF& to, int steps = 1)
    {
        press(from);
        for (int i = 1; i <= steps; ++i)
            move(from + (to - from) * (double(i) / steps), Qt::LeftButton);
        release(to);
    }

    QScopedPointer<DCanvas> canvas;
};

#endif // DSCENEFIXTURE_H
