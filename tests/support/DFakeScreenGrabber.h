#ifndef DFAKESCREENGRABBER_H
#define DFAKESCREENGRABBER_H

#include <QList>
#include <QRect>

#include "DInstalledService.h"
#include "DScreenGrabber.h"

// A display of the given monitors that shows patternAt() at every global
// physical pixel. Installed while it lives.
class DFakeScreenGrabber : public DScreenGrabber
{
public:
    explicit DFakeScreenGrabber(const QList<QRect>& monitorList = QList<QRect>())
        : monitorRects(monitorList)
    {
    }

    // A colour that differs from pixel to pixel over a few thousand pixels.
    static QRgb patternAt(int x, int y) { return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) * 16 + (y >> 8)) & 0xFF); }

    QList<QRect> monitorRects;
    mutable QList<QRect> grabbed;

    QList<QRect> monitors() const override { return monitorRects; }
    QImage grab(const QRect& area) const override
    {
        grabbed.append(area);
        QImage image(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, patternAt(area.x() + x, area.y() + y));
        }
        return image;
    }

private:
    DInstalledService<DScreenGrabber> m_installed{this};
};

#endif // DFAKESCREENGRABBER_H
