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

QImage renderSvg(const QByteArray& svg, int width, int height)
{
    QImage image = blankImage(width, height);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}
