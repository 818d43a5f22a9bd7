#include <QGraphicsSceneMouseEvent>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include "DEventFilter.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsLayer.h"
#include "DGraphicsSnapSystem.h"
#include "DSceneFixture.h"
#include "DSnapLine.h"

namespace {
// Records the scene position of every mouse press it is offered; consumes nothing.
class DRecordingFilter : public DEventFilter
{
public:
    explicit DRecordingFilter(QList<QPointF>* sink) : m_sink(sink) {}
    bool eventFilter(QEvent* event) override
    {
        if (event->type() == QEvent::GraphicsSceneMousePress)
            m_sink->append(static_cast<QGraphicsSceneMouseEvent*>(event)->scenePos());
        return false;
    }

private:
    QList<QPointF>* m_sink;
};

DGraphicsItemRectangle* rectangle(const QRectF& r)
{
    auto* item = new DGraphicsItemRectangle;
    item->setBoundary(r);
    return item;
}

QList<double> values(const QList<DGraphicsSnapPoint>& list)
{
    QList<double> result;
    for (const DGraphicsSnapPoint& point : list)
        result.append(point.value);
    return result;
}

// A scene mouse event as the view would deliver it.
QGraphicsSceneMouseEvent* mouseEvent(QEvent::Type type, const QPointF& scenePos)
{
    auto* event = new QGraphicsSceneMouseEvent(type);
    event->setScenePos(scenePos);
    event->setScreenPos(QPoint(7, 9));
    event->setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : Qt::LeftButton);
    return event;
}
}

class tst_DGraphicsSnapSystem : public QObject
{
    Q_OBJECT
private slots:
    void snapTable_data();
    void snapTable();
    void snapWithinThreeScreenPixels_data();
    void snapWithinThreeScreenPixels();
    void addKeepsListsSortedAndMerged();
    void nearbyCornersShareOnePoint();
    void addMapsSnapPointsToTheScene();
    void addAgainReplacesTheEarlierPoints();
    void itemLeavingByDeleteIsForgotten();
    void itemLeavingItsLayerIsForgotten_data();
    void itemLeavingItsLayerIsForgotten();
    void eventFilterRewritesPositionAndNeverConsumes_data();
    void eventFilterRewritesPositionAndNeverConsumes();
    void onlyXSnapsGivesOneVerticalLine();
    void otherEventsPassUntouched();
    void sceneSnapsMousePressesBeforeItemsSeeThem();
    void snapLineGeometry();
    void snapLinePaintsOneSharpDevicePixel_data();
    void snapLinePaintsOneSharpDevicePixel();
};

void tst_DGraphicsSnapSystem::snapTable_data()
{
    QTest::addColumn<QList<double>>("points");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("snaps");
    QTest::addColumn<double>("result");

    const QList<double> three { 0.0, 10.0, 20.0 };
    QTest::newRow("empty list") << QList<double>() << 5.0 << false << 0.0;
    QTest::newRow("exact hit") << three << 10.0 << true << 10.0;
    QTest::newRow("3 px above") << three << 13.0 << true << 10.0;
    QTest::newRow("3 px below") << three << 7.0 << true << 10.0;
    QTest::newRow("3.01 px above") << three << 13.01 << false << 0.0;
    QTest::newRow("3.01 px below the first") << three << -3.01 << false << 0.0;
    QTest::newRow("beyond the last") << three << 23.5 << false << 0.0;
    QTest::newRow("near the last") << three << 22.0 << true << 20.0;
    QTest::newRow("one point, within") << QList<double> { 4.0 } << 6.5 << true << 4.0;
    QTest::newRow("one point, outside") << QList<double> { 4.0 } << 7.5 << false << 0.0;
    // The search lands on 2.5 (within 3 of 4.9); its upper neighbour 5 is nearer.
    QTest::newRow("nearer upper neighbour") << QList<double> { 0.0, 2.5, 5.0 } << 4.9 << true << 5.0;
    // The search lands on 2.5 (within 3 of 0.1); its lower neighbour 0 is nearer.
    QTest::newRow("nearer lower neighbour") << QList<double> { 0.0, 2.5, 5.0 } << 0.1 << true << 0.0;
    // Equal distances keep the point that the search landed on.
    QTest::newRow("tie keeps the found point") << QList<double> { 0.0, 2.0, 4.0 } << 3.0 << true << 2.0;
}

void tst_DGraphicsSnapSystem::snapTable()
{
    QFETCH(QList<double>, points);
    QFETCH(double, value);
    QFETCH(bool, snaps);
    QFETCH(double, result);

    DGraphicsScene scene; // no view: scale 1, tolerance 3
    DGraphicsSnapSystem snap(&scene);
    DGraphicsItemRectangle item;
    QList<DGraphicsSnapPoint> list;
    for (double v : qAsConst(points))
        snap.add(list, v, &item);

    double r = -1234.0;
    QCOMPARE(snap.snap(list, value, r), snaps);
    if (snaps)
        QCOMPARE(r, result);
    else
        QCOMPARE(r, -1234.0);
}

void tst_DGraphicsSnapSystem::snapWithinThreeScreenPixels_data()
{
    QTest::addColumn<double>("zoom");
    // A scale the view's transform holds beside the zoom: the overlay shows a
    // screen that Qt scales one screen pixel to one scene unit.
    QTest::addColumn<double>("beside");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("zoom 2") << 2.0 << 1.0 << 1.5;
    QTest::newRow("screen scaled by 2") << 1.0 << 0.5 << 6.0;
    QTest::newRow("screen scaled by 1.5") << 1.0 << 1.0 / 1.5 << 4.5;
}

void tst_DGraphicsSnapSystem::snapWithinThreeScreenPixels()
{
    QFETCH(double, zoom);
    QFETCH(double, beside);
    QFETCH(double, tolerance);
    DSceneFixture fixture;
    fixture.view()->setTransform(QTransform::fromScale(beside, beside));
    fixture.setZoom(zoom);
    QVERIFY(qAbs(fixture.scene()->scale() - zoom * beside) < 1e-9);

    DGraphicsSnapSystem snap(fixture.scene());
    DGraphicsItemRectangle item;
    QList<DGraphicsSnapPoint> list;
    snap.add(list, 10.0, &item);
    double r = 0.0;
    QVERIFY(snap.snap(list, 10.0 + tolerance - 1e-6, r));
    QCOMPARE(r, 10.0);
    QVERIFY(!snap.snap(list, 10.0 + tolerance + 0.01, r));
    QVERIFY(!snap.snap(list, 11.0 + tolerance, r));
}

void tst_DGraphicsSnapSystem::addKeepsListsSortedAndMerged()
{
    DGraphicsSnapSystem snap(nullptr);
    DGraphicsItemRectangle a;
    DGraphicsItemRectangle b;
    QList<DGraphicsSnapPoint> list;
    snap.add(list, 5.0, &a);
    snap.add(list, 1.0, &a);
    snap.add(list, 9.0, &b);
    snap.add(list, 5.009, &b);  // joins 5.0
    snap.add(list, 5.0, &a);    // already there: nothing new
    snap.add(list, 5.011, &b);  // 0.011 away: a point of its own
    QCOMPARE(values(list), (QList<double> { 1.0, 5.0, 5.011, 9.0 }));
    QCOMPARE(list.at(1).items, (QList<const DGraphicsItem*> { &a, &b }));

    snap.remove(list, &b);
    QCOMPARE(values(list), (QList<double> { 1.0, 5.0 }));
    QCOMPARE(list.at(1).items, (QList<const DGraphicsItem*> { &a }));
    snap.remove(list, &a);
    QVERIFY(list.isEmpty());
}

void tst_DGraphicsSnapSystem::nearbyCornersShareOnePoint()
{
    DGraphicsScene scene;
    DGraphicsSnapSystem snap(&scene);
    QScopedPointer<DGraphicsItemRectangle> a(rectangle(QRectF(0, 0, 100, 50)));
    QScopedPointer<DGraphicsItemRectangle> b(rectangle(QRectF(100.005, 0, 100, 50)));
    snap.add(a.data());
    snap.add(b.data());

    auto pointAt = [&](double v) -> const DGraphicsSnapPoint* {
        for (const DGraphicsSnapPoint& p : snap.xList())
            if (qAbs(p.value - v) < 0.01)
                return &p;
        return nullptr;
    };
    const DGraphicsSnapPoint* shared = pointAt(100.0);
    QVERIFY(shared);
    QCOMPARE(shared->items.size(), 2);
    // The shared x is listed once.
    QCOMPARE(values(snap.xList()).count(shared->value), 1);

    snap.remove(a.data());
    shared = pointAt(100.0);
    QVERIFY(shared);
    QCOMPARE(shared->items, (QList<const DGraphicsItem*> { b.data() }));
    QVERIFY(!pointAt(0.0)); // a's left edge went with it

    snap.remove(b.data());
    QVERIFY(snap.xList().isEmpty());
    QVERIFY(snap.yList().isEmpty());
    QVERIFY(snap.itemPoints().isEmpty());
}

void tst_DGraphicsSnapSystem::addMapsSnapPointsToTheScene()
{
    DGraphicsScene scene;
    DGraphicsSnapSystem snap(&scene);
    QScopedPointer<DGraphicsItemRectangle> item(rectangle(QRectF(0, 0, 100, 50)));
    item->setTranslation(QVector3D(30, 40, 0));
    snap.add(item.data());

    // Corners, centre and edge midpoints of (30, 40, 100, 50).
    QCOMPARE(values(snap.xList()), (QList<double> { 30.0, 80.0, 130.0 }));
    QCOMPARE(values(snap.yList()), (QList<double> { 40.0, 65.0, 90.0 }));
    QCOMPARE(snap.itemPoints().value(item.data()).size(), item->snapPoints().size());
}

void tst_DGraphicsSnapSystem::addAgainReplacesTheEarlierPoints()
{
    DGraphicsScene scene;
    DGraphicsSnapSystem snap(&scene);
    QScopedPointer<DGraphicsItemRectangle> item(rectangle(QRectF(0, 0, 100, 50)));
    snap.add(item.data());
    item->setTranslation(QVector3D(500, 0, 0));
    snap.add(item.data());
    QCOMPARE(values(snap.xList()), (QList<double> { 500.0, 550.0, 600.0 }));
}

void tst_DGraphicsSnapSystem::itemLeavingByDeleteIsForgotten()
{
    DSceneFixture fixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(10, 10, 100, 50));
    fixture.scene()->addPersistenItem(item, false);
    DGraphicsSnapSystem& snap = fixture.scene()->snapSystem();
    QVERIFY(!snap.xList().isEmpty());

    delete item; // the overlay deletes items this way
    QVERIFY(snap.xList().isEmpty());
    QVERIFY(snap.yList().isEmpty());
    QVERIFY(snap.itemPoints().isEmpty());

    // Nothing pulls the pointer towards the deleted item any more.
    QScopedPointer<QGraphicsSceneMouseEvent> event(mouseEvent(QEvent::GraphicsSceneMouseMove, QPointF(11, 11)));
    snap.eventFilter(fixture.scene(), event.data());
    QCOMPARE(event->scenePos(), QPointF(11, 11));
}

void tst_DGraphicsSnapSystem::itemLeavingItsLayerIsForgotten_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("taken out of its layer") << "layer";
    QTest::newRow("removed through the scene") << "scene";
    QTest::newRow("the layer is cleared") << "clear";
}

void tst_DGraphicsSnapSystem::itemLeavingItsLayerIsForgotten()
{
    QFETCH(QString, path);
    DSceneFixture fixture;
    DGraphicsScene* scene = fixture.scene();
    DGraphicsItemRectangle* leaving = rectangle(QRectF(10, 10, 100, 50));
    scene->addPersistenItem(leaving, false);
    DGraphicsItemRectangle* staying = nullptr;
    if (path != "clear") {
        staying = rectangle(QRectF(400, 300, 20, 20));
        scene->addPersistenItem(staying, false);
    }
    DGraphicsSnapSystem& snap = scene->snapSystem();
    QVERIFY(snap.itemPoints().contains(leaving));

    QScopedPointer<DGraphicsItemRectangle> kept;
    if (path == "layer") {
        scene->activeLayer()->removeItem(leaving);
        kept.reset(leaving); // still alive, no longer persistent
    } else if (path == "scene") {
        scene->removePersistenItem(leaving);
    } else {
        scene->activeLayer()->clear();
    }
    QVERIFY(!snap.itemPoints().contains(leaving));
    for (const DGraphicsSnapPoint& point : snap.xList())
        QVERIFY(!point.items.contains(leaving));
    for (const DGraphicsSnapPoint& point : snap.yList())
        QVERIFY(!point.items.contains(leaving));
    if (path == "clear") {
        QVERIFY(snap.xList().isEmpty());
    } else {
        QCOMPARE(values(snap.xList()), (QList<double> { 400.0, 410.0, 420.0 }));
        QVERIFY(snap.itemPoints().contains(staying));
    }

    // The pointer is no longer pulled onto the item's left edge.
    QScopedPointer<QGraphicsSceneMouseEvent> event(mouseEvent(QEvent::GraphicsSceneMouseMove, QPointF(11, 200)));
    snap.eventFilter(scene, event.data());
    QCOMPARE(event->scenePos(), QPointF(11, 200));
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_DGraphicsSnapSystem::eventFilterRewritesPositionAndNeverConsumes_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("move") << int(QEvent::GraphicsSceneMouseMove);
    QTest::newRow("press") << int(QEvent::GraphicsSceneMousePress);
    QTest::newRow("release") << int(QEvent::GraphicsSceneMouseRelease);
    QTest::newRow("double click") << int(QEvent::GraphicsSceneMouseDoubleClick);
}

void tst_DGraphicsSnapSystem::eventFilterRewritesPositionAndNeverConsumes()
{
    QFETCH(int, type);
    DGraphicsScene scene;
    DGraphicsSnapSystem snap(&scene);
    QScopedPointer<DGraphicsItemRectangle> item(rectangle(QRectF(0, 0, 100, 50)));
    snap.add(item.data());

    QScopedPointer<QGraphicsSceneMouseEvent> event(mouseEvent(QEvent::Type(type), QPointF(98, 52.5)));
    QVERIFY(!snap.eventFilter(&scene, event.data()));
    QCOMPARE(event->scenePos(), QPointF(100, 50));
    QCOMPARE(event->screenPos(), QPoint(7, 9)); // only the scene position changes
    QCOMPARE(scene.snapLines().size(), 2);

    // Far from every point: written back unchanged, and the old lines are gone.
    QScopedPointer<QGraphicsSceneMouseEvent> far(mouseEvent(QEvent::Type(type), QPointF(300.25, 200.75)));
    QVERIFY(!snap.eventFilter(&scene, far.data()));
    QCOMPARE(far->scenePos(), QPointF(300.25, 200.75));
    QVERIFY(scene.snapLines().isEmpty());
}

void tst_DGraphicsSnapSystem::onlyXSnapsGivesOneVerticalLine()
{
    DGraphicsScene scene;
    DGraphicsSnapSystem snap(&scene);
    QScopedPointer<DGraphicsItemRectangle> item(rectangle(QRectF(0, 0, 100, 50)));
    snap.add(item.data());

    QScopedPointer<QGraphicsSceneMouseEvent> event(mouseEvent(QEvent::GraphicsSceneMouseMove, QPointF(48.5, 200)));
    snap.eventFilter(&scene, event.data());
    QCOMPARE(event->scenePos(), QPointF(50, 200));
    QCOMPARE(scene.snapLines().size(), 1);
    QCOMPARE(scene.snapLines().first().direction(), DSnapLine::X);
    QCOMPARE(scene.snapLines().first().value(), 50.0);
}

void tst_DGraphicsSnapSystem::otherEventsPassUntouched()
{
    DGraphicsScene scene;
    DGraphicsSnapSystem snap(&scene);
    QScopedPointer<DGraphicsItemRectangle> item(rectangle(QRectF(0, 0, 100, 50)));
    snap.add(item.data());
    scene.snapped(DSnapLine(5, DSnapLine::X));

    QGraphicsSceneHoverEvent hover(QEvent::GraphicsSceneHoverMove);
    hover.setScenePos(QPointF(99, 49));
    QVERIFY(!snap.eventFilter(&scene, &hover));
    QCOMPARE(hover.scenePos(), QPointF(99, 49));
    QCOMPARE(scene.snapLines().size(), 1); // not even the old lines are cleared
}

void tst_DGraphicsSnapSystem::sceneSnapsMousePressesBeforeItemsSeeThem()
{
    QList<QPointF> seen; // outlives the filter that fills it
    DSceneFixture fixture;
    DGraphicsItemRectangle* target = rectangle(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(target, false);
    auto* recorder = new DRecordingFilter(&seen);
    recorder->start(fixture.canvas.data());

    fixture.click(QPointF(98.5, 151.25));
    // The filters saw the snapped position, and the press went on to the layer.
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.first(), QPointF(100, 150));
    QVERIFY(target->isSelected());
}

void tst_DGraphicsSnapSystem::snapLineGeometry()
{
    const QRectF r(10, 20, 300, 200);
    const DSnapLine vertical(50, DSnapLine::X);
    const DSnapLine horizontal(220, DSnapLine::Y);
    QVERIFY(vertical.intersects(r));
    QVERIFY(horizontal.intersects(r)); // the bottom edge counts
    QVERIFY(!DSnapLine(9.99, DSnapLine::X).intersects(r));
    QVERIFY(!DSnapLine(220.01, DSnapLine::Y).intersects(r));
    QCOMPARE(vertical.rect(r), QRectF(49, 20, 3, 200));
    QCOMPARE(horizontal.rect(r), QRectF(10, 219, 300, 3));
}

void tst_DGraphicsSnapSystem::snapLinePaintsOneSharpDevicePixel_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("column");
    QTest::newRow("zoom 1") << 1.0 << 20.0 << 20;
    QTest::newRow("zoom 1, fraction") << 1.0 << 20.3 << 20;
    QTest::newRow("zoom 2") << 2.0 << 10.0 << 20;
    QTest::newRow("zoom 3, fraction") << 3.0 << 7.1 << 21;
}

void tst_DGraphicsSnapSystem::snapLinePaintsOneSharpDevicePixel()
{
    QFETCH(double, zoom);
    QFETCH(double, value);
    QFETCH(int, column);

    QImage image(60, 10, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(zoom, zoom);
        DSnapLine(value, DSnapLine::X).paint(&painter, QRectF(0, 0, 60 / zoom, 10 / zoom));
    }
    // Exactly one column is cyan, at full strength; its neighbours stay black.
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, 5);
        if (x == column)
            QCOMPARE(pixel, QColor(Qt::cyan).rgba());
        else
            QCOMPARE(pixel, QColor(Qt::black).rgba());
    }
}

QTEST_MAIN(tst_DGraphicsSnapSystem)
#include "tst_DGraphicsSnapSystem.moc"
