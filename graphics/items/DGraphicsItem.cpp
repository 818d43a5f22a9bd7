#include "DGraphicsItem.h"

#include <QPainter>
#include <QSharedPointer>
#include <QUuid>

#include <climits>

#include "DConstants.h"
#include "DFileFormatConversion.h"
#include "DGlobalResource.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGrip.h"
#include "DGripFactoryAbstract.h"
#include "DGripFactoryManager.h"
#include "DMetaPropertyList.h"
#include "DUtility.h"

using namespace DFileFormat;

DGraphicsItem::DGraphicsItem(DGraphicsItem* parent)
    : QObject(nullptr)
    , QGraphicsItem(parent)
{
    setFlags(QGraphicsItem::ItemIsSelectable);
    // The defaults are the starting state, not a change.
    m_inNotification = true;
    setDefaults();
    m_inNotification = false;
}

DGraphicsItem::~DGraphicsItem()
{
    setSelected(false);
    if (DGraphicsLayer* owner = layer())
        owner->forgetItem(this);
    m_factoryClasses.clear();
    m_fillImage.reset();
}

void DGraphicsItem::setDefaults()
{
    setFillColor(QColor(0x91, 0xB8, 0xC3));
    setFill(false);
    setStrokeColor(QColor(0x3B, 0x3B, 0x3B));
    setStrokeWidth(2);
}

// ---------------------------------------------------------------------------
// State

QVector3D DGraphicsItem::translation() const
{
    return m_state.has_translation() ? toQVector3D(m_state.translation()) : QVector3D(0, 0, 0);
}

QVector3D DGraphicsItem::rotation() const
{
    return m_state.has_rotation() ? toQVector3D(m_state.rotation()) : QVector3D(0, 0, 0);
}

QVector3D DGraphicsItem::scale() const
{
    return m_state.has_scale() ? toQVector3D(m_state.scale()) : QVector3D(1, 1, 1);
}

double DGraphicsItem::rotation_z() const
{
    return rotation().z();
}

QVector3D DGraphicsItem::center() const
{
    const QPointF c = boundary().center();
    QVector3D p = m_transform.map(QVector3D(float(c.x()), float(c.y()), 0.0f));
    p.setZ(0.0f);
    return p;
}

unsigned int DGraphicsItem::strokeWidth() const
{
    const float w = m_state.strokewidth();
    if (!(w > 0.0f))
        return 0u;
    // Pens and the int property take the width as an int; the float rounds
    // the widest int up beyond it (and may hold more than any unsigned).
    return w < 2147483648.0f ? static_cast<unsigned int>(w) : unsigned(INT_MAX);
}

QColor DGraphicsItem::strokeColor() const
{
    return toQColor(m_state.stroke().color());
}

QColor DGraphicsItem::fillColor() const
{
    return toQColor(m_state.fill().color());
}

bool DGraphicsItem::isFill() const
{
    return m_state.fill().type() != Paint::none;
}

qreal DGraphicsItem::opacity() const
{
    return m_state.opacity();
}

void DGraphicsItem::setTranslation(const QVector3D& v, bool relative)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_state.mutable_translation() = toVector3D(relative ? translation() + v : v);
    updateTransform(false);
}

void DGraphicsItem::setRotation(const QVector3D& v, bool relative)
{
    DGraphicsItemChangeNotifier notifier(this);
    *m_state.mutable_rotation() = toVector3D(relative ? rotation() + v : v);
    updateTransform(false);
}

void DGraphicsItem::setRotation_z(double z, bool relative)
{
    QVector3D r = rotation();
    r.setZ(float(relative ? r.z() + z : z));
    setRotation(r, false);
}

void DGraphicsItem::setScale(const QVector3D& v, bool relative)
{
    DGraphicsItemChangeNotifier notifier(this);
    QVector3D s = relative ? scale() * v : v;
    // Items are flat: a depth scale would only make the matrix harder to invert.
    s.setZ(1.0f);
    *m_state.mutable_scale() = toVector3D(s);
    updateTransform(false);
}

void DGraphicsItem::setCenter(const QVector3D& p)
{
    setTranslation(p - center(), true);
}

void DGraphicsItem::setFill(bool on)
{
    DGraphicsItemChangeNotifier notifier(this);
    // Switching on a fill that is already on keeps its kind (an image stays an image).
    if (on && isFill())
        return;
    m_state.mutable_fill()->set_type(on ? Paint::byColor : Paint::none);
}

void DGraphicsItem::setFillColor(const QColor& c)
{
    DGraphicsItemChangeNotifier notifier(this);
    if (c.toRgb().alpha() == 0) {
        setFill(false);
        return;
    }
    m_state.mutable_fill()->set_type(Paint::byColor);
    m_state.mutable_fill()->set_color(toColor(c));
}

void DGraphicsItem::setStrokeColor(const QColor& c)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_state.mutable_stroke()->set_color(toColor(c));
}

void DGraphicsItem::setStrokeWidth(unsigned int w)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_state.set_strokewidth(float(w));
}

void DGraphicsItem::setOpacity(double o)
{
    DGraphicsItemChangeNotifier notifier(this);
    m_state.set_opacity(float(o));
    QGraphicsItem::setOpacity(o);
}

void DGraphicsItem::setFillImage(const QPixmap& image, const QPixmap&)
{
    if (image.isNull())
        return;
    m_fillImage = DNamedImagePtr(new DNamedImage(image));
    Paint* fill = m_state.mutable_fill();
    fill->set_type(Paint::byURI);
    fill->set_uri(m_fillImage->uuid().toString().toLatin1().constData());
    update();
}

void DGraphicsItem::setData(const DFileFormat::GraphicsItem& msg)
{
    m_state.CopyFrom(msg);
    if (m_state.fill().type() == Paint::byURI) {
        const QUuid uuid(QString::fromLatin1(m_state.fill().uri().c_str()));
        m_fillImage = DSingleton<DGlobalResource>::instance()->image(uuid);
    } else {
        // An image the new state does not show is not kept alive by it.
        m_fillImage.reset();
    }
    QGraphicsItem::setOpacity(m_state.opacity());
}

bool DGraphicsItem::copy(const DGraphicsItem* other)
{
    if (!other || other->metaObject() != metaObject())
        return false;
    setData(other->m_state);
    m_transform = other->m_transform;
    m_inverseTransform = other->m_inverseTransform;
    return true;
}

DGraphicsItem* DGraphicsItem::clone() const
{
    QObject* object = metaObject()->newInstance();
    if (!object)
        return nullptr;
    DGraphicsItem* item = qobject_cast<DGraphicsItem*>(object);
    if (!item) {
        delete object;
        return nullptr;
    }
    item->copy(this);
    return item;
}

QRectF DGraphicsItem::sceneBoundary() const
{
    return mapRectToScene(boundary());
}

DGraphicsLayer* DGraphicsItem::layer() const
{
    // qobject_cast, not a plain cast: while a layer is torn down its QGraphicsScene
    // part outlives the layer part.
    return m_persistent ? qobject_cast<DGraphicsLayer*>(scene()) : nullptr;
}

// ---------------------------------------------------------------------------
// Change notification and transform

void DGraphicsItem::notifyWillChange()
{
    if (m_changeDepth == 0) {
        prepareGeometryChange();
        if (!m_persistent && scene())
            scene()->invalidate(sceneBoundingRect(), QGraphicsScene::ItemLayer);
    }
    ++m_changeDepth;
}

void DGraphicsItem::notifyHasChanged()
{
    --m_changeDepth;
    if (m_changeDepth != 0 || m_inNotification)
        return;
    m_inNotification = true;
    updateTransform(true);
    if (m_persistent) {
        onChanged();
        if (DGraphicsLayer* owner = layer())
            owner->onItemChanged(this);
        emit changed(this);
    }
    m_inNotification = false;
}

void DGraphicsItem::onChanged()
{
}

void DGraphicsItem::updateTransform(bool keepPlace)
{
    const QRectF b = boundary();
    const QVector3D c(float(b.x() + 0.5 * b.width()), float(b.y() + 0.5 * b.height()), 0.0f);

    QMatrix4x4 n;
    n.translate(-c);
    if (m_state.has_scale()) {
        QMatrix4x4 s;
        s.scale(scale());
        n = s * n;
    }
    if (m_state.has_rotation()) {
        QMatrix4x4 r;
        r.rotate(rotation().z(), DConstants::Z_AXIS);
        n = r * n;
    }
    QVector3D p = c;
    if (m_state.has_translation())
        p += translation();
    QMatrix4x4 t;
    t.translate(p);
    n = t * n;

    if (keepPlace) {
        // The pivot moves with the geometry; shift the translation so that
        // the points that did not change stay where they were on the scene.
        const QVector3D d = m_transform.map(p) - n.map(p);
        if (d.x() != 0.0f || d.y() != 0.0f || d.z() != 0.0f) {
            *m_state.mutable_translation() = toVector3D(translation() + d);
            QMatrix4x4 shift;
            shift.translate(d);
            n = shift * n;
        }
    }

    QGraphicsItem::setTransform(n.toTransform(), false);
    m_transform = n;
    m_inverseTransform = n.inverted();
}

// ---------------------------------------------------------------------------
// Painting and bounds

void DGraphicsItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const double s = DGraphicsScene::devicePixelScaleOf(scene());
    // Transient items are drawn in the scene itself, which is not shifted by
    // half a pixel as the layers are.
    if (scene() && scene()->metaObject() == &DGraphicsScene::staticMetaObject)
        painter->translate(0.5 / s, 0.5 / s);

    QPen pen;
    pen.setColor(strokeColor());
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    const unsigned int w = strokeWidth();
    if (w > 0) {
        pen.setWidth(int(w));
    } else if (m_persistent && !isSelected()) {
        pen.setStyle(Qt::NoPen);
    } else {
        // Keeps an item without a stroke visible while drawn or selected.
        pen.setWidth(1);
        pen.setCosmetic(true);
        pen.setStyle(Qt::DotLine);
    }
    painter->setPen(pen);

    const Paint::Type fillType = m_state.fill().type();
    if (fillType == Paint::byURI && m_fillImage) {
        QBrush brush(m_fillImage->pixmap());
        brush.setTransform(QTransform::fromTranslate(-0.5 / s, -0.5 / s));
        painter->setBrush(brush);
    } else if (fillType == Paint::byColor) {
        painter->setBrush(QBrush(fillColor()));
    }
}

QPainterPath DGraphicsItem::shape() const
{
    return QPainterPath();
}

QRectF DGraphicsItem::boundary() const
{
    return shape().boundingRect();
}

QRectF DGraphicsItem::boundingRect() const
{
    const qreal g = int(strokeWidth() / 2) + 2;
    return boundary().adjusted(-g, -g, g, g);
}

int DGraphicsItem::type() const
{
    return Type;
}

QVector<QVector3D> DGraphicsItem::snapPoints() const
{
    const QPointF c = boundary().center();
    return QVector<QVector3D>() << QVector3D(float(c.x()), float(c.y()), 0.0f);
}

QVector<QVector3D> DGraphicsItem::boxSnapPoints() const
{
    const QRectF b = boundary();
    return DGraphicsItem::snapPoints() + DUtility::corners(b) + DUtility::midPoints(b);
}

// ---------------------------------------------------------------------------
// Grips

QList<DGrip*>* DGraphicsItem::createGrips() const
{
    if (m_factoryClasses.isEmpty())
        m_factoryClasses = DGripFactoryManager::instance()->find(metaObject());
    DGraphicsLayer* owner = layer();
    if (!owner)
        return nullptr;

    QList<DGrip*>* result = new QList<DGrip*>;
    for (const QMetaObject* factoryClass : qAsConst(m_factoryClasses)) {
        QObject* object = factoryClass->newInstance();
        DGripFactoryAbstract* factory = qobject_cast<DGripFactoryAbstract*>(object);
        if (!factory) {
            delete object;
            continue;
        }
        // The factory lives as long as the last grip it made.
        QSharedPointer<DGripFactoryAbstract> shared(factory);
        QList<DGrip*> grips;
        factory->createGrips(grips, this);
        for (DGrip* grip : qAsConst(grips))
            grip->setFactory(shared);
        result->append(grips);
        DGraphicsScene* scene = owner->ownerScene();
        QObject::connect(factory, &DGripFactoryAbstract::dragStarted, scene, &DGraphicsScene::onGripDragStarted);
        QObject::connect(factory, &DGripFactoryAbstract::dragEnded, scene, &DGraphicsScene::onGripDragEnded);
    }
    return result;
}

// ---------------------------------------------------------------------------
// Properties

const DMetaPropertyList& DGraphicsItem::properties() const
{
    return staticProperties();
}

const DMetaPropertyList& DGraphicsItem::staticProperties()
{
    static const DMetaPropertyList list = [] {
        const QMetaObject& meta = staticMetaObject;
        DMetaPropertyList l;
        l.addProperty(meta, "position", tr("Position"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "scale", tr("Scale"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "rotation", tr("Rotation"), DMetaProperty::PropertyBrowser, 1);
        l.addProperty(meta, "strokeColor", tr("Stroke Color"), QPixmap(":/images/template_color_line.png"),
                      DMetaProperty::QuickEditor | DMetaProperty::PropertyBrowser);
        l.addProperty(meta, "strokeWidth", tr("Stroke Width"),
                      DMetaProperty::QuickEditor | DMetaProperty::PropertyBrowser, 2)
            .addOption("minimum", 0);
        l.addProperty(meta, "fill", tr("Fill"), DMetaProperty::PropertyBrowser, 1);
        DMetaProperty& fillColor = l.addProperty(meta, "fillColor", tr("Fill Color"),
                                                 QPixmap(":/images/template_color_fill.png"),
                                                 DMetaProperty::QuickEditor | DMetaProperty::PropertyBrowser);
        fillColor.setEnableDependency("fill");
        fillColor.addOption("colorNoFill", true);
        DMetaProperty& opacity = l.addProperty(meta, "opacity", tr("Opacity"), DMetaProperty::PropertyBrowser, 1);
        opacity.addOption("minimum", 0.0);
        opacity.addOption("maximum", 1.0);
        return l;
    }();
    return list;
}

DMetaPropertyList DGraphicsItem::propertiesWithoutFill()
{
    DMetaPropertyList list = staticProperties();
    list.hide("fill");
    list.hide("fillColor");
    return list;
}
