#pragma once

#include <QImage>
#include <QMap>
#include <QPen>
#include <QString>
#include <functional>

// Every image the project ships is drawn here, by name: the images under
// ":/images/" and the icons the desktop shows. A drawing function paints into a
// transparent ARGB image of its own size; a vector drawing gives the text of an
// SVG file.
class ImageCatalog
{
public:
    using Painter = std::function<QImage()>;
    using VectorPainter = std::function<QByteArray()>;

    static ImageCatalog& instance();

    void add(const QString& fileName, Painter painter);
    void addVector(const QString& fileName, VectorPainter painter);
    bool contains(const QString& fileName) const;
    // The bytes of the named file: a PNG image, or the SVG text of a vector drawing;
    // empty when the drawing fails.
    QByteArray fileContents(const QString& fileName) const;

private:
    QMap<QString, Painter> m_painters;
    QMap<QString, VectorPainter> m_vectorPainters;
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
// What the drawing paints, as the text of an SVG file with this title whose
// view box is width x height; the painter antialiases.
QByteArray paintedSvg(int width, int height, const QString& title, const std::function<void(QPainter&)>& drawing);
// Renders an SVG text into an image of the given size.
QImage renderSvg(const QByteArray& svg, int width, int height);
