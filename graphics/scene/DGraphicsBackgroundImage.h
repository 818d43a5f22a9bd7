#ifndef DGRAPHICSBACKGROUNDIMAGE_H
#define DGRAPHICSBACKGROUNDIMAGE_H

#include <QPixmap>

#include "DGraphicsBackground.h"

// A page tiled with a pixmap from the scene origin (the capture overlay's
// dimmed screenshot is exactly page sized).
class DGraphicsBackgroundImage : public DGraphicsBackground
{
public:
    explicit DGraphicsBackgroundImage(const QPixmap& pixmap);
    void paint(QPainter* painter, const QRectF& rect) override;
    const QPixmap& pixmap() const { return m_pixmap; }

private:
    QPixmap m_pixmap;
};

#endif // DGRAPHICSBACKGROUNDIMAGE_H
