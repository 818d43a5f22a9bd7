#include "DGraphicsBackgroundImage.h"

#include <QPainter>

#include "DRestorePenBrush.h"

DGraphicsBackgroundImage::DGraphicsBackgroundImage(const QPixmap& pixmap)
    : m_pixmap(pixmap)
{
}

void DGraphicsBackgroundImage::paint(QPainter* painter, const QRectF& rect)
{
    DRestorePenBrush restore(*painter);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(m_pixmap));
    painter->drawRect(rect);
}
