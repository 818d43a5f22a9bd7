#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include "DCursor.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsLayer.h"
#include "DGrip.h"
#include "DGripAdditionalGraphics.h"
#include "DGripConstraintLine.h"
#include "DGripData.h"
#include "DGripFactoryAbstract.h"
#include "DGripGlyph.h"
#include "DGripManager.h"
#include "DSceneFixture.h"

namespace {
int g_deleted = 0;

class CountedData : public DGripData
{
public:
    ~CountedData() override { ++g_deleted; }
};

class CountedConstraint : public DGripConstraint
{
public:
    ~CountedConstraint() override { ++g_deleted; }
    QVector2D filtered(const QVector3D& offset) const override { return QVector2D(offset.x(), 0); }
};

DGraphicsItemRectangle* rectangle(const QRectF& r)
{
    auto* item = new DGraphicsItemRectangle;
    item->setBoundary(r);
    return item;
}

// The grip of an item whose base point is p.
DGrip* gripAt(DGraphicsScene* scene, const DGraphicsItem* item, const QPointF& p)
{
    const QList<DGrip*>* grips = scene->gripManager().grips(item);
    if (!grips)
        return nullptr;
    for (DGrip* grip : *grips)
        if ((grip->basePoint().toPointF() - p).manhattanLength() < 1e-3)
            return grip;
    return nullptr;
}
}

class tst_DGrip : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void glyphs();
    void construction();
    void ownedPartsAreReplacedAndDeleted();
    void constraintAlongADirection_data();
    void constraintAlongADirection();
    void boundingRectKeepsItsScreenSize_data();
    void boundingRectKeepsItsScreenSize();
    void paintKeepsThePixelSize_data();
    void paintKeepsThePixelSize();
    void pressWithoutMove();
    void dragWithSeveralMoves();
    void dragStopsAtTheVisibleArea();
    void selectionFollowingAcrossLayers();
    void updateGripsRebuildsAfterAChange();
    void deletingASelectedItemDropsItsGrips();
    void hoverBindsTheDrawnCursor();
    void sceneTornDownWhileAGripIsHovered();
    void sceneTornDownDuringADrag();
};

void tst_DGrip::initTestCase()
{
    qRegisterMetaType<DD::enumGripDragStatus>();
}

void tst_DGrip::glyphs()
{
    DGripGlyph* glyph = DGripGlyph::get();
    QCOMPARE(glyph, DGripGlyph::get());
    QCOMPARE(glyph->getStockGlyph(DGripGlyph::Square).boundingRect(), QRectF(-3, -3, 6, 6));
    QCOMPARE(glyph->getStockGlyph(DGripGlyph::RoundedBar).boundingRect(), QRectF(-2, -4, 4, 8));
    QCOMPARE(glyph->getStockGlyph(DGripGlyph::Triangle).boundingRect(), QRectF(-3, -5, 9, 10));
    QCOMPARE(glyph->getStockGlyph(DGripGlyph::Circle).boundingRect(), QRectF(-3, -3, 6, 6));
    QVERIFY(glyph->getStockGlyph(DGripGlyph::Circle) != glyph->getStockGlyph(DGripGlyph::Square));
    // Outside the stock set: the square.
    QCOMPARE(glyph->getStockGlyph(4), glyph->getStockGlyph(DGripGlyph::Square));
    QCOMPARE(glyph->getStockGlyph(99), glyph->getStockGlyph(DGripGlyph::Square));
}

void tst_DGrip::construction()
{
    DGraphicsItemRectangle item;
    DGrip grip(&item);
    QCOMPARE(grip.type(), int(QGraphicsItem::UserType + 1));
    QCOMPARE(grip.item(), &item);
    QCOMPARE(grip.glyphIndex(), 0);
    QCOMPARE(grip.direction(), QVector3D(1, 0, 0));
    QCOMPARE(grip.color(), QColor(Qt::green));
    QCOMPARE(grip.penColor(), QColor(1, 20, 50));
    QCOMPARE(grip.acceptedMouseButtons(), Qt::MouseButtons(Qt::LeftButton));
    QVERIFY(grip.acceptHoverEvents());
    QVERIFY(grip.flags() & QGraphicsItem::ItemIsMovable);
    QVERIFY(grip.flags() & QGraphicsItem::ItemSendsGeometryChanges);
    QCOMPARE(grip.cursor().shape(), Qt::BlankCursor);
    QCOMPARE(grip.dragStatus(), DD::GripDragIdle);

    grip.setBasePoint(QVector3D(12, 34, 0));
    QCOMPARE(grip.pos(), QPointF(12, 34));
    // Outside a scene the grip's bounds are the glyph's, grown by 3.
    QCOMPARE(grip.boundingRect(), QRectF(-6, -6, 12, 12));
}

void tst_DGrip::ownedPartsAreReplacedAndDeleted()
{
    g_deleted = 0;
    {
        DGraphicsItemRectangle item;
        DGrip grip(&item);
        auto* data = new CountedData;
        grip.setGripData(data);
        grip.setGripData(data); // the same one again: kept
        QCOMPARE(g_deleted, 0);
        grip.setGripData(new CountedData);
        QCOMPARE(g_deleted, 1);

        auto* constraint = new CountedConstraint;
        grip.setConstraint(constraint);
        grip.setConstraint(constraint);
        QCOMPARE(g_deleted, 1);
        grip.setConstraint(new CountedConstraint);
        QCOMPARE(g_deleted, 2);
        grip.setAdditionalGraphics(new DGripAdditionalGraphics);
        grip.setAdditionalGraphics(new DGripAdditionalGraphics);
    }
    QCOMPARE(g_deleted, 4); // the grip's destructor deletes the last data and constraint
}

void tst_DGrip::constraintAlongADirection_data()
{
    QTest::addColumn<QVector3D>("direction");
    QTest::addColumn<QVector3D>("offset");
    QTest::addColumn<QVector2D>("filtered");
    QTest::newRow("(1,1) turns (4,0) into (2,2)") << QVector3D(1, 1, 0) << QVector3D(4, 0, 0) << QVector2D(2, 2);
    QTest::newRow("vertical drops x") << QVector3D(0, -1, 0) << QVector3D(20, 7, 0) << QVector2D(0, 7);
    QTest::newRow("horizontal drops y") << QVector3D(3, 0, 0) << QVector3D(20, 7, 0) << QVector2D(20, 0);
    QTest::newRow("z is ignored") << QVector3D(1, 0, 5) << QVector3D(2, 2, 9) << QVector2D(2, 0);
}

void tst_DGrip::constraintAlongADirection()
{
    QFETCH(QVector3D, direction);
    QFETCH(QVector3D, offset);
    QFETCH(QVector2D, filtered);
    const DGripConstraintLine line(direction);
    const QVector2D result = line.filtered(offset);
    QVERIFY2(qAbs(result.x() - filtered.x()) < 1e-5f && qAbs(result.y() - filtered.y()) < 1e-5f,
             qPrintable(QString("%1,%2").arg(result.x()).arg(result.y())));
}

void tst_DGrip::boundingRectKeepsItsScreenSize_data()
{
    QTest::addColumn<double>("zoom");
    // A scale the view's transform holds beside the zoom: the overlay shows a
    // screen that Qt scales by 2 or 1.5 one screen pixel to one scene unit.
    QTest::addColumn<double>("beside");
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QVector3D>("direction");
    QTest::addColumn<QRectF>("bounds");
    const QVector3D along(1, 0, 0);
    const int square = DGripGlyph::Square;
    QTest::newRow("zoom 1") << 1.0 << 1.0 << square << along << QRectF(-6, -6, 12, 12);
    QTest::newRow("zoom 2") << 2.0 << 1.0 << square << along << QRectF(-3, -3, 6, 6);
    QTest::newRow("zoom 4") << 4.0 << 1.0 << square << along << QRectF(-1.5, -1.5, 3, 3);
    QTest::newRow("screen scaled by 2") << 1.0 << 0.5 << square << along << QRectF(-12, -12, 24, 24);
    QTest::newRow("zoom 2, screen scaled by 1.5") << 2.0 << 1.0 / 1.5 << square << along << QRectF(-4.5, -4.5, 9, 9);
    // Turned to point down, the bar lies across, and so do its bounds.
    QTest::newRow("bar along x") << 1.0 << 1.0 << int(DGripGlyph::RoundedBar) << along << QRectF(-5, -7, 10, 14);
    QTest::newRow("bar along y") << 1.0 << 1.0 << int(DGripGlyph::RoundedBar) << QVector3D(0, 1, 0)
                                 << QRectF(-7, -5, 14, 10);
    QTest::newRow("bar along y, screen scaled by 2") << 1.0 << 0.5 << int(DGripGlyph::RoundedBar)
                                                     << QVector3D(0, -1, 0) << QRectF(-14, -10, 28, 20);
}

void tst_DGrip::boundingRectKeepsItsScreenSize()
{
    QFETCH(double, zoom);
    QFETCH(double, beside);
    QFETCH(int, glyph);
    QFETCH(QVector3D, direction);
    QFETCH(QRectF, bounds);
    DSceneFixture fixture;
    fixture.view()->setTransform(QTransform::fromScale(beside, beside));
    fixture.setZoom(zoom);
    DGraphicsItemRectangle item;
    auto* grip = new DGrip(&item);
    grip->setGlyph(glyph);
    grip->setDirection(direction);
    fixture.scene()->addItem(grip);
    const QRectF r = grip->boundingRect();
    QVERIFY2(qAbs(r.x() - bounds.x()) < 1e-9 && qAbs(r.y() - bounds.y()) < 1e-9
                 && qAbs(r.width() - bounds.width()) < 1e-9 && qAbs(r.height() - bounds.height()) < 1e-9,
             qPrintable(QString("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
    fixture.scene()->removeItem(grip);
    delete grip;
}

void tst_DGrip::paintKeepsThePixelSize_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QVector3D>("direction");
    QTest::addColumn<QSize>("extent");
    // The glyph plus its one-pixel outline, whatever the zoom.
    QTest::newRow("square, zoom 1") << 1.0 << int(DGripGlyph::Square) << QVector3D(1, 0, 0) << QSize(7, 7);
    QTest::newRow("square, zoom 4") << 4.0 << int(DGripGlyph::Square) << QVector3D(1, 0, 0) << QSize(7, 7);
    QTest::newRow("square, zoom 0.4") << 0.4 << int(DGripGlyph::Square) << QVector3D(1, 0, 0) << QSize(7, 7);
    QTest::newRow("bar along x") << 2.0 << int(DGripGlyph::RoundedBar) << QVector3D(1, 0, 0) << QSize(5, 9);
    // Turned to point down, the bar lies across.
    QTest::newRow("bar along y") << 2.0 << int(DGripGlyph::RoundedBar) << QVector3D(0, 1, 0) << QSize(9, 5);
}

void tst_DGrip::paintKeepsThePixelSize()
{
    QFETCH(double, zoom);
    QFETCH(int, glyph);
    QFETCH(QVector3D, direction);
    QFETCH(QSize, extent);

    DGraphicsItemRectangle item;
    DGrip grip(&item);
    grip.setGlyph(glyph);
    grip.setDirection(direction);
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(20, 20);
        painter.scale(zoom, zoom);
        grip.paint(&painter, nullptr, nullptr);
    }
    QRect painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                painted |= QRect(x, y, 1, 1);
    QCOMPARE(painted.size(), extent);
    QVERIFY(painted.contains(20, 20));
    // Filled with the fill colour, drawn at 0.85 opacity over white.
    const QColor centre = image.pixelColor(20, 20);
    QVERIFY2(centre.green() > 200 && centre.red() < 100 && centre.blue() < 100, qPrintable(centre.name()));
}

void tst_DGrip::pressWithoutMove()
{
    DSceneFixture fixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(item, true);
    DGrip* grip = gripAt(fixture.scene(), item, QPointF(300, 150));
    QVERIFY(grip);

    QSignalSpy status(grip, &DGrip::dragStatusChanged);
    QSignalSpy moved(grip, &DGrip::moved);
    QSignalSpy started(grip->factory().data(), &DGripFactoryAbstract::dragStarted);
    QSignalSpy ended(grip->factory().data(), &DGripFactoryAbstract::dragEnded);
    fixture.move(QPointF(300, 150));
    fixture.click(QPointF(300, 150));

    QCOMPARE(started.count(), 1);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(status.count(), 3);
    QCOMPARE(status.at(0).at(0).value<DD::enumGripDragStatus>(), DD::GripDragStarted);
    QCOMPARE(status.at(1).at(0).value<DD::enumGripDragStatus>(), DD::GripDragEnded);
    QCOMPARE(status.at(2).at(0).value<DD::enumGripDragStatus>(), DD::GripDragIdle);
    QCOMPARE(item->sceneBoundary(), QRectF(100, 100, 200, 100));
    QCOMPARE(fixture.transientItems(), 0);
}

void tst_DGrip::dragWithSeveralMoves()
{
    DSceneFixture fixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(item, true);
    QPointer<DGrip> grip = gripAt(fixture.scene(), item, QPointF(300, 150)); // right edge
    QVERIFY(grip);

    struct Seen {
        DGraphicsItem* target;
        double opacity;
        double right;
        int copies;
        bool previousCopyGone;
        bool inScene;
    };
    QList<Seen> seen;
    QPointer<DGraphicsItem> previous;
    DGraphicsScene* scene = fixture.scene();
    connect(grip.data(), &DGrip::moved, this, [&](DGrip*, DGraphicsItem* target) {
        seen.append({ target, target->opacity(), target->sceneBoundary().right(), fixture.transientItems(),
                      previous.isNull(), target->QGraphicsItem::scene() == scene });
        if (target != item)
            previous = target;
    });
    QSignalSpy status(grip.data(), &DGrip::dragStatusChanged);

    fixture.move(QPointF(300, 150));
    fixture.press(QPointF(300, 150));
    fixture.move(QPointF(310, 150), Qt::LeftButton);
    fixture.move(QPointF(320, 150), Qt::LeftButton);
    fixture.move(QPointF(330, 160), Qt::LeftButton); // the edge only moves sideways
    fixture.release(QPointF(330, 160));

    QCOMPARE(seen.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(seen[i].target != item);
        QCOMPARE(seen[i].opacity, 0.5);
        QCOMPARE(seen[i].copies, 1); // one ghost at a time
        QVERIFY(seen[i].previousCopyGone); // a fresh copy, the last one deleted
        QVERIFY(seen[i].inScene);
        QCOMPARE(seen[i].right, 310.0 + 10 * i);
    }
    QVERIFY(!previous); // the last copy went at the release
    QCOMPARE(seen[3].target, item);
    QCOMPARE(seen[3].opacity, 1.0);
    QCOMPARE(fixture.transientItems(), 0); // the ghost is gone

    QList<int> statuses;
    for (const QList<QVariant>& args : qAsConst(status))
        statuses.append(args.at(0).value<DD::enumGripDragStatus>());
    QCOMPARE(statuses, (QList<int> { 1, 2, 3, 0 }));
    QCOMPARE(item->sceneBoundary(), QRectF(100, 100, 230, 100));

    // The grips are rebuilt for the changed item from the event loop.
    QTRY_VERIFY(!grip);
    QVERIFY(gripAt(fixture.scene(), item, QPointF(330, 150)));
}

void tst_DGrip::dragStopsAtTheVisibleArea()
{
    DSceneFixture fixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(item, true);
    DGrip* grip = gripAt(fixture.scene(), item, QPointF(300, 150));
    QVERIFY(grip);
    const QRectF visible = fixture.scene()->visibleRect();

    fixture.move(QPointF(300, 150));
    fixture.press(QPointF(300, 150));
    const QPoint outside(fixture.viewport()->width() + 200, fixture.toViewport(QPointF(300, 150)).y());
    fixture.moveToViewport(outside, Qt::LeftButton);
    QCOMPARE(grip->pos().x(), visible.left() + visible.width());
    fixture.release(QPointF(300, 150));
    QCOMPARE(item->sceneBoundary().right(), visible.left() + visible.width());
}

void tst_DGrip::selectionFollowingAcrossLayers()
{
    DSceneFixture fixture;
    DGraphicsScene* scene = fixture.scene();
    DGraphicsItemRectangle* a = rectangle(QRectF(10, 10, 50, 50));
    DGraphicsItemRectangle* b = rectangle(QRectF(100, 10, 50, 50));
    scene->addPersistenItem(a, false);
    scene->addPersistenItem(b, false);
    scene->createLayer();
    DGraphicsLayer* second = scene->layers().at(1);
    DGraphicsItemRectangle* c = rectangle(QRectF(200, 10, 50, 50));
    second->addItem(c);

    a->setSelected(true);
    b->setSelected(true);
    QVERIFY(scene->gripManager().grips(a));
    QVERIFY(scene->gripManager().grips(b));
    const QList<DGrip*> gripsOfB = *scene->gripManager().grips(b);
    QList<QPointer<DGrip>> gripsOfA;
    for (DGrip* grip : *scene->gripManager().grips(a))
        gripsOfA.append(grip);

    // A selection change in the other layer leaves both alone.
    c->setSelected(true);
    QVERIFY(scene->gripManager().grips(c));
    QCOMPARE(*scene->gripManager().grips(b), gripsOfB);
    for (const QPointer<DGrip>& grip : qAsConst(gripsOfA))
        QVERIFY(grip);

    // Only B stays selected: B keeps the same grips, A's are deleted.
    a->setSelected(false);
    QVERIFY(!scene->gripManager().grips(a));
    QCOMPARE(*scene->gripManager().grips(b), gripsOfB);
    for (const QPointer<DGrip>& grip : qAsConst(gripsOfA))
        QVERIFY(!grip);
    for (DGrip* grip : gripsOfB)
        QCOMPARE(grip->scene(), scene);
    QVERIFY(scene->gripManager().grips(c));
}

void tst_DGrip::updateGripsRebuildsAfterAChange()
{
    DSceneFixture fixture;
    DGraphicsScene* scene = fixture.scene();
    DGraphicsItemRectangle* item = rectangle(QRectF(10, 10, 50, 50));
    scene->addPersistenItem(item, true);
    QPointer<DGrip> old = gripAt(scene, item, QPointF(60, 35));
    QVERIFY(old);
    item->setBoundary(QRectF(10, 10, 80, 50));
    QTRY_VERIFY(!old);
    QVERIFY(gripAt(scene, item, QPointF(90, 35)));

    // An item without grips is not given any.
    DGraphicsItemRectangle* unselected = rectangle(QRectF(200, 200, 10, 10));
    scene->addPersistenItem(unselected, false);
    scene->gripManager().updateGrips(unselected);
    QVERIFY(!scene->gripManager().grips(unselected));
}

void tst_DGrip::deletingASelectedItemDropsItsGrips()
{
    DSceneFixture fixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(item, true);
    QList<QPointer<DGrip>> grips;
    for (DGrip* grip : *fixture.scene()->gripManager().grips(item))
        grips.append(grip);
    QCOMPARE(grips.size(), 9);
    fixture.move(QPointF(100, 100)); // hovered, so the drawn cursor is bound too

    delete item; // the overlay deletes items this way
    QVERIFY(fixture.scene()->gripManager().items().isEmpty());
    for (const QPointer<DGrip>& grip : qAsConst(grips))
        QVERIFY(!grip);
    QVERIFY(!fixture.scene()->cursor().isBinded());
    QApplication::processEvents();
}

void tst_DGrip::hoverBindsTheDrawnCursor()
{
    DSceneFixture fixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(item, true);
    DGrip* grip = gripAt(fixture.scene(), item, QPointF(100, 100));
    QVERIFY(grip);
    DCursor& cursor = fixture.scene()->cursor();
    fixture.move(QPointF(50, 50)); // wherever earlier tests left the pointer
    QVERIFY(!grip->isHovered());
    QVERIFY(!cursor.isBinded());

    fixture.move(QPointF(101, 101));
    QVERIFY(grip->isHovered());
    QVERIFY(cursor.isBinded());
    QCOMPARE(cursor.pos(), QPointF(100, 100)); // the cursor sits on the grip
    QCOMPARE(QCursor::pos(), fixture.viewport()->mapToGlobal(fixture.toViewport(QPointF(100, 100))));

    fixture.move(QPointF(50, 50));
    QVERIFY(!grip->isHovered());
    QVERIFY(!cursor.isBinded());
}

void tst_DGrip::sceneTornDownWhileAGripIsHovered()
{
    auto* fixture = new DSceneFixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture->scene()->addPersistenItem(item, true);
    DGrip* grip = gripAt(fixture->scene(), item, QPointF(100, 100));
    QVERIFY(grip);
    fixture->move(QPointF(100, 100));
    QVERIFY(fixture->scene()->cursor().isBinded());
    delete fixture; // must not touch a deleted grip or cursor
    QApplication::processEvents();
}

void tst_DGrip::sceneTornDownDuringADrag()
{
    auto* fixture = new DSceneFixture;
    DGraphicsItemRectangle* item = rectangle(QRectF(100, 100, 200, 100));
    fixture->scene()->addPersistenItem(item, true);
    QVERIFY(gripAt(fixture->scene(), item, QPointF(300, 150)));
    fixture->move(QPointF(300, 150));
    fixture->press(QPointF(300, 150));
    fixture->move(QPointF(320, 150), Qt::LeftButton);
    QCOMPARE(fixture->transientItems(), 1);
    delete fixture;
    QApplication::processEvents();
}

QTEST_MAIN(tst_DGrip)
#include "tst_DGrip.moc"
