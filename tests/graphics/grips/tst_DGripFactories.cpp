#include <QPixmap>
#include <QtTest>

#include "DGraphicsItemImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemPolyline.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGrip.h"
#include "DGripConstraintLine.h"
#include "DGripDataVariant.h"
#include "DGripFactoryBoundary.h"
#include "DGripFactoryImage.h"
#include "DGripFactoryLine.h"
#include "DGripFactoryLocation.h"
#include "DGripFactoryPolygon.h"
#include "DGripFactoryPolyline.h"
#include "DGripFactorySize.h"
#include "DGripFactoryManager.h"

namespace {
// The grips of one factory for an item, sharing the factory as the item's own
// grips do; deleted with the holder.
class Grips
{
public:
    Grips(DGripFactoryAbstract* made, const DGraphicsItem* item) : factory(made)
    {
        factory->createGrips(list, item);
        for (DGrip* grip : qAsConst(list))
            grip->setFactory(factory);
    }
    ~Grips() { qDeleteAll(list); }
    QSharedPointer<DGripFactoryAbstract> factory;
    DGrip* operator[](int i) const { return list.at(i); }
    int size() const { return list.size(); }
    QList<DGrip*> list;
};

// Drags a grip as a mouse drag would: start, one move per point, end.
void drag(DGrip* grip, const QList<QVector3D>& positions)
{
    grip->dragOperation(DD::GripDragStarted, QVector3D());
    for (const QVector3D& p : positions)
        grip->dragOperation(DD::GripDragMoving, p);
    grip->dragOperation(DD::GripDragEnded, QVector3D());
}

void dragBy(DGrip* grip, const QVector3D& offset)
{
    drag(grip, { grip->basePoint() + offset });
}

bool fuzzy(const QVector3D& a, const QVector3D& b)
{
    return (a - b).length() < 1e-3f;
}

bool fuzzy(const QRectF& a, const QRectF& b)
{
    return qAbs(a.x() - b.x()) < 1e-3 && qAbs(a.y() - b.y()) < 1e-3 && qAbs(a.width() - b.width()) < 1e-3
        && qAbs(a.height() - b.height()) < 1e-3;
}

DGraphicsItemRectangle* newRectangle(const QRectF& r)
{
    auto* item = new DGraphicsItemRectangle;
    item->setBoundary(r);
    return item;
}

DGraphicsItemPolyline* newPolyline(const QVector<QPointF>& points, bool closed, DGraphicsItemPolyline* item = nullptr)
{
    if (!item)
        item = new DGraphicsItemPolyline;
    for (const QPointF& p : points)
        item->addPoint(QVector3D(p));
    if (closed)
        item->close();
    return item;
}

QVector<QPointF> points2D(const DGraphicsItemPolyline& polyline)
{
    QVector<QPointF> result;
    for (const QVector3D& p : polyline.points())
        result.append(QPointF(qRound(p.x() * 1000) / 1000.0, qRound(p.y() * 1000) / 1000.0));
    return result;
}

QPixmap pixmap(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::red);
    return p;
}
}

class tst_DGripFactories : public QObject
{
    Q_OBJECT
private slots:
    void registeredAtLoad();
    void gripCountsPerKind_data();
    void gripCountsPerKind();
    void rectangleGripOrder();
    void rectangleEdgeAndCornerDrags_data();
    void rectangleEdgeAndCornerDrags();
    void textBoundaryGrips();
    void imageCornerDragScalesAboutTheOppositeCorner();
    void imageEdgeDragKeepsTheOppositeEdge();
    void scaledImageKeepsTheOppositeCornerAgain();
    void sizeGripSkipsSingularRatios();
    void sizeGripMirrorsPastTheOppositeEdge();
    void lineGrips();
    void locationGripMovesTheItem();
    void polylineGrips();
    void vertexDrags_data();
    void vertexDrags();
    void edgePushOfAClosedSquare();
    void edgePushOfAnOpenPolyline();
    void edgeDragOfATwoPointLineChangesNothing();
    void edgeDragOfARotatedPolygonStaysParallel();
    void slotsIgnoreWrongTargets();
};

void tst_DGripFactories::registeredAtLoad()
{
    QVERIFY(bDGripFactoryManagerDGripFactoryPolylineDGraphicsItemPolylineInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryPolygonDGraphicsItemPolygonInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryLineDGraphicsItemLineInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryImageDGraphicsItemImageInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryLocationDGraphicsItemInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactorySizeDGraphicsItemImageInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemRectangleInitialized);
    QVERIFY(bDGripFactoryManagerDGripFactoryBoundaryDGraphicsItemTextInitialized);

    const DGripFactoryManager* manager = DSingleton<DGripFactoryManager>::instance();
    auto names = [manager](const QMetaObject* meta) {
        QStringList result;
        for (const QMetaObject* factory : manager->find(meta))
            result.append(QString::fromLatin1(factory->className()));
        return result;
    };
    QCOMPARE(names(&DGraphicsItemRectangle::staticMetaObject),
             QStringList({ "DGripFactoryBoundary", "DGripFactoryLocation" }));
    QCOMPARE(names(&DGraphicsItemText::staticMetaObject),
             QStringList({ "DGripFactoryBoundary", "DGripFactoryBoundary", "DGripFactoryLocation" }));
    QCOMPARE(names(&DGraphicsItemLine::staticMetaObject), QStringList({ "DGripFactoryLine", "DGripFactoryLocation" }));
    QCOMPARE(names(&DGraphicsItemPolyline::staticMetaObject),
             QStringList({ "DGripFactoryPolyline", "DGripFactoryLocation" }));
    QCOMPARE(names(&DGraphicsItemPolygon::staticMetaObject),
             QStringList({ "DGripFactoryPolygon", "DGripFactoryPolyline", "DGripFactoryLocation" }));
    QCOMPARE(names(&DGraphicsItemImage::staticMetaObject),
             QStringList({ "DGripFactoryImage", "DGripFactorySize", "DGripFactoryLocation" }));
}

void tst_DGripFactories::gripCountsPerKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("count");
    QTest::newRow("rectangle") << "rectangle" << 9;
    QTest::newRow("text: boundary grips twice") << "text" << 17;
    QTest::newRow("line") << "line" << 3;
    QTest::newRow("image") << "image" << 9;
    QTest::newRow("open polyline of 3 points") << "polyline" << 6;
    QTest::newRow("closed polygon of 4 points: its grips twice") << "polygon" << 17;
    QTest::newRow("polyline of 1 point") << "dot" << 2;
}

void tst_DGripFactories::gripCountsPerKind()
{
    QFETCH(QString, kind);
    QFETCH(int, count);

    DGraphicsScene scene;
    DGraphicsItem* item = nullptr;
    if (kind == "rectangle") {
        item = newRectangle(QRectF(0, 0, 100, 50));
    } else if (kind == "text") {
        auto* text = new DGraphicsItemText;
        text->setBoundary(QRectF(0, 0, 100, 50));
        item = text;
    } else if (kind == "line") {
        auto* line = new DGraphicsItemLine;
        line->setLine(QVector3D(0, 0, 0), QVector3D(50, 20, 0));
        item = line;
    } else if (kind == "image") {
        auto* image = new DGraphicsItemImage;
        image->setImage(pixmap(40, 30));
        item = image;
    } else if (kind == "polyline") {
        item = newPolyline({ { 0, 0 }, { 50, 0 }, { 50, 50 } }, false);
    } else if (kind == "polygon") {
        item = newPolyline({ { 0, 0 }, { 50, 0 }, { 50, 50 }, { 0, 50 } }, true, new DGraphicsItemPolygon);
    } else {
        item = newPolyline({ { 5, 5 } }, false);
    }
    // No grips without a layer.
    QVERIFY(!item->createGrips());
    scene.addPersistenItem(item, false);

    QScopedPointer<QList<DGrip*>> grips(item->createGrips());
    QVERIFY(grips);
    QCOMPARE(grips->size(), count);
    for (DGrip* grip : qAsConst(*grips)) {
        QCOMPARE(grip->item(), item);
        QVERIFY(grip->factory());
    }
    // The last grip is the cyan centre square of the location factory.
    QCOMPARE(grips->last()->glyphIndex(), int(DGripGlyph::Square));
    QCOMPARE(grips->last()->color(), QColor(Qt::cyan));
    QVERIFY(fuzzy(grips->last()->basePoint(), item->center()));
    qDeleteAll(*grips);
}

void tst_DGripFactories::rectangleGripOrder()
{
    QScopedPointer<DGraphicsItemRectangle> item(newRectangle(QRectF(0, 0, 100, 50)));
    Grips grips(new DGripFactoryBoundary, item.data());
    QCOMPARE(grips.size(), 8);

    const QList<QVector3D> bases { { 0, 0, 0 }, { 50, 0, 0 }, { 100, 0, 0 }, { 100, 25, 0 },
                                   { 100, 50, 0 }, { 50, 50, 0 }, { 0, 50, 0 }, { 0, 25, 0 } };
    // Edge grips point out of the item: up, right, down, left.
    const QList<QVector3D> edgeDirections { { 0, -1, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { -1, 0, 0 } };
    for (int i = 0; i < 8; ++i) {
        QVERIFY2(fuzzy(grips[i]->basePoint(), bases[i]), qPrintable(QString::number(i)));
        const bool corner = i % 2 == 0;
        QCOMPARE(grips[i]->glyphIndex(), int(corner ? DGripGlyph::Circle : DGripGlyph::RoundedBar));
        QCOMPARE(grips[i]->constraint() != nullptr, !corner);
        if (!corner)
            QVERIFY(fuzzy(grips[i]->direction(), edgeDirections[i / 2]));
    }
    // Corners point away from the centre.
    QVERIFY(fuzzy(grips[0]->direction(), QVector3D(-100, -50, 0).normalized()));
    QVERIFY(fuzzy(grips[4]->direction(), QVector3D(100, 50, 0).normalized()));
}

void tst_DGripFactories::rectangleEdgeAndCornerDrags_data()
{
    QTest::addColumn<int>("grip");
    QTest::addColumn<QVector3D>("offset");
    QTest::addColumn<QRectF>("boundary");
    // The constraint drops the part of the offset along the edge.
    QTest::newRow("right edge by (20, 7)") << 3 << QVector3D(20, 7, 0) << QRectF(0, 0, 120, 50);
    QTest::newRow("top edge by (5, -10)") << 1 << QVector3D(5, -10, 0) << QRectF(0, -10, 100, 60);
    QTest::newRow("left edge by (30, 3)") << 7 << QVector3D(30, 3, 0) << QRectF(30, 0, 70, 50);
    QTest::newRow("bottom edge by (0, 15)") << 5 << QVector3D(0, 15, 0) << QRectF(0, 0, 100, 65);
    QTest::newRow("top-left corner by (-10, -5)") << 0 << QVector3D(-10, -5, 0) << QRectF(-10, -5, 110, 55);
    QTest::newRow("bottom-right corner by (10, 20)") << 4 << QVector3D(10, 20, 0) << QRectF(0, 0, 110, 70);
    QTest::newRow("top-right corner by (-20, 10)") << 2 << QVector3D(-20, 10, 0) << QRectF(0, 10, 80, 40);
}

void tst_DGripFactories::rectangleEdgeAndCornerDrags()
{
    QFETCH(int, grip);
    QFETCH(QVector3D, offset);
    QFETCH(QRectF, boundary);

    QScopedPointer<DGraphicsItemRectangle> item(newRectangle(QRectF(0, 0, 100, 50)));
    Grips grips(new DGripFactoryBoundary, item.data());
    dragBy(grips[grip], offset);
    QVERIFY2(fuzzy(item->sceneBoundary(), boundary),
             qPrintable(QString("%1 %2 %3 %4").arg(item->sceneBoundary().x()).arg(item->sceneBoundary().y())
                            .arg(item->sceneBoundary().width()).arg(item->sceneBoundary().height())));
    QCOMPARE(item->scale(), QVector3D(1, 1, 1)); // a boundary drag never scales
}

void tst_DGripFactories::textBoundaryGrips()
{
    DGraphicsItemText text;
    text.setBoundary(QRectF(10, 10, 100, 40));
    Grips grips(new DGripFactoryBoundary, &text);
    dragBy(grips[3], QVector3D(25, 0, 0));
    QVERIFY(qAbs(text.sceneBoundary().left() - 10) < 1e-3);
    QCOMPARE(text.width(), 125.0);
}

void tst_DGripFactories::imageCornerDragScalesAboutTheOppositeCorner()
{
    DGraphicsItemImage image;
    image.setImage(pixmap(100, 50));
    const QRectF before = image.sceneBoundary();
    const QVector3D centre = image.center();
    Grips grips(new DGripFactorySize, &image);
    QCOMPARE(grips.size(), 8);

    dragBy(grips[0], QVector3D(-10, -10, 0));
    QVERIFY(fuzzy(image.center(), centre + QVector3D(-5, -5, 0)));
    QVERIFY(fuzzy(image.scale(), QVector3D(110.0f / 100, 60.0f / 50, 1)));
    const QRectF after = image.sceneBoundary();
    QVERIFY(qAbs(after.right() - before.right()) < 1e-3);
    QVERIFY(qAbs(after.bottom() - before.bottom()) < 1e-3);
    QVERIFY(qAbs(after.left() - (before.left() - 10)) < 1e-3);
    QVERIFY(qAbs(after.top() - (before.top() - 10)) < 1e-3);
}

void tst_DGripFactories::imageEdgeDragKeepsTheOppositeEdge()
{
    DGraphicsItemImage image;
    image.setImage(pixmap(100, 50));
    const QRectF before = image.sceneBoundary();
    Grips grips(new DGripFactorySize, &image);
    dragBy(grips[3], QVector3D(50, 9, 0)); // right edge; the vertical part is dropped
    const QRectF after = image.sceneBoundary();
    QVERIFY(qAbs(after.left() - before.left()) < 1e-3);
    QVERIFY(qAbs(after.right() - (before.right() + 50)) < 1e-3);
    QVERIFY(qAbs(after.top() - before.top()) < 1e-3);
    QVERIFY(qAbs(after.height() - before.height()) < 1e-3);
    QVERIFY(fuzzy(image.scale(), QVector3D(1.5, 1, 1)));
}

void tst_DGripFactories::scaledImageKeepsTheOppositeCornerAgain()
{
    DGraphicsItemImage image;
    image.setImage(pixmap(100, 50));
    {
        Grips first(new DGripFactorySize, &image);
        dragBy(first[0], QVector3D(-10, -10, 0));
    }
    // Already scaled: the grips are rebuilt on the scaled outline, and the
    // next drag again keeps the corner opposite the one dragged.
    const QRectF before = image.sceneBoundary();
    Grips grips(new DGripFactorySize, &image);
    QVERIFY(fuzzy(grips[4]->basePoint(), QVector3D(float(before.right()), float(before.bottom()), 0)));
    dragBy(grips[4], QVector3D(20, 30, 0));
    const QRectF after = image.sceneBoundary();
    QVERIFY(fuzzy(after, QRectF(before.topLeft(), before.size() + QSizeF(20, 30))));
    QVERIFY(fuzzy(image.scale(), QVector3D(130.0f / 100, 90.0f / 50, 1)));
}

void tst_DGripFactories::sizeGripSkipsSingularRatios()
{
    // An image without a pixmap has an empty boundary: every ratio is undefined.
    DGraphicsItemImage empty;
    {
        Grips grips(new DGripFactorySize, &empty);
        dragBy(grips[4], QVector3D(30, 30, 0));
    }
    QCOMPARE(empty.scale(), QVector3D(1, 1, 1));
    QCOMPARE(empty.translation(), QVector3D(0, 0, 0));
    QVERIFY(empty.transformMatrix().determinant() != 0.0);

    // The right edge dragged exactly onto the left one: width ratio 0.
    DGraphicsItemImage image;
    image.setImage(pixmap(100, 50));
    const QMatrix4x4 before = image.transformMatrix();
    {
        Grips grips(new DGripFactorySize, &image);
        dragBy(grips[3], QVector3D(-100, 0, 0));
    }
    QCOMPARE(image.scale(), QVector3D(1, 1, 1));
    QVERIFY(qFuzzyCompare(image.transformMatrix(), before));
    QVERIFY(image.transformMatrix().determinant() != 0.0);

    // The item stays editable afterwards.
    Grips grips(new DGripFactorySize, &image);
    dragBy(grips[3], QVector3D(100, 0, 0));
    QVERIFY(fuzzy(image.scale(), QVector3D(2, 1, 1)));
}

void tst_DGripFactories::sizeGripMirrorsPastTheOppositeEdge()
{
    DGraphicsItemImage image;
    image.setImage(pixmap(100, 50));
    Grips grips(new DGripFactorySize, &image);
    dragBy(grips[3], QVector3D(-150, 0, 0)); // 50 past the left edge
    QVERIFY(fuzzy(image.scale(), QVector3D(-0.5, 1, 1)));
}

void tst_DGripFactories::lineGrips()
{
    DGraphicsItemLine line;
    line.setLine(QVector3D(10, 10, 0), QVector3D(110, 10, 0));
    Grips grips(new DGripFactoryLine, &line);
    QCOMPARE(grips.size(), 2);
    QCOMPARE(grips[0]->glyphIndex(), int(DGripGlyph::Circle));
    QVERIFY(fuzzy(grips[0]->basePoint(), QVector3D(10, 10, 0)));
    QVERIFY(fuzzy(grips[0]->direction(), QVector3D(1, 0, 0)));
    QVERIFY(fuzzy(grips[1]->basePoint(), QVector3D(110, 10, 0)));
    QVERIFY(fuzzy(grips[1]->direction(), QVector3D(-1, 0, 0)));

    dragBy(grips[0], QVector3D(-5, 20, 0));
    QVERIFY(fuzzy(line.startPoint(), QVector3D(5, 30, 0)));
    QVERIFY(fuzzy(line.endPoint(), QVector3D(110, 10, 0)));
    dragBy(grips[1], QVector3D(0, -10, 0));
    QVERIFY(fuzzy(line.endPoint(), QVector3D(110, 0, 0)));
}

void tst_DGripFactories::locationGripMovesTheItem()
{
    QScopedPointer<DGraphicsItemRectangle> item(newRectangle(QRectF(0, 0, 100, 50)));
    Grips grips(new DGripFactoryLocation, item.data());
    QCOMPARE(grips.size(), 1);
    drag(grips[0], { QVector3D(60, 30, 0), QVector3D(80, 45, 0) });
    QVERIFY(fuzzy(item->center(), QVector3D(80, 45, 0)));
    QVERIFY(fuzzy(item->sceneBoundary(), QRectF(30, 20, 100, 50)));

    // Nothing for a null item.
    QList<DGrip*> none;
    DGripFactoryLocation().createGrips(none, nullptr);
    QVERIFY(none.isEmpty());
}

void tst_DGripFactories::polylineGrips()
{
    QScopedPointer<DGraphicsItemPolyline> open(newPolyline({ { 0, 0 }, { 10, 0 }, { 10, 10 } }, false));
    Grips grips(new DGripFactoryPolyline, open.data());
    QCOMPARE(grips.size(), 5); // vertex, edge, vertex, edge, vertex
    const QList<int> glyphs { DGripGlyph::Circle, DGripGlyph::RoundedBar, DGripGlyph::Circle,
                              DGripGlyph::RoundedBar, DGripGlyph::Circle };
    const QList<int> indices { 0, 0, 1, 1, 2 };
    for (int i = 0; i < grips.size(); ++i) {
        QCOMPARE(grips[i]->glyphIndex(), glyphs[i]);
        auto* data = dynamic_cast<DGripDataVariant*>(grips[i]->gripData());
        QVERIFY(data);
        QCOMPARE(data->value().toInt(), indices[i]);
    }
    QVERIFY(fuzzy(grips[1]->basePoint(), QVector3D(5, 0, 0)));
    QVERIFY(fuzzy(grips[1]->direction(), QVector3D(0, -1, 0)));
    QVERIFY(grips[1]->constraint());
    QVERIFY(fuzzy(grips[3]->basePoint(), QVector3D(10, 5, 0)));

    // A closed one gets the closing edge too; an empty one gets nothing.
    QScopedPointer<DGraphicsItemPolyline> closed(newPolyline({ { 0, 0 }, { 10, 0 }, { 10, 10 } }, true));
    QCOMPARE(Grips(new DGripFactoryPolygon, closed.data()).size(), 6);
    DGraphicsItemPolyline empty;
    QCOMPARE(Grips(new DGripFactoryPolyline, &empty).size(), 0);
}

void tst_DGripFactories::vertexDrags_data()
{
    QTest::addColumn<QVector3D>("offset");
    QTest::addColumn<QPointF>("vertex");
    QTest::newRow("tiny (0.05, 0.05) is ignored") << QVector3D(0.05f, 0.05f, 0) << QPointF(10, 0);
    QTest::newRow("(0.5, 0) moves by 0.5") << QVector3D(0.5f, 0, 0) << QPointF(10.5, 0);
    QTest::newRow("(0, 0.1) moves") << QVector3D(0, 0.1f, 0) << QPointF(10, 0.1);
    QTest::newRow("(-3, 4)") << QVector3D(-3, 4, 0) << QPointF(7, 4);
}

void tst_DGripFactories::vertexDrags()
{
    QFETCH(QVector3D, offset);
    QFETCH(QPointF, vertex);
    QScopedPointer<DGraphicsItemPolyline> polyline(newPolyline({ { 0, 0 }, { 10, 0 }, { 10, 10 } }, false));
    Grips grips(new DGripFactoryPolyline, polyline.data());
    dragBy(grips[2], offset); // the vertex grip of point 1
    const QVector<QPointF> points = points2D(*polyline);
    QCOMPARE(points.at(0), QPointF(0, 0));
    QVERIFY2(qAbs(points.at(1).x() - vertex.x()) < 1e-3 && qAbs(points.at(1).y() - vertex.y()) < 1e-3,
             qPrintable(QString("%1,%2").arg(points.at(1).x()).arg(points.at(1).y())));
    QCOMPARE(points.at(2), QPointF(10, 10));
}

void tst_DGripFactories::edgePushOfAClosedSquare()
{
    QScopedPointer<DGraphicsItemPolyline> square(
        newPolyline({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }, true));
    Grips grips(new DGripFactoryPolyline, square.data());
    dragBy(grips[1], QVector3D(3, -5, 0)); // top edge; the sideways part is dropped
    QCOMPARE(points2D(*square), (QVector<QPointF> { { 0, -5 }, { 10, -5 }, { 10, 10 }, { 0, 10 } }));

    // A tiny push changes nothing.
    Grips again(new DGripFactoryPolyline, square.data());
    dragBy(again[3], QVector3D(0.05f, 0, 0));
    QCOMPARE(points2D(*square), (QVector<QPointF> { { 0, -5 }, { 10, -5 }, { 10, 10 }, { 0, 10 } }));
}

void tst_DGripFactories::edgePushOfAnOpenPolyline()
{
    // The middle edge of an open polyline slides its ends along both neighbours.
    QScopedPointer<DGraphicsItemPolyline> polyline(
        newPolyline({ { 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 } }, false));
    Grips grips(new DGripFactoryPolyline, polyline.data());
    QCOMPARE(grips.size(), 7);
    dragBy(grips[3], QVector3D(0, 4, 0)); // edge 1, from (0,10) to (10,10)
    QCOMPARE(points2D(*polyline), (QVector<QPointF> { { 0, 0 }, { 0, 14 }, { 10, 14 }, { 10, 0 } }));
}

void tst_DGripFactories::edgeDragOfATwoPointLineChangesNothing()
{
    QScopedPointer<DGraphicsItemPolyline> polyline(newPolyline({ { 0, 0 }, { 10, 0 } }, false));
    Grips grips(new DGripFactoryPolyline, polyline.data());
    QCOMPARE(grips.size(), 3);
    dragBy(grips[1], QVector3D(0, 5, 0));
    QCOMPARE(points2D(*polyline), (QVector<QPointF> { { 0, 0 }, { 10, 0 } }));
}

void tst_DGripFactories::edgeDragOfARotatedPolygonStaysParallel()
{
    DGraphicsItemPolygon polygon;
    newPolyline({ { 0, 0 }, { 20, 0 }, { 20, 20 }, { 0, 20 } }, true, &polygon);
    polygon.setRotation(QVector3D(0, 0, 90));
    const QVector<QVector3D> before = polygon.points();
    Grips grips(new DGripFactoryPolygon, &polygon);
    DGrip* top = grips[1];
    // The edge's grip points away from the shape, perpendicular to the edge.
    const QVector3D edge = before[1] - before[0];
    QVERIFY(qAbs(QVector3D::dotProduct(top->direction(), edge.normalized())) < 1e-3f);

    dragBy(top, top->direction() * 6.0f);
    const QVector<QVector3D> after = polygon.points();
    QVERIFY(fuzzy(after[0], before[0] + top->direction() * 6.0f));
    QVERIFY(fuzzy(after[1], before[1] + top->direction() * 6.0f));
    QVERIFY(fuzzy(after[2], before[2]));
    QVERIFY(fuzzy(after[3], before[3]));
}

void tst_DGripFactories::slotsIgnoreWrongTargets()
{
    DGraphicsItemLine line;
    line.setLine(QVector3D(0, 0, 0), QVector3D(10, 0, 0));
    QScopedPointer<DGraphicsItemPolyline> polyline(newPolyline({ { 0, 0 }, { 10, 0 }, { 10, 10 } }, false));
    Grips grips(new DGripFactoryPolyline, polyline.data());
    grips[0]->dragOperation(DD::GripDragMoving, QVector3D(4, 4, 0));

    DGripFactoryPolyline factory;
    factory.vertexGripMoved(grips[0], &line);       // not a polyline
    factory.edgeGripMoved(grips[1], &line);
    QCOMPARE(line.startPoint(), QVector3D(0, 0, 0));

    DGrip bare(polyline.data());                    // no data
    bare.dragOperation(DD::GripDragMoving, QVector3D(4, 4, 0));
    factory.vertexGripMoved(&bare, polyline.data());
    QCOMPARE(points2D(*polyline).at(0), QPointF(0, 0));

    DGripFactoryLocation location;
    location.gripMoved(nullptr, polyline.data());
    location.gripMoved(grips[0], nullptr);
    DGripFactoryBoundary boundary;
    boundary.gripMoved(grips[0], &line);            // not a rectangle
    QCOMPARE(line.endPoint(), QVector3D(10, 0, 0));
    grips[0]->cleanMovingItem();
}

QTEST_MAIN(tst_DGripFactories)
#include "tst_DGripFactories.moc"
