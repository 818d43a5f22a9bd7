#ifndef DGRAPHICSITEMPOLYLINE_H
#define DGRAPHICSITEMPOLYLINE_H

#include <QPainterPath>

#include "DGraphicsItem.h"

// Any number of points, open or closed. The drawn path and the hit area are
// cached and rebuilt after every change.
class DGraphicsItemPolyline : public DGraphicsItem
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit DGraphicsItemPolyline(DGraphicsItem* parent);
    Q_INVOKABLE DGraphicsItemPolyline();

    QVector<QVector3D> snapPoints() const override;
    bool copy(const DGraphicsItem* other) override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    const DMetaPropertyList& properties() const override;
    void onChanged() override;
    virtual void updateCache();

    static const DMetaPropertyList& staticProperties();

    int pointCount() const;
    bool isClosed() const;
    QVector3D pointAt(int i) const;
    QVector<QVector3D> points() const;
    // Points are given in the coordinates of the item's parent.
    void addPoint(const QVector3D& p);
    void setPoint(int i, const QVector3D& p);
    void close();

    const DFileFormat::GraphicsItemPolyline& polylineData() const { return m_polyline; }

protected:
    QPainterPath m_path;
    QPainterPath m_shape;
    DFileFormat::GraphicsItemPolyline m_polyline;

private:
    // The closed path and the band of one unit along its edges: the pixels
    // the edges run through, whole.
    static QPainterPath grownByHalfAPixel(QPainterPath path);
};

#endif // DGRAPHICSITEMPOLYLINE_H
