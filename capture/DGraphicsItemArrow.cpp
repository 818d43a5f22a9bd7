#include "DGraphicsItemArrow.h"

#include <QPainter>

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
