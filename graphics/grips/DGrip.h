#ifndef DGRIP_H
#define DGRIP_H

#include <QColor>
#include <QGraphicsObject>
#include <QSharedPointer>
#include <QTransform>
#include <QVector3D>

#include "DD.h"
#include "DGripGlyph.h"

class DGraphicsItem;
class DGraphicsScene;
class DGripAdditionalGraphics;
class DGripConstraint;
class DGripData;
class DGripFactoryAbstract;

Q_DECLARE_METATYPE(DD::enumGripDragStatus)

// A handle on a selected persistent item. Dragging it shows a half-transparent
// copy of the item with the edit applied; at the release the same edit goes
// to the item itself. The grip keeps its size on screen at every zoom.
class DGrip : public QGraphicsObject
{
    Q_OBJECT
public:
    enum { Type = QGraphicsItem::UserType + 1 };

    explicit DGrip(DGraphicsItem* item);
    ~DGrip() override;

    // The painted glyph grown by 3 pixels on every side, in screen pixels
    // whatever the view's scale.
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    int type() const override { return Type; }

    void setFactory(const QSharedPointer<DGripFactoryAbstract>& factory) { m_factory = factory; }
    QSharedPointer<DGripFactoryAbstract> factory() const { return m_factory; }

    // The glyph and its direction make the bounds.
    void setGlyph(int glyph)
    {
        prepareGeometryChange();
        m_glyph = glyph;
    }
    int glyphIndex() const { return m_glyph; }
    const QPainterPath& glyph() const;

    void setBasePoint(const QVector3D& point);
    QVector3D basePoint() const { return m_basePoint; }
    void setDirection(const QVector3D& direction)
    {
        prepareGeometryChange();
        m_direction = direction;
    }
    QVector3D direction() const { return m_direction; }
    QVector3D offset() const { return m_offset; }

    void setColor(const QColor& color) { m_fillColor = color; }
    QColor color() const { return m_fillColor; }
    QColor penColor() const { return m_penColor; }

    void setGripData(DGripData* data);
    DGripData* gripData() const { return m_data; }
    void setConstraint(DGripConstraint* constraint);
    DGripConstraint* constraint() const { return m_constraint; }
    void setAdditionalGraphics(DGripAdditionalGraphics* graphics);
    DGripAdditionalGraphics* additionalGraphics() const { return m_additionalGraphics; }

    DGraphicsItem* item() const { return m_item; }
    DGraphicsItem* movingItem() const { return m_movingItem; }
    DD::enumGripDragStatus dragStatus() const { return m_dragStatus; }
    bool isHovered() const { return m_hovered; }

    DGraphicsScene* scene() const;

    void cleanMovingItem();
    void dragOperation(DD::enumGripDragStatus status, const QVector3D& position);
    // Ends a drag under way without applying it to the item (the item is
    // going away, or the scene is).
    void abandonDrag();

signals:
    void moved(DGrip* grip, DGraphicsItem* item);
    void dragStatusChanged(DD::enumGripDragStatus status);

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    bool sceneEvent(QEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    void releaseCursor();
    // The turn that points the glyph along the direction.
    QTransform glyphRotation() const;

    QSharedPointer<DGripFactoryAbstract> m_factory;
    int m_glyph = DGripGlyph::Square;
    QVector3D m_basePoint;
    QVector3D m_direction = QVector3D(1, 0, 0);
    QVector3D m_offset;
    QColor m_penColor = QColor(1, 20, 50);
    QColor m_fillColor = QColor(Qt::green);
    DGripData* m_data = nullptr;
    DGraphicsItem* m_item;
    DGraphicsItem* m_movingItem = nullptr;
    DD::enumGripDragStatus m_dragStatus = DD::GripDragIdle;
    bool m_hovered = false;
    DGripConstraint* m_constraint = nullptr;
    DGripAdditionalGraphics* m_additionalGraphics = nullptr;
};

#endif // DGRIP_H
