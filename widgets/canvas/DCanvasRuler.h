#pragma once

#include <QWidget>

class DCanvas;

// Where the ticks of a ruler go for one exposed stretch of the scene.
struct DCanvasRulerTicks
{
    double step = 0;        // scene units between labelled ticks
    double first = 0;       // first labelled value
    double last = 0;        // last labelled value
    bool halfTick = false;  // a middle tick between labelled ones
    int minorCount = 0;     // minor divisions of one step
};

// A ruler beside the canvas's view: scene coordinates of the shown part, with
// a tick spacing that follows the zoom and a dashed mark at the mouse.
class DCanvasRuler : public QWidget
{
    Q_OBJECT
public:
    explicit DCanvasRuler(DCanvas* canvas);

    DCanvas* canvas() const { return m_pCanvas; }
    int currentPos() const { return m_nCurrentPos; }
    // In ruler pixels along the ruler's axis; repaints the old and new mark.
    virtual void setCurrentPos(int pos) = 0;

    // Ticks for a scene stretch [sceneStart, sceneStart + sceneLength] shown
    // over pixelLength ruler pixels (pixelLength > 0).
    static DCanvasRulerTicks calcTicks(double sceneStart, double sceneLength, int pixelLength);

protected:
    void paintEvent(QPaintEvent* event) override = 0;
    // What both rulers share, told along the ruler's own axis (Horizontal:
    // scene x along the top; Vertical: scene y down the left side).
    // Stores pos and repaints the strips of the old and the new mark.
    void moveMark(int pos, Qt::Orientation orientation);
    // White ground, ticks, labels, base line and the mouse mark for the
    // exposed rectangle of the event.
    void paintRuler(QPaintEvent* event, Qt::Orientation orientation);

    DCanvas* m_pCanvas;
    int m_nCurrentPos;      // -1: no mark yet
};
