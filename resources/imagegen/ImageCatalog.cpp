#include "ImageCatalog.h"

#include <QPainter>
#include <QSvgRenderer>

ImageCatalog& ImageCatalog::instance()
{
    static ImageCatalog catalog;
    return catalog;
}

void ImageCatalog::add(const QString& fileName, Painter painter)
{
    m_painters.insert(fileName, std::move(painter));
}

bool ImageCatalog::contains(const QString& fileName) const
{
    return m_painters.contains(fileName);
}

QImage ImageCatalog::draw(const QString& fileName) const
{
    return m_painters.value(fileName)();
}

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage paintedImage(int width, int height, const std::function<void(QPainter&)>& drawing, bool antialiased)
{
    QImage image = blankImage(width, height);
    QPainter painter(&image);
    if (antialiased)
        painter.setRenderHint(QPainter::Antialiasing);
    drawing(painter);
    painter.end();
    return image;
}

QPen roundPen(const QColor& color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QImage renderSvg(const QByteArray& svg, int width, int height)
{
    QSvgRenderer renderer(svg);
    return paintedImage(width, height, [&renderer](QPainter& p) { renderer.render(&p); }, false);
}
