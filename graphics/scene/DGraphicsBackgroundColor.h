#ifndef DGRAPHICSBACKGROUNDCOLOR_H
#define DGRAPHICSBACKGROUNDCOLOR_H

#include <QColor>

#include "DGraphicsBackground.h"

// A page of one colour.
class DGraphicsBackgroundColor : public DGraphicsBackground
{
public:
    explicit DGraphicsBackgroundColor(const QColor& color);
    void paint(QPainter* painter, const QRectF& rect) override;
    const QColor& color() const { return m_color; }

private:
    QColor m_color;
};

#endif // DGRAPHICSBACKGROUNDCOLOR_H
