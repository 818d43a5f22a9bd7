#ifndef DGRAPHICSITEMRECTANGLE_H
#define DGRAPHICSITEMRECTANGLE_H

#include "DGraphicsItem.h"

// An axis-aligned rectangle in item coordinates; rotation and placement come
// from the item's transform.
class DGraphicsItemRectangle : public DGraphicsItem
{
    Q_OBJECT
    Q_PROPERTY(qreal width READ width WRITE setWidth)
    Q_PROPERTY(qreal height READ height WRITE setHeight)

public:
    Q_INVOKABLE explicit DGraphicsItemRectangle(DGraphicsItem* parent);
    Q_INVOKABLE DGraphicsItemRectangle();

    QVector<QVector3D> snapPoints() const override;
    bool copy(const DGraphicsItem* other) override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    const DMetaPropertyList& properties() const override;
    QRectF boundary() const override;

    static const DMetaPropertyList& staticProperties();

    QRectF rectangle() const;
    qreal width() const;
    qreal height() const;
    void setWidth(double w);
    void setHeight(double h);
    void setPoint1(const QVector3D& p);
    void setPoint2(const QVector3D& p);
    void setBoundary(const QRectF& r);

    const DFileFormat::GraphicsItemRectangle& rectangleData() const { return m_rectangle; }

protected:
    // Draws `r` with the painter's pen and brush, unless it is less than one
    // screen pixel wide or high.
    static void drawRectangle(QPainter* painter, const QRectF& r);

    DFileFormat::GraphicsItemRectangle m_rectangle;
};

#endif // DGRAPHICSITEMRECTANGLE_H
