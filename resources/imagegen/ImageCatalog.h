#pragma once

#include <QImage>
#include <QMap>
#include <QPen>
#include <QString>
#include <functional>

// Every image the project ships under ":/images/" is drawn here, by name.
// A drawing function paints into a transparent ARGB image of its own size.
class ImageCatalog
{
public:
    using Painter = std::function<QImage()>;

    static ImageCatalog& instance();

    void add(const QString& fileName, Painter painter);
    bool contains(const QString& fileName) const;
    QImage draw(const QString& fileName) const;

private:
    QMap<QString, Painter> m_painters;
};

// Registers drawing functions from a source file's static initialiser.
struct ImageRegistration
{
    ImageRegistration(const QString& fileName, ImageCatalog::Painter painter)
    {
        ImageCatalog::instance().add(fileName, std::move(painter));
    }
};

// A transparent canvas of the given size, ready for QPainter.
QImage blankImage(int width, int height);
// A transparent canvas of the given size with what the drawing paints on it;
// the painter antialiases unless told not to (pixel-exact grids and outlines).
QImage paintedImage(int width, int height, const std::function<void(QPainter&)>& drawing,
                    bool antialiased = true);
// The strokes of the line-drawn icons: round caps and round joins.
QPen roundPen(const QColor& color, qreal width);
// Renders an SVG text into an image of the given size.
QImage renderSvg(const QByteArray& svg, int width, int height);
