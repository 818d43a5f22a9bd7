#include "DGraphicsBackgroundColor.h"

#include <QPainter>

#include "DRestorePenBrush.h"

DGraphicsBackgroundColor::DGraphicsBackgroundColor(const QColor& color)
    : m_color(color)
{
}

void DGraphicsBackgroundColor::paint(QPainter* painter, const QRectF& rect)
{
    DRestorePenBrush restore(*painter);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(m_color));
    painter->drawRect(rect);
}
