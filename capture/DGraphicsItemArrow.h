#ifndef DGRAPHICSITEMARROW_H
#define DGRAPHICSITEMARROW_H

#include "DGraphicsItemLine.h"

// A line with an open arrowhead at its end point: two strokes of a fixed
// length, 30 degrees on either side of the line, in the item's pen. State,
// properties, grips and editing are the line's.
class DGraphicsItemArrow : public DGraphicsItemLine
{
    Q_OBJECT

public:
    // Length of each stroke of the head, in scene units; it does not grow
    // with the stroke width.
    static constexpr double HeadLength = 7.0;
    // Angle between the line and each stroke of the head, in degrees.
    static constexpr double HeadAngle = 30.0;

    Q_INVOKABLE explicit DGraphicsItemArrow(DGraphicsItem* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    // The line's boundary grown evenly on every side until it holds the head
    // with its round caps: a short arrow's head reaches back past its start,
    // and its tips stand out sideways. Grown evenly, the centre stays the
    // line's, so the arrow's place, grips and snap points are the line's.
    QRectF boundary() const override;

    // The two strokes of the head of the line from start to end, both starting
    // at end; none for a null line.
    static QVector<QLineF> headStrokes(const QLineF& line);
};

#endif // DGRAPHICSITEMARROW_H
