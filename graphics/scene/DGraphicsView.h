#pragma once

#include <QGraphicsView>
#include <QVector>

class DCanvas;
class DGraphicsScene;
class QGraphicsSceneMouseEvent;

// The zoom ladder shared by every view: 0.2, 0.4, ... 10.0 (k * 0.2 for
// k = 1..50). Empty at load; filled once, by whoever needs it first.
extern QVector<double> g_ScalingCandidate;

// The graphics view inside a canvas. It creates and owns the canvas's scene,
// keeps the zoom on the ladder and offers mouse moves and wheel events to the
// canvas before handling them itself.
class DGraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit DGraphicsView(DCanvas* canvas);
    ~DGraphicsView() override;

    // The parent widget as a canvas; null when the parent is no canvas (or no
    // longer is one, while it is being destroyed).
    DCanvas* canvas() const;
    DGraphicsScene* scene() const { return m_pScene; }

    // The current zoom (a step of the ladder).
    double scale() const { return m_dScale; }
    using QGraphicsView::scale;
    // The nearest step of the ladder becomes the zoom.
    void setScale(double s);

    // Sends the view a mouse move at the pointer's current position, so that
    // hover state follows a change made without moving the mouse.
    void replayMouseMoveEvent();

    // Where the pointer of a mouse event on the scene is, in scene coordinates,
    // as precisely as the window system tells: on a scaled screen the pointer
    // stands on fractions of a widget pixel, which QGraphicsView rounds away
    // (at a scale of 2 every odd screen pixel would be out of reach). The
    // event's own position when no view of ours is handling it.
    static QPointF pointerScenePos(const QGraphicsSceneMouseEvent* event);

    // The ladder, filled on first use.
    static const QVector<double>& scalingCandidates();
    // The step of the ladder nearest to s (equal distances take the larger step).
    static double nearestScale(double s);

protected:
    bool viewportEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    DGraphicsScene* m_pScene;
    double m_dScale;
    // The pointer of the mouse event being handled, in viewport coordinates.
    QPointF m_pointerInViewport;
    bool m_bHandlingMouse = false;
};
