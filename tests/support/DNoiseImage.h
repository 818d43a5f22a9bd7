#ifndef DNOISEIMAGE_H
#define DNOISEIMAGE_H

#include <QImage>
#include <QPolygon>
#include <QPoint>
#include <QRandomGenerator>
#include <QRect>
#include <QSize>

#include <cmath>

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

// Distance from `p` to the segment from `a` to `b`.
inline double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / length2, 1.0) : 0.0;
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

// The pixels a copy of the polygon with `corners` (pixel centres of `screen`)
// gets wrong: a pixel whose centre lies inside or on an upright or level edge
// must be the screen's, opaque; one whose centre lies further than 1.5 pixels
// outside must be transparent. Pixels near a slanted edge, which cuts them in
// part, are not looked at. `copy` has pixel `origin` of the screen at its
// top-left.
inline int polygonPixelsWrong(const QImage& screen, const QPolygon& corners, const QImage& copy, const QPoint& origin)
{
    int wrong = 0;
    for (int y = 0; y < copy.height(); ++y) {
        for (int x = 0; x < copy.width(); ++x) {
            const QPoint at = origin + QPoint(x, y);
            bool onStraightEdge = false;
            double nearSlanted = 1e9;
            double nearEdge = 1e9;
            for (int i = 0; i < corners.size(); ++i) {
                const QPoint a = corners.at(i);
                const QPoint b = corners.at((i + 1) % corners.size());
                const double distance = distanceToSegment(at, a, b);
                nearEdge = qMin(nearEdge, distance);
                if (a.x() == b.x() || a.y() == b.y())
                    onStraightEdge |= distance == 0.0;
                else
                    nearSlanted = qMin(nearSlanted, distance);
            }
            if (nearSlanted < 1.0)
                continue;
            const QRgb shown = copy.pixel(x, y);
            if (onStraightEdge || corners.containsPoint(at, Qt::OddEvenFill))
                wrong += shown != screen.pixel(at);
            else if (nearEdge > 1.5)
                wrong += qAlpha(shown) != 0;
        }
    }
    return wrong;
}

#endif // DNOISEIMAGE_H
