#ifndef DGRAPHICSITEMPOLYGON_H
#define DGRAPHICSITEMPOLYGON_H

#include "DGraphicsItemPolyline.h"

// A polyline that is drawn closed and may be filled once it is closed.
class DGraphicsItemPolygon : public DGraphicsItemPolyline
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit DGraphicsItemPolygon(DGraphicsItem* parent);
    Q_INVOKABLE DGraphicsItemPolygon();

    QVector<QVector3D> snapPoints() const override;
    bool copy(const DGraphicsItem* other) override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    const DMetaPropertyList& properties() const override;
    void updateCache() override;

    static const DMetaPropertyList& staticProperties();
};

#endif // DGRAPHICSITEMPOLYGON_H
