#include "ImageCatalog.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
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

void ImageCatalog::addVector(const QString& fileName, VectorPainter painter)
{
    m_vectorPainters.insert(fileName, std::move(painter));
}

bool ImageCatalog::contains(const QString& fileName) const
{
    return m_painters.contains(fileName) || m_vectorPainters.contains(fileName);
}

QByteArray ImageCatalog::fileContents(const QString& fileName) const
{
    if (m_vectorPainters.contains(fileName))
        return m_vectorPainters.value(fileName)();
    if (!m_painters.contains(fileName))
        return QByteArray();
    const QImage image = m_painters.value(fileName)();
    QByteArray png;
    QBuffer buffer(&png);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return QByteArray();
    return png;
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

QByteArray paintedSvg(int width, int height, const QString& title, const std::function<void(QPainter&)>& drawing)
{
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setTitle(title);
    generator.setDescription(QString());
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing(painter);
    painter.end();
    return svg;
}

QImage renderSvg(const QByteArray& svg, int width, int height)
{
    QSvgRenderer renderer(svg);
    return paintedImage(width, height, [&renderer](QPainter& p) { renderer.render(&p); }, false);
}
