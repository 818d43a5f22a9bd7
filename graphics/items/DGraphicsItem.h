#ifndef DGRAPHICSITEM_H
#define DGRAPHICSITEM_H

#include <QColor>
#include <QExplicitlySharedDataPointer>
#include <QGraphicsItem>
#include <QList>
#include <QMatrix4x4>
#include <QObject>
#include <QPixmap>
#include <QVector3D>
#include <QVector>

#include "DGraphicsItemChangeNotifier.h"
#include "DNamedImage.h"
#include "data.pb.h"

class DGrip;
class DGraphicsLayer;
class DMetaPropertyList;

// Base of every annotation item. The whole visible state lives in one
// GraphicsItem message; kinds keep their geometry in a message of their own.
// Every change is bracketed by a DGraphicsItemChangeNotifier: the outermost one
// rebuilds the transform and, for an item of a layer, tells the layer.
class DGraphicsItem : public QObject, public QGraphicsItem
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
    Q_PROPERTY(QVector3D position READ center WRITE setCenter)
    Q_PROPERTY(QVector3D scale READ scale WRITE setScale)
    Q_PROPERTY(qreal rotation READ rotation_z WRITE setRotation_z)
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity)
    Q_PROPERTY(int strokeWidth READ strokeWidthProperty WRITE setStrokeWidthProperty)
    Q_PROPERTY(QColor strokeColor READ strokeColor WRITE setStrokeColor)
    Q_PROPERTY(bool fill READ isFill WRITE setFill)
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)

public:
    enum { Type = QGraphicsItem::UserType + 2 };

    explicit DGraphicsItem(DGraphicsItem* parent);
    ~DGraphicsItem() override;

    // Virtual operations of the item, in this order.
    virtual QVector<QVector3D> snapPoints() const;
    virtual bool copy(const DGraphicsItem* other);
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    QPainterPath shape() const override;
    virtual const DMetaPropertyList& properties() const;
    virtual QList<DGrip*>* createGrips() const;
    virtual QRectF boundary() const;
    virtual void setDefaults();
    virtual void onChanged();
    QRectF boundingRect() const override;
    int type() const override;

    static const DMetaPropertyList& staticProperties();

    // Placement, read from the state message.
    QVector3D translation() const;
    QVector3D rotation() const;
    QVector3D scale() const;
    double rotation_z() const;
    QVector3D center() const;

    unsigned int strokeWidth() const;
    QColor strokeColor() const;
    QColor fillColor() const;
    bool isFill() const;
    qreal opacity() const;

    void setTranslation(const QVector3D& v, bool relative = false);
    void setRotation(const QVector3D& v, bool relative = false);
    void setRotation_z(double z, bool relative = false);
    void setScale(const QVector3D& v, bool relative = false);
    void setCenter(const QVector3D& p);
    void setFill(bool on);
    void setFillColor(const QColor& c);
    void setStrokeColor(const QColor& c);
    void setStrokeWidth(unsigned int w);
    void setOpacity(double o);

    void setFillImage(const QPixmap& image, const QPixmap& unused = QPixmap());
    // The image shown by a byURI fill, null when there is none.
    QExplicitlySharedDataPointer<DNamedImage> fillImage() const { return m_fillImage; }

    using QGraphicsItem::setData;
    void setData(const DFileFormat::GraphicsItem& msg);
    const DFileFormat::GraphicsItem& data() const { return m_state; }
    using QGraphicsItem::data;

    DGraphicsItem* clone() const;
    QRectF sceneBoundary() const;
    DGraphicsLayer* layer() const;

    bool isPersistent() const { return m_persistent; }
    void setPersistent(bool persistent) { m_persistent = persistent; }

    // The matrix last built from the state, and its inverse.
    const QMatrix4x4& transformMatrix() const { return m_transform; }
    const QMatrix4x4& inverseTransformMatrix() const { return m_inverseTransform; }

    void notifyWillChange();
    void notifyHasChanged();

signals:
    void changed(const DGraphicsItem* item);

protected:
    void updateTransform(bool keepPlace);

    // The centre, the corners and the edge middles of boundary(), in item
    // coordinates: the snap points of a kind shaped like a box.
    QVector<QVector3D> boxSnapPoints() const;
    // The base table with the fill entries hidden, for kinds that the user
    // does not fill.
    static DMetaPropertyList propertiesWithoutFill();

    // The copy of one kind: one notification around Base's copy and, when that
    // succeeds (other is of this very class), copyOwn(other as Kind) for the
    // state that the kind adds.
    template <class Base, class Kind, class CopyOwn>
    static bool copyKind(Kind* self, const DGraphicsItem* other, CopyOwn copyOwn)
    {
        DGraphicsItemChangeNotifier notifier(self);
        if (!self->Base::copy(other))
            return false;
        copyOwn(*static_cast<const Kind*>(other));
        return true;
    }

    DFileFormat::GraphicsItem m_state;
    QExplicitlySharedDataPointer<DNamedImage> m_fillImage;
    QMatrix4x4 m_transform;
    QMatrix4x4 m_inverseTransform;

private:
    // The strokeWidth property is an int; the setter clamps negative values to 0.
    int strokeWidthProperty() const { return int(strokeWidth()); }
    void setStrokeWidthProperty(int w) { setStrokeWidth(w < 0 ? 0u : unsigned(w)); }

    bool m_persistent = false;
    int m_changeDepth = 0;
    mutable QList<const QMetaObject*> m_factoryClasses;
    bool m_inNotification = false;
};

// Items travel as signal arguments (changed, the scene's persistent-item signals).
Q_DECLARE_METATYPE(const DGraphicsItem*)

#endif // DGRAPHICSITEM_H
