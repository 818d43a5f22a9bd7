#ifndef DPAINTERANTISCALE_H
#define DPAINTERANTISCALE_H

#include <QTransform>

class QPainter;

// Undoes the painter's scale for as long as it lives, so that marks drawn
// meanwhile keep their size in device pixels while their place still follows
// the painter's transform.
class DPainterAntiScale
{
public:
    explicit DPainterAntiScale(QPainter& painter);
    ~DPainterAntiScale();
    DPainterAntiScale(const DPainterAntiScale&) = delete;
    DPainterAntiScale& operator=(const DPainterAntiScale&) = delete;

private:
    QPainter* m_painter;
    QTransform m_transform;
};

#endif // DPAINTERANTISCALE_H
