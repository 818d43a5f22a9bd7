#include "DGraphicsItemImage.h"

#include <QGraphicsPixmapItem>
#include <QPainter>

#include "DMetaPropertyList.h"
#include "DRestorePainter.h"

DGraphicsItemImage::DGraphicsItemImage(DGraphicsItem* parent)
    : DGraphicsItem(parent)
{
}

DGraphicsItemImage::DGraphicsItemImage()
    : DGraphicsItemImage(nullptr)
{
}

void DGraphicsItemImage::setImage(const QPixmap& p)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_pixmap = p;
    const QImage i = p.toImage();
    m_image.set_width(i.width());
    m_image.set_height(i.height());
    m_image.set_format(int(i.format()));
    m_image.set_data(reinterpret_cast<const char*>(i.constBits()), size_t(i.sizeInBytes()));
    // The opaque pixels, as a pixmap item in its default shape mode reports them.
    m_maskShape = QGraphicsPixmapItem(p).shape();
}

bool DGraphicsItemImage::copy(const DGraphicsItem* other)
{
    return copyKind<DGraphicsItem>(this, other, [this](const DGraphicsItemImage& source) {
        m_image.CopyFrom(source.m_image);
        m_pixmap = source.m_pixmap;
        m_maskShape = source.m_maskShape;
    });
}

void DGraphicsItemImage::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    DRestorePainter restore(*painter);
    DGraphicsItem::paint(painter, option, widget);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(QPointF(0, 0), m_pixmap);
}

QPainterPath DGraphicsItemImage::shape() const
{
    return m_maskShape;
}

QVector<QVector3D> DGraphicsItemImage::snapPoints() const
{
    return boxSnapPoints();
}

const DMetaPropertyList& DGraphicsItemImage::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItemImage::staticProperties()
{
    static const DMetaPropertyList list = propertiesWithoutFill();
    return list;
}
