#ifndef DVIEWDRIVER_H
#define DVIEWDRIVER_H

#include <QApplication>
#include <QMouseEvent>
#include <QPointF>
#include <QTest>

#include "DGraphicsView.h"

// Drives a graphics view with the mouse as a user would, in scene
// coordinates: QTest mouse events on its viewport.
class DViewDriver
{
public:
    virtual ~DViewDriver() = default;

    // The view the events go to.
    virtual DGraphicsView* drivenView() const = 0;

    QWidget* viewport() const { return drivenView()->viewport(); }
    // The viewport pixel that shows a scene point.
    QPoint toViewport(const QPointF& scenePos) const { return drivenView()->mapFromScene(scenePos); }

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
};

#endif // DVIEWDRIVER_H
