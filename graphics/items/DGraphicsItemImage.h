#ifndef DGRAPHICSITEMIMAGE_H
#define DGRAPHICSITEMIMAGE_H

#include <QPainterPath>
#include <QPixmap>

#include "DGraphicsItem.h"

// A pixmap placed at the item origin, hit only where it is not transparent.
class DGraphicsItemImage : public DGraphicsItem
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit DGraphicsItemImage(DGraphicsItem* parent);
    Q_INVOKABLE DGraphicsItemImage();

    QVector<QVector3D> snapPoints() const override;
    bool copy(const DGraphicsItem* other) override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    const DMetaPropertyList& properties() const override;

    static const DMetaPropertyList& staticProperties();

    void setImage(const QPixmap& p);
    const QPixmap& pixmap() const { return m_pixmap; }
    const DFileFormat::Image& imageData() const { return m_image; }

protected:
    DFileFormat::Image m_image;
    QPixmap m_pixmap;
    QPainterPath m_maskShape;
};

#endif // DGRAPHICSITEMIMAGE_H
