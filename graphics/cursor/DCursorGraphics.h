#pragma once

#include <Qt>
#include <QRectF>

class QPainter;
class QString;

// What the drawn cursor paints: a shape around the hot spot and the label,
// in view pixels.
class DCursorGraphics
{
public:
    DCursorGraphics();
    virtual ~DCursorGraphics();

    // In view pixels around the hot spot.
    virtual QRectF boundingRect() const = 0;
    // Paints the shape and the label text into the label rectangle.
    virtual void paint(QPainter* painter, const QString& text, const QRectF& labelRect) const = 0;

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

protected:
    Qt::Alignment m_alignment;  // of the label text
};
