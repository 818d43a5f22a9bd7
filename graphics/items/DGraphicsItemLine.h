#ifndef DGRAPHICSITEMLINE_H
#define DGRAPHICSITEMLINE_H

#include <QLineF>

#include "DGraphicsItem.h"

// A straight line between two points stored in item coordinates.
class DGraphicsItemLine : public DGraphicsItem
{
    Q_OBJECT
    Q_PROPERTY(QVector3D start READ startPoint WRITE setStartPoint)
    Q_PROPERTY(QVector3D end READ endPoint WRITE setEndPoint)

public:
    Q_INVOKABLE explicit DGraphicsItemLine(DGraphicsItem* parent);
    Q_INVOKABLE DGraphicsItemLine();

    QVector<QVector3D> snapPoints() const override;
    bool copy(const DGraphicsItem* other) override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    const DMetaPropertyList& properties() const override;

    static const DMetaPropertyList& staticProperties();

    QLineF line() const;
    QVector3D startPoint() const;
    QVector3D endPoint() const;
    qreal length() const;
    // Points are given in the coordinates of the item's parent.
    void setStartPoint(const QVector3D& p);
    void setEndPoint(const QVector3D& p);
    void setLine(const QVector3D& p1, const QVector3D& p2);

    const DFileFormat::GraphicsItemLine& lineData() const { return m_line; }

protected:
    DFileFormat::GraphicsItemLine m_line;
};

#endif // DGRAPHICSITEMLINE_H
