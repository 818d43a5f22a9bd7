#include "DCursorGraphicsCross.h"

#include <QPainter>
#include <QString>

namespace {
const int kArm = 20;
}

QRectF DCursorGraphicsCross::boundingRect() const
{
    return QRectF(-kArm, -kArm, 2 * kArm + 1, 2 * kArm + 1);
}

void DCursorGraphicsCross::paint(QPainter* painter, const QString& text, const QRectF& labelRect) const
{
    QPen pen(QColor(255, 255, 255, 255));
    pen.setCosmetic(true);
    painter->setPen(pen);
    if (!text.isEmpty()) {
        painter->setBrush(QBrush(QColor(51, 51, 51, 204), Qt::SolidPattern));
        painter->drawRoundedRect(labelRect, 2.0, 2.0, Qt::AbsoluteSize);
        painter->drawText(QRectF(labelRect.x() + 3, labelRect.y(), labelRect.width() - 3, labelRect.height()),
                          int(m_alignment), text);
    }
    // The cross inverts whatever lies below it (raster paint engine only).
    // Raster operations do not mix with antialiasing: an antialiased line
    // inverts some pixels twice, which leaves them as they were.
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter->drawLine(QPointF(-kArm, 0), QPointF(kArm, 0));
    painter->drawLine(QPointF(0, -kArm), QPointF(0, kArm));
}
