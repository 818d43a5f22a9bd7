// State, geometry, notification and copies of the annotation items.
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

#include "DFileFormatConversion.h"
#include "DGlobalResource.h"
#include "DGraphicsItemDecorator.h"
#include "DGraphicsItemImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemPolyline.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DUtility.h"

using Factory = std::function<DGraphicsItem*()>;
Q_DECLARE_METATYPE(Factory)
using Change = std::function<void(DGraphicsItem*)>;
Q_DECLARE_METATYPE(Change)

namespace {

bool fuzzyEqual(const QVector3D& a, const QVector3D& b, float tolerance = 1e-3f)
{
    return (a - b).length() <= tolerance;
}

bool fuzzyEqual(const QPointF& a, const QPointF& b, double tolerance = 1e-3)
{
    return QLineF(a, b).length() <= tolerance;
}

void addKinds()
{
    QTest::addColumn<Factory>("make");
    QTest::newRow("rectangle") << Factory([] { return new DGraphicsItemRectangle; });
    QTest::newRow("text") << Factory([] { return new DGraphicsItemText; });
    QTest::newRow("line") << Factory([] { return new DGraphicsItemLine; });
    QTest::newRow("polyline") << Factory([] { return new DGraphicsItemPolyline; });
    QTest::newRow("polygon") << Factory([] { return new DGraphicsItemPolygon; });
    QTest::newRow("image") << Factory([] { return new DGraphicsItemImage; });
}

// Gives each kind some geometry of its own, so that copies have something to carry.
void shapeUp(DGraphicsItem* item)
{
    if (auto* r = qobject_cast<DGraphicsItemRectangle*>(item))
        r->setBoundary(QRectF(10, 20, 30, 40));
    if (auto* t = qobject_cast<DGraphicsItemText*>(item))
        t->setPlainText("label");
    if (auto* l = qobject_cast<DGraphicsItemLine*>(item))
        l->setLine(QVector3D(1, 2, 0), QVector3D(50, 60, 0));
    if (auto* p = qobject_cast<DGraphicsItemPolyline*>(item)) {
        p->addPoint(QVector3D(0, 0, 0));
        p->addPoint(QVector3D(40, 0, 0));
        p->addPoint(QVector3D(40, 30, 0));
    }
    if (auto* i = qobject_cast<DGraphicsItemImage*>(item)) {
        QPixmap pixmap(8, 6);
        pixmap.fill(Qt::red);
        i->setImage(pixmap);
    }
    item->setTranslation(QVector3D(5, 7, 0), false);
    item->setRotation_z(15);
    item->setStrokeColor(QColor(10, 20, 30));
    item->setFillColor(QColor(40, 50, 60));
}

QByteArray kindState(const DGraphicsItem* item)
{
    if (auto* t = qobject_cast<const DGraphicsItemText*>(item))
        return QByteArray::fromStdString(t->rectangleData().SerializeAsString() + t->textData().SerializeAsString());
    if (auto* r = qobject_cast<const DGraphicsItemRectangle*>(item))
        return QByteArray::fromStdString(r->rectangleData().SerializeAsString());
    if (auto* l = qobject_cast<const DGraphicsItemLine*>(item))
        return QByteArray::fromStdString(l->lineData().SerializeAsString());
    if (auto* p = qobject_cast<const DGraphicsItemPolyline*>(item))
        return QByteArray::fromStdString(p->polylineData().SerializeAsString());
    if (auto* i = qobject_cast<const DGraphicsItemImage*>(item))
        return QByteArray::fromStdString(i->imageData().SerializeAsString());
    return QByteArray();
}

} // namespace

class tst_DGraphicsItems : public QObject
{
    Q_OBJECT

private slots:
    void defaults_data() { addKinds(); }
    void defaults();
    void fillColorAlpha();
    void scaleKeepsFlat();
    void relativeSetters();
    void transformFromState();
    void rotatedRectangleKeepsItsEdge();
    void boundingRectGrowsWithStroke_data();
    void boundingRectGrowsWithStroke();
    void nestedSettersNotifyOnce();
    void kindSettersNotifyOnce_data();
    void kindSettersNotifyOnce();
    void transientItemsDoNotNotify();
    void copyAcrossClassesFails();
    void cloneGivesEqualItem_data() { addKinds(); }
    void cloneGivesEqualItem();
    void fillImageSharedAndReleased();
    void setDataWithUnknownImage();
    void createGripsNeedsALayer();
    void decoratorIsNotCloned();

    void rectangleFromDrag();
    void rectangleShape_data();
    void rectangleShape();
    void rectangleWidthUnderScale();
    void widthAndHeightAtAnyRotation_data();
    void widthAndHeightAtAnyRotation();
    void rectangleSnapPoints();

    void lineNull();
    void linePointsInParentCoordinates();
    void lineSnapPoints();

    void polylineOnePoint();
    void polylineHits_data();
    void polylineHits();
    void polylineSetPointOutOfRange();
    void polylineRotatedAddPoint();
    void polylineSnapPointCount();
    void polygonPathClosedWhileDrawn();
    void closedSampleIsHitAtOnce();
    void polylinePointOutOfRange();
    void sceneBoundaryOfItems();

    void imageWithoutPixmap();
    void imageMaskHits();
    void imageState();
    void imageSnapPoints();
};

void tst_DGraphicsItems::defaults()
{
    QFETCH(Factory, make);
    QScopedPointer<DGraphicsItem> item(make());
    QCOMPARE(item->fillColor().rgba(), QColor(0x91, 0xB8, 0xC3).rgba());
    QVERIFY(!item->isFill());
    QCOMPARE(item->strokeColor().rgba(), QColor(0x3B, 0x3B, 0x3B).rgba());
    const unsigned int expectedWidth = qobject_cast<DGraphicsItemText*>(item.data()) ? 0u : 2u;
    QCOMPARE(item->strokeWidth(), expectedWidth);
    QCOMPARE(item->opacity(), 1.0);
    QCOMPARE(item->translation(), QVector3D(0, 0, 0));
    QCOMPARE(item->rotation(), QVector3D(0, 0, 0));
    QCOMPARE(item->scale(), QVector3D(1, 1, 1));
    QCOMPARE(int(item->flags()), int(QGraphicsItem::ItemIsSelectable));
    QCOMPARE(item->type(), int(QGraphicsItem::UserType) + 2);
    QVERIFY(!item->isPersistent());
    QVERIFY(!item->layer());
    QVERIFY(item->transform().isIdentity());
}

void tst_DGraphicsItems::fillColorAlpha()
{
    DGraphicsItemRectangle item;
    item.setFillColor(QColor(255, 0, 0, 128));
    QVERIFY(item.isFill());
    QCOMPARE(item.fillColor().rgba(), QColor(255, 0, 0, 128).rgba());
    // Fully transparent: fill off, the colour stays.
    item.setFillColor(QColor(0, 255, 0, 0));
    QVERIFY(!item.isFill());
    QCOMPARE(item.fillColor().rgba(), QColor(255, 0, 0, 128).rgba());
    item.setFill(true);
    QVERIFY(item.isFill());
    QCOMPARE(item.fillColor().rgba(), QColor(255, 0, 0, 128).rgba());
}

void tst_DGraphicsItems::scaleKeepsFlat()
{
    DGraphicsItemRectangle item;
    item.setScale(QVector3D(2, 3, 5), false);
    QCOMPARE(item.scale(), QVector3D(2, 3, 1));
    item.setScale(QVector3D(2, 0.5f, 7), true);
    QCOMPARE(item.scale(), QVector3D(4, 1.5f, 1));
}

void tst_DGraphicsItems::relativeSetters()
{
    DGraphicsItemRectangle item;
    item.setTranslation(QVector3D(10, 20, 0), false);
    item.setTranslation(QVector3D(1, 2, 0), true);
    QCOMPARE(item.translation(), QVector3D(11, 22, 0));
    item.setRotation(QVector3D(1, 2, 30), false);
    item.setRotation_z(45);
    // Only z is replaced.
    QCOMPARE(item.rotation(), QVector3D(1, 2, 45));
    QCOMPARE(item.rotation_z(), 45.0);
    item.setOpacity(0.25);
    QCOMPARE(item.opacity(), 0.25);
    QCOMPARE(item.QGraphicsItem::opacity(), 0.25);
}

void tst_DGraphicsItems::transformFromState()
{
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(0, 0, 100, 50));
    item.setTranslation(QVector3D(30, 40, 0), false);
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(0, 0)), QPointF(30, 40)));

    // Rotation and scale act about the centre of the boundary.
    item.setTranslation(QVector3D(0, 0, 0), false);
    item.setRotation_z(90);
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(50, 25)), QPointF(50, 25)));
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(100, 25)), QPointF(50, 75)));
    QVERIFY(fuzzyEqual(item.center(), QVector3D(50, 25, 0)));

    item.setRotation_z(0);
    item.setScale(QVector3D(2, 3, 1), false);
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(50, 25)), QPointF(50, 25)));
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(100, 50)), QPointF(150, 100)));
    QVERIFY(fuzzyEqual(item.sceneBoundary().topLeft(), QPointF(-50, -50)));

    // The inverse really is the inverse.
    const QVector3D p(12, 34, 0);
    QVERIFY(fuzzyEqual(item.inverseTransformMatrix().map(item.transformMatrix().map(p)), p));

    // setCenter moves the centre there.
    item.setCenter(QVector3D(200, 100, 0));
    QVERIFY(fuzzyEqual(item.center(), QVector3D(200, 100, 0)));
}

void tst_DGraphicsItems::rotatedRectangleKeepsItsEdge()
{
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(0, 0, 100, 50));
    item.setRotation_z(30);
    const QPointF topLeft = item.mapToScene(QPointF(0, 0));
    const QPointF bottomLeft = item.mapToScene(QPointF(0, 50));
    item.setBoundary(QRectF(0, 0, 160, 50));
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(0, 0)), topLeft));
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(0, 50)), bottomLeft));
    // The translation absorbed the move of the pivot.
    QVERIFY(item.translation() != QVector3D(0, 0, 0));
}

void tst_DGraphicsItems::boundingRectGrowsWithStroke_data()
{
    QTest::addColumn<unsigned int>("width");
    QTest::addColumn<qreal>("growth");
    QTest::newRow("0") << 0u << qreal(2);
    QTest::newRow("1") << 1u << qreal(2);
    QTest::newRow("2") << 2u << qreal(3);
    QTest::newRow("5") << 5u << qreal(4);
}

void tst_DGraphicsItems::boundingRectGrowsWithStroke()
{
    QFETCH(unsigned int, width);
    QFETCH(qreal, growth);
    DGraphicsItemRectangle item;
    item.setFill(true);
    item.setStrokeWidth(width);
    item.setBoundary(QRectF(10, 10, 40, 30));
    QCOMPARE(item.boundary(), QRectF(10, 10, 40, 30));
    QCOMPARE(item.boundingRect(), QRectF(10, 10, 40, 30).adjusted(-growth, -growth, growth, growth));
}

void tst_DGraphicsItems::nestedSettersNotifyOnce()
{
    DGraphicsScene scene;
    DGraphicsItemLine* line = new DGraphicsItemLine;
    scene.addPersistenItem(line, false);
    QSignalSpy changed(line, &DGraphicsItem::changed);
    QSignalSpy layerChanged(scene.activeLayer(), &DGraphicsLayer::itemChanged);

    line->setLine(QVector3D(0, 0, 0), QVector3D(10, 10, 0));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().value<const DGraphicsItem*>(), line);
    QCOMPARE(layerChanged.count(), 1);

    {
        DGraphicsItemChangeNotifier outer(line);
        line->setStrokeWidth(4);
        line->setStrokeColor(Qt::red);
        QCOMPARE(changed.count(), 1);
    }
    QCOMPARE(changed.count(), 2);
}

void tst_DGraphicsItems::kindSettersNotifyOnce_data()
{
    QTest::addColumn<Factory>("make");
    QTest::addColumn<Change>("change");
    const Factory rectangle([] { return new DGraphicsItemRectangle; });
    const Factory text([] { return new DGraphicsItemText; });
    const Factory line([] { return new DGraphicsItemLine; });
    const Factory polyline([] { return new DGraphicsItemPolyline; });
    const Factory polygon([] { return new DGraphicsItemPolygon; });
    const Factory image([] { return new DGraphicsItemImage; });
    auto as = [](auto setter) { return Change(setter); };

    QTest::newRow("rectangle setBoundary") << rectangle << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemRectangle*>(i)->setBoundary(QRectF(1, 2, 30, 40));
    });
    QTest::newRow("rectangle setWidth") << rectangle << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemRectangle*>(i)->setWidth(70);
    });
    QTest::newRow("rectangle setPoint2") << rectangle << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemRectangle*>(i)->setPoint2(QVector3D(90, 80, 0));
    });
    QTest::newRow("text setPlainText") << text << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemText*>(i)->setPlainText("grows the rectangle");
    });
    QTest::newRow("text setTextColor") << text << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemText*>(i)->setTextColor(Qt::red);
    });
    QTest::newRow("text setFontBold") << text << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemText*>(i)->setFontBold(true);
    });
    QTest::newRow("line setLine") << line << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemLine*>(i)->setLine(QVector3D(0, 0, 0), QVector3D(30, 40, 0));
    });
    QTest::newRow("polyline addPoint") << polyline << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemPolyline*>(i)->addPoint(QVector3D(70, 70, 0));
    });
    QTest::newRow("polyline setPoint") << polyline << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemPolyline*>(i)->setPoint(1, QVector3D(45, 5, 0));
    });
    QTest::newRow("polygon close") << polygon << as([](DGraphicsItem* i) {
        static_cast<DGraphicsItemPolygon*>(i)->close();
    });
    QTest::newRow("image setImage") << image << as([](DGraphicsItem* i) {
        QPixmap pixmap(12, 9);
        pixmap.fill(Qt::blue);
        static_cast<DGraphicsItemImage*>(i)->setImage(pixmap);
    });
    QTest::newRow("base setCenter") << rectangle << as([](DGraphicsItem* i) { i->setCenter(QVector3D(300, 200, 0)); });
    QTest::newRow("base setFillColor") << line << as([](DGraphicsItem* i) { i->setFillColor(Qt::green); });
    // A copy from an item of the same class, which sets every part of the state.
    for (const Factory& make : {rectangle, text, line, polyline, polygon, image}) {
        QScopedPointer<DGraphicsItem> probe(make());
        QTest::newRow(qPrintable(QString("%1 copy").arg(probe->metaObject()->className())))
            << make << as([make](DGraphicsItem* i) {
                   QScopedPointer<DGraphicsItem> source(make());
                   shapeUp(source.data());
                   source->setStrokeWidth(7);
                   QVERIFY(i->copy(source.data()));
                   QCOMPARE(i->strokeWidth(), 7u);
               });
    }
}

void tst_DGraphicsItems::kindSettersNotifyOnce()
{
    QFETCH(Factory, make);
    QFETCH(Change, change);
    DGraphicsScene scene;
    DGraphicsItem* item = make();
    shapeUp(item);
    scene.addPersistenItem(item, false);
    QCoreApplication::processEvents();
    QSignalSpy changed(item, &DGraphicsItem::changed);
    QSignalSpy layerChanged(scene.activeLayer(), &DGraphicsLayer::itemChanged);
    QSignalSpy sceneChanged(&scene, &DGraphicsScene::persistentItemChanged);
    const QByteArray before = kindState(item) + QByteArray::fromStdString(item->data().SerializeAsString());

    change(item);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(layerChanged.count(), 1);
    // The change is real, and the scene hears of it once, from the event loop.
    QVERIFY(kindState(item) + QByteArray::fromStdString(item->data().SerializeAsString()) != before);
    QCOMPARE(sceneChanged.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(sceneChanged.count(), 1);
}

void tst_DGraphicsItems::transientItemsDoNotNotify()
{
    DGraphicsItemRectangle item;
    QSignalSpy changed(&item, &DGraphicsItem::changed);
    item.setBoundary(QRectF(0, 0, 10, 10));
    item.setTranslation(QVector3D(3, 4, 0), false);
    QCOMPARE(changed.count(), 0);
    // ... but their transform still follows the state.
    QVERIFY(fuzzyEqual(item.mapToScene(QPointF(0, 0)), QPointF(3, 4)));
}

void tst_DGraphicsItems::copyAcrossClassesFails()
{
    DGraphicsItemRectangle rectangle;
    rectangle.setBoundary(QRectF(1, 2, 3, 4));
    DGraphicsItemText text;
    text.setBoundary(QRectF(50, 50, 60, 60));
    text.setStrokeColor(Qt::blue);
    // A subclass is another class.
    QVERIFY(!rectangle.copy(&text));
    QCOMPARE(rectangle.rectangle(), QRectF(1, 2, 3, 4));
    QCOMPARE(rectangle.strokeColor().rgba(), QColor(0x3B, 0x3B, 0x3B).rgba());
    QVERIFY(!text.copy(&rectangle));
    DGraphicsItemPolygon polygon;
    DGraphicsItemPolyline polyline;
    QVERIFY(!polyline.copy(&polygon));
}

void tst_DGraphicsItems::cloneGivesEqualItem()
{
    QFETCH(Factory, make);
    DGraphicsScene scene;
    DGraphicsItem* item = make();
    shapeUp(item);
    scene.addPersistenItem(item, true);

    QScopedPointer<DGraphicsItem> copy(item->clone());
    QVERIFY(copy);
    QCOMPARE(copy->metaObject(), item->metaObject());
    QVERIFY(!copy->isPersistent());
    QVERIFY(!copy->scene());
    QCOMPARE(QByteArray::fromStdString(copy->data().SerializeAsString()),
             QByteArray::fromStdString(item->data().SerializeAsString()));
    QCOMPARE(kindState(copy.data()), kindState(item));
    QVERIFY(!kindState(copy.data()).isEmpty());
    QCOMPARE(copy->boundary(), item->boundary());
    QCOMPARE(copy->transform(), item->transform());
    QCOMPARE(copy->shape().boundingRect(), item->shape().boundingRect());
}

void tst_DGraphicsItems::fillImageSharedAndReleased()
{
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::blue);
    QUuid uuid;
    {
        DGraphicsItemRectangle item;
        item.setFillImage(QPixmap());
        QVERIFY(!item.fillImage());
        QVERIFY(!item.isFill());
        item.setFillImage(pixmap);
        QVERIFY(item.fillImage());
        QVERIFY(item.isFill());
        QCOMPARE(item.data().fill().type(), DFileFormat::Paint::byURI);
        uuid = item.fillImage()->uuid();
        QCOMPARE(QString::fromStdString(item.data().fill().uri()), uuid.toString());
        // Switching the fill on again keeps the image.
        item.setFill(true);
        QCOMPARE(item.data().fill().type(), DFileFormat::Paint::byURI);

        QScopedPointer<DGraphicsItem> copy(item.clone());
        QCOMPARE(copy->fillImage().data(), item.fillImage().data());
    }
    QVERIFY(!DGlobalResource::instance()->image(uuid));
}

void tst_DGraphicsItems::setDataWithUnknownImage()
{
    DGraphicsItemRectangle item;
    DFileFormat::GraphicsItem state;
    state.mutable_fill()->set_type(DFileFormat::Paint::byURI);
    state.mutable_fill()->set_uri(QUuid::createUuid().toString().toStdString());
    state.set_opacity(0.5f);
    item.setData(state);
    QVERIFY(!item.fillImage());
    QCOMPARE(item.QGraphicsItem::opacity(), 0.5);
}

void tst_DGraphicsItems::createGripsNeedsALayer()
{
    DGraphicsItemRectangle item;
    QVERIFY(!item.createGrips());
}

void tst_DGraphicsItems::decoratorIsNotCloned()
{
    DGraphicsItemDecorator decorator(nullptr);
    QVERIFY(decorator.metaObject() != &DGraphicsItem::staticMetaObject);
    QCOMPARE(decorator.metaObject()->constructorCount(), 0);
    QVERIFY(!decorator.clone());
    // Every concrete kind is built through its meta-object, with or without a parent.
    for (const QMetaObject* meta : {&DGraphicsItemRectangle::staticMetaObject, &DGraphicsItemText::staticMetaObject,
                                    &DGraphicsItemLine::staticMetaObject, &DGraphicsItemPolyline::staticMetaObject,
                                    &DGraphicsItemPolygon::staticMetaObject, &DGraphicsItemImage::staticMetaObject}) {
        QScopedPointer<QObject> plain(meta->newInstance());
        QVERIFY2(plain, meta->className());
        DGraphicsItemRectangle parent;
        DGraphicsItem* child = qobject_cast<DGraphicsItem*>(meta->newInstance(Q_ARG(DGraphicsItem*, &parent)));
        QVERIFY2(child, meta->className());
        QCOMPARE(child->parentItem(), static_cast<QGraphicsItem*>(&parent));
    }
}

void tst_DGraphicsItems::rectangleFromDrag()
{
    DGraphicsItemRectangle item;
    item.setPoint1(QVector3D(100, 100, 0));
    item.setPoint2(QVector3D(40, 60, 0));
    QCOMPARE(item.rectangleData().dimension().x(), -60.0);
    QCOMPARE(item.rectangleData().dimension().y(), -40.0);
    QCOMPARE(item.rectangle(), QRectF(40, 60, 60, 40));
    QCOMPARE(item.boundary(), QRectF(40, 60, 60, 40));
}

void tst_DGraphicsItems::rectangleShape_data()
{
    QTest::addColumn<bool>("fill");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("hit");
    // Rectangle (0, 0, 100, 60), stroke width 2: bands of half-width 4.
    QTest::newRow("3.5 inside the top edge") << false << QPointF(50, 3.5) << true;
    QTest::newRow("4.5 inside the top edge") << false << QPointF(50, 4.5) << false;
    QTest::newRow("3.5 outside the left edge") << false << QPointF(-3.5, 30) << true;
    QTest::newRow("at a corner") << false << QPointF(0, 0) << true;
    QTest::newRow("centre, unfilled") << false << QPointF(50, 30) << false;
    QTest::newRow("centre, filled") << true << QPointF(50, 30) << true;
    QTest::newRow("0.5 outside, filled") << true << QPointF(-0.5, 30) << true;
    QTest::newRow("1.5 outside, filled") << true << QPointF(-1.5, 30) << false;
}

void tst_DGraphicsItems::rectangleShape()
{
    QFETCH(bool, fill);
    QFETCH(QPointF, point);
    QFETCH(bool, hit);
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(0, 0, 100, 60));
    item.setFill(fill);
    QCOMPARE(item.contains(point), hit);
}

void tst_DGraphicsItems::rectangleWidthUnderScale()
{
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(0, 0, 10, 10));
    item.setScale(QVector3D(2, 1, 1), false);
    item.setWidth(50);
    QCOMPARE(item.rectangleData().dimension().x(), 25.0);
    QCOMPARE(item.width(), 50.0);
    item.setHeight(30);
    QCOMPARE(item.rectangleData().dimension().y(), 30.0);
    QCOMPARE(item.height(), 30.0);
}

void tst_DGraphicsItems::widthAndHeightAtAnyRotation_data()
{
    QTest::addColumn<bool>("text");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<QVector3D>("scale");
    for (bool text : {false, true}) {
        const QString kind = text ? "text" : "rectangle";
        for (double rotation : {0.0, 30.0, 90.0, 180.0, -45.0}) {
            QTest::newRow(qPrintable(QString("%1, %2 degrees").arg(kind).arg(rotation)))
                << text << rotation << QVector3D(1, 1, 1);
        }
        QTest::newRow(qPrintable(kind + ", 30 degrees, scaled")) << text << 30.0 << QVector3D(2, 0.5, 1);
    }
}

// Width and Height are the item's own size, unrotated, read and written at
// every rotation; the stored dimension stays the unscaled one.
void tst_DGraphicsItems::widthAndHeightAtAnyRotation()
{
    QFETCH(bool, text);
    QFETCH(double, rotation);
    QFETCH(QVector3D, scale);
    QScopedPointer<DGraphicsItemRectangle> item(text ? new DGraphicsItemText : new DGraphicsItemRectangle);
    if (text)
        static_cast<DGraphicsItemText*>(item.data())->setPlainText("ab");
    item->setBoundary(QRectF(10, 20, 100, 50));
    item->setScale(scale, false);
    item->setRotation_z(rotation, false);
    const auto near = [](qreal a, qreal b) { return qAbs(a - b) < 1e-3; };
    QVERIFY2(near(item->width(), 100 * scale.x()), qPrintable(QString::number(item->width())));
    QVERIFY2(near(item->height(), 50 * scale.y()), qPrintable(QString::number(item->height())));
    QCOMPARE(item->property("width").toDouble(), item->width());

    item->setWidth(120);
    QVERIFY2(near(item->width(), 120), qPrintable(QString::number(item->width())));
    QVERIFY(near(item->height(), 50 * scale.y()));
    QVERIFY(near(item->rectangleData().dimension().x(), 120 / scale.x()));
    item->setProperty("height", 70.0);
    QVERIFY2(near(item->height(), 70), qPrintable(QString::number(item->height())));
    QVERIFY(near(item->width(), 120));
    QVERIFY(near(item->rectangleData().dimension().y(), 70 / scale.y()));
    QCOMPARE(item->rotation_z(), rotation);
}

void tst_DGraphicsItems::rectangleSnapPoints()
{
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(0, 0, 10, 20));
    const QVector<QVector3D> expected = {{5, 10, 0}, {0, 0, 0},  {10, 0, 0}, {0, 20, 0}, {10, 20, 0},
                                         {5, 0, 0},  {10, 10, 0}, {5, 20, 0}, {0, 10, 0}};
    QCOMPARE(item.snapPoints(), expected);
}

void tst_DGraphicsItems::lineNull()
{
    DGraphicsItemLine item;
    item.setLine(QVector3D(10, 10, 0), QVector3D(10, 10, 0));
    QVERIFY(item.line().isNull());
    QCOMPARE(item.length(), 0.0);
    const QRectF square = item.shape().boundingRect();
    QVERIFY(fuzzyEqual(square.topLeft(), QPointF(9.9, 9.9)));
    QVERIFY(fuzzyEqual(square.bottomRight(), QPointF(10.1, 10.1)));
}

void tst_DGraphicsItems::linePointsInParentCoordinates()
{
    DGraphicsItemLine item;
    item.setTranslation(QVector3D(100, 50, 0), false);
    item.setLine(QVector3D(110, 60, 0), QVector3D(140, 100, 0));
    QVERIFY(fuzzyEqual(item.startPoint(), QVector3D(110, 60, 0)));
    QVERIFY(fuzzyEqual(item.endPoint(), QVector3D(140, 100, 0)));
    QCOMPARE(item.length(), 50.0);
    // Stored in item coordinates.
    QVERIFY(fuzzyEqual(item.line().p1(), QPointF(10, 10)));
    QVERIFY(item.contains(item.mapFromScene(QPointF(125, 80))));
    QVERIFY(!item.contains(item.mapFromScene(QPointF(140, 60))));
}

void tst_DGraphicsItems::lineSnapPoints()
{
    DGraphicsItemLine item;
    item.setLine(QVector3D(0, 0, 0), QVector3D(20, 10, 0));
    const QVector<QVector3D> points = item.snapPoints();
    QCOMPARE(points.size(), 3);
    QVERIFY(fuzzyEqual(points.at(0), QVector3D(10, 5, 0)));
    QCOMPARE(points.at(1), QVector3D(0, 0, 0));
    QCOMPARE(points.at(2), QVector3D(20, 10, 0));
}

void tst_DGraphicsItems::polylineOnePoint()
{
    DGraphicsItemPolyline item;
    item.addPoint(QVector3D(5, 5, 0));
    QCOMPARE(item.pointCount(), 1);
    QVERIFY(item.shape().isEmpty());
    QCOMPARE(item.snapPoints().size(), 1);
}

void tst_DGraphicsItems::polylineHits_data()
{
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("fill");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("hit");
    // (0,0), (100,0), (100,100), width 2.
    QTest::newRow("near the first segment") << false << false << QPointF(50, 3) << true;
    QTest::newRow("near the second segment") << false << false << QPointF(97, 50) << true;
    QTest::newRow("on the joint") << false << false << QPointF(100, 0) << true;
    QTest::newRow("closing segment, open") << false << false << QPointF(50, 50) << false;
    QTest::newRow("closing segment, closed") << true << false << QPointF(50, 50) << true;
    QTest::newRow("inside, closed, no fill") << true << false << QPointF(80, 20) << false;
    QTest::newRow("inside, closed, filled") << true << true << QPointF(80, 20) << true;
    QTest::newRow("inside near an edge, filled") << true << true << QPointF(97, 50) << true;
    QTest::newRow("outside, closed, filled") << true << true << QPointF(20, 80) << false;
}

void tst_DGraphicsItems::polylineHits()
{
    QFETCH(bool, closed);
    QFETCH(bool, fill);
    QFETCH(QPointF, point);
    QFETCH(bool, hit);
    DGraphicsItemPolyline item;
    item.addPoint(QVector3D(0, 0, 0));
    item.addPoint(QVector3D(100, 0, 0));
    item.addPoint(QVector3D(100, 100, 0));
    if (closed)
        item.close();
    item.setFill(fill);
    item.updateCache();
    QCOMPARE(item.contains(point), hit);
}

void tst_DGraphicsItems::polylineSetPointOutOfRange()
{
    DGraphicsScene scene;
    DGraphicsItemPolyline* item = new DGraphicsItemPolyline;
    item->addPoint(QVector3D(0, 0, 0));
    item->addPoint(QVector3D(10, 0, 0));
    item->addPoint(QVector3D(10, 10, 0));
    scene.addPersistenItem(item, false);
    QSignalSpy changed(item, &DGraphicsItem::changed);
    item->setPoint(5, QVector3D(99, 99, 0));
    item->setPoint(-1, QVector3D(99, 99, 0));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(item->pointCount(), 3);
    item->setPoint(2, QVector3D(20, 20, 0));
    QCOMPARE(changed.count(), 1);
    QVERIFY(fuzzyEqual(item->pointAt(2), QVector3D(20, 20, 0)));
}

void tst_DGraphicsItems::polylineRotatedAddPoint()
{
    DGraphicsItemPolyline item;
    item.addPoint(QVector3D(0, 0, 0));
    item.addPoint(QVector3D(100, 0, 0));
    item.setRotation_z(90);
    const QVector3D given(30, 70, 0);
    item.addPoint(given);
    QVERIFY(fuzzyEqual(item.pointAt(2), given));
    QVERIFY(fuzzyEqual(item.points().last(), given));
    QVERIFY(!fuzzyEqual(DFileFormat::toQVector3D(item.polylineData().points(2)), given));
}

void tst_DGraphicsItems::polylineSnapPointCount()
{
    DGraphicsItemPolyline item;
    for (int i = 0; i < 4; ++i)
        item.addPoint(QVector3D(10 * i, 5 * (i % 2), 0));
    QCOMPARE(item.snapPoints().size(), 1 + 4 + 3);
    const QVector<QVector3D> open = item.snapPoints();
    QCOMPARE(open.at(1), QVector3D(0, 0, 0));
    QCOMPARE(open.at(2), QVector3D(5, 2.5f, 0));
    item.close();
    QCOMPARE(item.snapPoints().size(), 1 + 2 * 4);
    // The last midpoint lies on the closing segment.
    QCOMPARE(item.snapPoints().last(), QVector3D(15, 2.5f, 0));
}

void tst_DGraphicsItems::polygonPathClosedWhileDrawn()
{
    DGraphicsItemPolygon polygon;
    polygon.addPoint(QVector3D(0, 0, 0));
    polygon.addPoint(QVector3D(100, 0, 0));
    polygon.addPoint(QVector3D(100, 100, 0));
    QVERIFY(!polygon.isClosed());
    // Its hit area is the polyline's: no closing band until it is closed.
    QVERIFY(!polygon.contains(QPointF(50, 50)));
    polygon.close();
    polygon.updateCache();
    QVERIFY(polygon.contains(QPointF(50, 50)));
}

void tst_DGraphicsItems::closedSampleIsHitAtOnce()
{
    // As the creation prompt does: closed while transient, then into a layer.
    DGraphicsScene scene;
    DGraphicsItemPolygon* polygon = new DGraphicsItemPolygon;
    polygon->addPoint(QVector3D(0, 0, 0));
    polygon->addPoint(QVector3D(100, 0, 0));
    polygon->addPoint(QVector3D(100, 100, 0));
    scene.addActiveItem(polygon);
    polygon->close();
    scene.removeActiveItem(polygon);
    scene.addPersistenItem(polygon, false);
    // The closing segment is hit without any further change.
    QVERIFY(polygon->contains(QPointF(50, 50)));
    QCOMPARE(scene.activeLayer()->QGraphicsScene::items(QPointF(50, 50)).size(), 1);
    // The inside of an unfilled polygon is not.
    QVERIFY(!polygon->contains(QPointF(80, 20)));
}

void tst_DGraphicsItems::polylinePointOutOfRange()
{
    DGraphicsItemPolyline item;
    item.addPoint(QVector3D(1, 2, 0));
    QCOMPARE(item.pointAt(0), QVector3D(1, 2, 0));
    QCOMPARE(item.pointAt(1), QVector3D());
    QCOMPARE(item.pointAt(-1), QVector3D());
}

void tst_DGraphicsItems::sceneBoundaryOfItems()
{
    QCOMPARE(DUtility::calcSceneBoundary({}), QRectF(0, 0, 0, 0));
    DGraphicsItemRectangle a;
    a.setBoundary(QRectF(10, 10, 20, 20));
    DGraphicsItemRectangle b;
    b.setBoundary(QRectF(0, 0, 10, 10));
    b.setTranslation(QVector3D(100, 50, 0), false);
    // An item without geometry takes no part.
    DGraphicsItemPolyline empty;
    empty.setTranslation(QVector3D(-500, -500, 0), false);
    QCOMPARE(DUtility::calcSceneBoundary({&a, &b, &empty}), QRectF(10, 10, 100, 50));
    QCOMPARE(b.sceneBoundary(), QRectF(100, 50, 10, 10));
}

void tst_DGraphicsItems::imageWithoutPixmap()
{
    DGraphicsItemImage item;
    QVERIFY(item.shape().isEmpty());
    QCOMPARE(item.snapPoints().size(), 9);
    for (const QVector3D& p : item.snapPoints())
        QCOMPARE(p, QVector3D(0, 0, 0));
    QImage target(10, 10, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    item.paint(&painter, nullptr, nullptr);
    painter.end();
    QCOMPARE(target.pixel(0, 0), qRgb(255, 255, 255));
}

void tst_DGraphicsItems::imageMaskHits()
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 15; ++x)
            image.setPixel(x, y, qRgb(200, 0, 0));
    DGraphicsItemImage item;
    item.setImage(QPixmap::fromImage(image));
    QVERIFY(!item.contains(QPointF(2, 2)));
    QVERIFY(item.contains(QPointF(10, 10)));
    QCOMPARE(item.boundary(), QRectF(5, 5, 10, 10));
}

void tst_DGraphicsItems::imageState()
{
    QImage image(10, 20, QImage::Format_ARGB32);
    image.fill(qRgba(1, 2, 3, 4));
    const QPixmap pixmap = QPixmap::fromImage(image);
    DGraphicsItemImage item;
    item.setImage(pixmap);
    const QImage stored = pixmap.toImage();
    QCOMPARE(item.imageData().width(), 10);
    QCOMPARE(item.imageData().height(), 20);
    QCOMPARE(item.imageData().format(), int(stored.format()));
    QCOMPARE(int(item.imageData().data().size()), 800);
    QCOMPARE(QByteArray::fromStdString(item.imageData().data()),
             QByteArray(reinterpret_cast<const char*>(stored.constBits()), int(stored.sizeInBytes())));
    // Without transparency, the whole pixmap is hit.
    QImage opaque(10, 20, QImage::Format_RGB32);
    opaque.fill(Qt::green);
    item.setImage(QPixmap::fromImage(opaque));
    QCOMPARE(item.boundary(), QRectF(0, 0, 10, 20));
}

void tst_DGraphicsItems::imageSnapPoints()
{
    QPixmap pixmap(40, 20);
    pixmap.fill(Qt::red);
    DGraphicsItemImage item;
    item.setImage(pixmap);
    item.setTranslation(QVector3D(100, 100, 0), false);
    // Centre, corners, edge middles of the pixmap, in item coordinates.
    const QVector<QVector3D> expected = {{20, 10, 0}, {0, 0, 0},   {40, 0, 0},  {0, 20, 0}, {40, 20, 0},
                                         {20, 0, 0},  {40, 10, 0}, {20, 20, 0}, {0, 10, 0}};
    QCOMPARE(item.snapPoints(), expected);
}

QTEST_MAIN(tst_DGraphicsItems)
#include "tst_DGraphicsItems.moc"
