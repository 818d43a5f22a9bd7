#include "DGraphicsItemArrow.h"

#include <QPainter>

#include <algorithm>

#include "DRestorePainter.h"

DGraphicsItemArrow::DGraphicsItemArrow(DGraphicsItem* parent)
    : DGraphicsItemLine(parent)
{
}

QVector<QLineF> DGraphicsItemArrow::headStrokes(const QLineF& line)
{
    if (line.isNull())
        return {};
    // From the end point back towards the start, stretched to the head's length.
    QLineF back = QLineF(line.p2(), line.p1()).unitVector();
    if (back.isNull())
        return {};
    back.setLength(HeadLength);
    const double angle = back.angle();
    QLineF left = back;
    left.setAngle(angle - HeadAngle);
    QLineF right = back;
    right.setAngle(angle + HeadAngle);
    return {left, right};
}

QRectF DGraphicsItemArrow::boundary() const
{
    const QRectF lineBoundary = DGraphicsItemLine::boundary();
    const QLineF l = line();
    const QVector<QLineF> head = headStrokes(l);
    if (head.isEmpty())
        return lineBoundary;
    // The end point and both tips, each with the pen's round cap around it.
    double left = l.p2().x(), right = left, top = l.p2().y(), bottom = top;
    for (const QLineF& stroke : head) {
        left = qMin(left, stroke.p2().x());
        right = qMax(right, stroke.p2().x());
        top = qMin(top, stroke.p2().y());
        bottom = qMax(bottom, stroke.p2().y());
    }
    const double cap = 0.5 * strokeWidth();
    const QRectF inked(QPointF(left - cap, top - cap), QPointF(right + cap, bottom + cap));
    const double grow = std::max({0.0, lineBoundary.left() - inked.left(), inked.right() - lineBoundary.right(),
                              lineBoundary.top() - inked.top(), inked.bottom() - lineBoundary.bottom()});
    return lineBoundary.adjusted(-grow, -grow, grow, grow);
}

void DGraphicsItemArrow::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    const QLineF l = line();
    if (l.isNull())
        return;
    DGraphicsItemLine::paint(painter, option, widget);
    DRestorePainter restore(*painter);
    DGraphicsItem::paint(painter, option, widget);
    const QVector<QLineF> head = headStrokes(l);
    if (!head.isEmpty())
        painter->drawLines(head);
}
