#ifndef DNOISEIMAGE_H
#define DNOISEIMAGE_H

#include <QImage>
#include <QPoint>
#include <QRandomGenerator>
#include <QRect>
#include <QSize>

// A screen of random pixels: a capture that is shifted, scaled, blurred or
// dimmed by even one step cannot pass for it. The same seed gives the same image.
inline QImage noiseImage(const QSize& size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

// The pixels of `area` (in the image's coordinates) that `copy` does not hold
// unchanged, `copy` having the area's top-left at `origin`. Colour only: the
// alpha of the copy is not compared.
inline int pixelsDiffering(const QImage& screen, const QRect& area, const QImage& copy, const QPoint& origin)
{
    int wrong = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QPoint at = QPoint(x, y) - area.topLeft() + origin;
            if (!copy.rect().contains(at) || (copy.pixel(at) & 0xFFFFFF) != (screen.pixel(x, y) & 0xFFFFFF))
                ++wrong;
        }
    }
    return wrong;
}

#endif // DNOISEIMAGE_H
