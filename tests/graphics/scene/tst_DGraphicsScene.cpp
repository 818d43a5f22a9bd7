// The scene and its layers: items, selection, painting, content and printing.
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "DGraphicsBackgroundColor.h"
#include "DGraphicsBackgroundImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DNoiseImage.h"
#include "DSceneFixture.h"
#include "QTextEdit_P.h"

namespace {

const QRgb kMargin = qRgb(205, 209, 214);

DGraphicsItemRectangle* filledRectangle(const QRectF& r, const QColor& fill)
{
    DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
    item->setBoundary(r);
    item->setFillColor(fill);
    item->setStrokeWidth(0);
    return item;
}

// Counts how many of its kind are alive, to see that the scene deletes it.
class CountedBackground : public DGraphicsBackgroundColor
{
public:
    explicit CountedBackground(int* alive) : DGraphicsBackgroundColor(Qt::yellow), m_alive(alive) { ++*m_alive; }
    ~CountedBackground() override { --*m_alive; }

private:
    int* m_alive;
};

// Renders the scene as a view would draw its background and items.
QImage renderScene(DGraphicsScene& scene, const QRectF& source, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), source, Qt::IgnoreAspectRatio);
    return image;
}

void sendPress(QGraphicsScene& scene, const QPointF& at)
{
    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    press.setScenePos(at);
    press.setButton(Qt::LeftButton);
    press.setButtons(Qt::LeftButton);
    press.setButtonDownScenePos(Qt::LeftButton, at);
    QCoreApplication::sendEvent(&scene, &press);
    QGraphicsSceneMouseEvent release(QEvent::GraphicsSceneMouseRelease);
    release.setScenePos(at);
    release.setButton(Qt::LeftButton);
    release.setButtonDownScenePos(Qt::LeftButton, at);
    QCoreApplication::sendEvent(&scene, &release);
}

} // namespace

class tst_DGraphicsScene : public QObject
{
    Q_OBJECT

private slots:
    void firstActiveLayerIsCreatedOnce();
    void persistentItems();
    void removePersistentItem();
    void transientItems();
    void setSizeReachesEveryLayer();
    void selectionAcrossLayers();
    void pressSelectsThroughTheLayers();
    void hiddenLayer();
    void changeNotificationsAreQueued();
    void deletedItemTakesItsNotifications();
    void removedItemTakesItsNotifications();
    void teardownWithSelection();
    void teardownWhileEditingText();
    void teardownOfAShownCanvas();

    void backgroundIsOwned();
    void backgroundsPaint();
    void marginOnlyOutsideThePage();
    void shadowAtZoom();
    void shadowCornerAtZoomTwo();
    void layerChangesReachTheView();

    void renderContentSize_data();
    void renderContentSize();
    void renderContentKeepsThePixelGrid();
    void renderedPolygonWithoutStrokeHoldsItsPixels();
    void renderContentPixels();
    void renderContentKeepsSelection();
    void renderContentLayerOrder();
    void renderContentOfEmptyDocument();
    void renderContentCommitsEditing();

    void printTarget_data();
    void printTarget();
    void printToPdf();
    void printEmptyDocument();
    void printCommitsEditing();

    void filterAllowed_data();
    void filterAllowed();
};

void tst_DGraphicsScene::firstActiveLayerIsCreatedOnce()
{
    DGraphicsScene scene;
    QVERIFY(scene.layers().isEmpty());
    DGraphicsLayer* layer = scene.activeLayer();
    QVERIFY(layer);
    QCOMPARE(scene.activeLayer(), layer);
    QCOMPARE(scene.layers().size(), 1);
    QCOMPARE(layer->ownerScene(), &scene);
    QVERIFY(layer->isVisible());
    QCOMPARE(scene.itemIndexMethod(), QGraphicsScene::NoIndex);
}

void tst_DGraphicsScene::persistentItems()
{
    DGraphicsScene scene;
    QSignalSpy added(&scene, &DGraphicsScene::persistentItemAdded);
    DGraphicsItemRectangle* item = filledRectangle(QRectF(10, 10, 50, 50), Qt::red);
    scene.addPersistenItem(item, true);
    QCOMPARE(scene.layers().size(), 1);
    QVERIFY(item->isPersistent());
    QCOMPARE(item->layer(), scene.activeLayer());
    QCOMPARE(item->scene(), static_cast<QGraphicsScene*>(scene.activeLayer()));
    QVERIFY(item->isSelected());
    QCOMPARE(scene.activeLayer()->items(), QList<DGraphicsItem*>{item});
    QCOMPARE(scene.activeLayer()->selectedItems(), QList<DGraphicsItem*>{item});
    // The scene itself holds none of the document.
    QVERIFY(!scene.items().contains(item));
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.first().first().value<const DGraphicsItem*>(), item);

    DGraphicsItemLine* line = new DGraphicsItemLine;
    scene.addPersistenItem(line, false);
    QVERIFY(!line->isSelected());
    QCOMPARE(scene.activeLayer()->items().size(), 2);
}

void tst_DGraphicsScene::removePersistentItem()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = filledRectangle(QRectF(10, 10, 50, 50), Qt::red);
    scene.addPersistenItem(item, false);
    QSignalSpy removing(&scene, &DGraphicsScene::persistentItemRemoving);
    QPointer<DGraphicsItemRectangle> guard(item);
    scene.removePersistenItem(item);
    QCOMPARE(removing.count(), 1);
    QVERIFY(!item->isPersistent());
    QVERIFY(!item->layer());
    QVERIFY(scene.activeLayer()->items().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());

    // An item without a layer is left alone.
    DGraphicsItemRectangle loose;
    scene.removePersistenItem(&loose);
    QCOMPARE(removing.count(), 1);
}

void tst_DGraphicsScene::transientItems()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(0, 0, 10, 10));
    scene.addActiveItem(&item);
    QCOMPARE(item.scene(), static_cast<QGraphicsScene*>(&scene));
    QVERIFY(!item.isPersistent());
    QVERIFY(!item.layer());
    QVERIFY(!item.createGrips());
    QSignalSpy changed(&item, &DGraphicsItem::changed);
    item.setStrokeWidth(4);
    QCOMPARE(changed.count(), 0);
    scene.removeActiveItem(&item);
    QVERIFY(!item.scene());
}

void tst_DGraphicsScene::setSizeReachesEveryLayer()
{
    DGraphicsScene scene;
    scene.createLayer();
    scene.createLayer();
    scene.setSize(800, 600);
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 800, 600));
    for (DGraphicsLayer* layer : scene.layers())
        QCOMPARE(layer->sceneRect(), QRectF(0, 0, 800, 600));
    scene.createLayer();
    QCOMPARE(scene.layers().last()->sceneRect(), QRectF(0, 0, 800, 600));
    // The scene's own rect changes reach the layers too.
    scene.setSceneRect(0, 0, 300, 200);
    for (DGraphicsLayer* layer : scene.layers())
        QCOMPARE(layer->sceneRect(), QRectF(0, 0, 300, 200));
}

void tst_DGraphicsScene::selectionAcrossLayers()
{
    DGraphicsScene scene;
    scene.createLayer();
    scene.createLayer();
    DGraphicsLayer* first = scene.layers().at(0);
    DGraphicsLayer* second = scene.layers().at(1);
    QCOMPARE(scene.activeLayer(), first);
    DGraphicsItemRectangle* a = filledRectangle(QRectF(0, 0, 10, 10), Qt::red);
    DGraphicsItemRectangle* b = filledRectangle(QRectF(50, 0, 10, 10), Qt::blue);
    scene.addPersistenItem(a, false);
    second->addItem(b);
    QVERIFY(b->isPersistent());
    QCOMPARE(b->layer(), second);

    QSignalSpy selection(&scene, &DGraphicsScene::persistentSelectionChanged);
    b->setSelected(true);
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.last().first().value<const DGraphicsLayer*>(), second);
    a->setSelected(true);
    QCOMPARE(selection.count(), 2);
    QCOMPARE(selection.last().first().value<const DGraphicsLayer*>(), first);
    // Each layer keeps its own selection.
    QCOMPARE(first->selectedItems(), QList<DGraphicsItem*>{a});
    QCOMPARE(second->selectedItems(), QList<DGraphicsItem*>{b});

    second->removeItem(b);
    QVERIFY(!b->isPersistent());
    QVERIFY(!b->layer());
    delete b;
}

void tst_DGraphicsScene::pressSelectsThroughTheLayers()
{
    DGraphicsScene scene;
    scene.setSize(200, 200);
    scene.createLayer();
    scene.createLayer();
    DGraphicsItemRectangle* a = filledRectangle(QRectF(10, 10, 40, 40), Qt::red);
    DGraphicsItemRectangle* b = filledRectangle(QRectF(100, 100, 40, 40), Qt::blue);
    scene.layers().at(0)->addItem(a);
    scene.layers().at(1)->addItem(b);

    sendPress(scene, QPointF(120, 120));
    QVERIFY(b->isSelected());
    QVERIFY(!a->isSelected());
    sendPress(scene, QPointF(30, 30));
    QVERIFY(a->isSelected());
}

void tst_DGraphicsScene::hiddenLayer()
{
    DGraphicsScene scene;
    scene.setSize(100, 100);
    DGraphicsItemRectangle* item = filledRectangle(QRectF(20, 20, 40, 40), Qt::red);
    scene.addPersistenItem(item, false);
    QCOMPARE(renderScene(scene, QRectF(0, 0, 100, 100), QSize(100, 100)).pixel(40, 40), qRgb(255, 0, 0));

    item->setSelected(true);
    scene.activeLayer()->hide();
    QVERIFY(!scene.activeLayer()->isVisible());
    QVERIFY(!item->isSelected());
    // Not there for the pointer either: a press on the item leaves it alone.
    sendPress(scene, QPointF(30, 30));
    QVERIFY(!item->isSelected());
    QCOMPARE(renderScene(scene, QRectF(0, 0, 100, 100), QSize(100, 100)).pixel(40, 40), qRgb(255, 255, 255));
    // Still part of the content, in its place.
    QImage content;
    scene.renderContentTo(content);
    QCOMPARE(content.size(), QSize(41, 41));
    QCOMPARE(QColor(content.pixel(20, 20)).rgb(), qRgb(255, 0, 0));
    QCOMPARE(item->sceneBoundary(), QRectF(20, 20, 40, 40));

    scene.activeLayer()->show();
    QCOMPARE(renderScene(scene, QRectF(0, 0, 100, 100), QSize(100, 100)).pixel(40, 40), qRgb(255, 0, 0));
    sendPress(scene, QPointF(30, 30));
    QVERIFY(item->isSelected());
}

void tst_DGraphicsScene::changeNotificationsAreQueued()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = filledRectangle(QRectF(0, 0, 10, 10), Qt::red);
    scene.addPersistenItem(item, false);
    QSignalSpy changed(&scene, &DGraphicsScene::persistentItemChanged);
    item->setStrokeWidth(3);
    item->setStrokeWidth(4);
    QCOMPARE(changed.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.first().first().value<const DGraphicsItem*>(), item);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 2);
}

void tst_DGraphicsScene::deletedItemTakesItsNotifications()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* doomed = filledRectangle(QRectF(0, 0, 10, 10), Qt::red);
    DGraphicsItemRectangle* kept = filledRectangle(QRectF(20, 0, 10, 10), Qt::red);
    scene.addPersistenItem(doomed, true);
    scene.addPersistenItem(kept, false);
    QSignalSpy changed(&scene, &DGraphicsScene::persistentItemChanged);
    doomed->setStrokeWidth(5);
    kept->setStrokeWidth(5);
    delete doomed;
    QCoreApplication::processEvents();
    // Only the living item is reported (under AddressSanitizer the deleted one
    // would be a use after free).
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().value<const DGraphicsItem*>(), kept);
    QCOMPARE(scene.activeLayer()->items(), QList<DGraphicsItem*>{kept});
}

void tst_DGraphicsScene::removedItemTakesItsNotifications()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = filledRectangle(QRectF(0, 0, 10, 10), Qt::red);
    scene.addPersistenItem(item, false);
    QSignalSpy changed(&scene, &DGraphicsScene::persistentItemChanged);
    item->setStrokeWidth(5);
    scene.activeLayer()->removeItem(item);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 0);
    // Back in a layer, it reports again.
    scene.addPersistenItem(item, false);
    item->setStrokeWidth(6);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 1);
}

void tst_DGraphicsScene::teardownWithSelection()
{
    int calls = 0;
    QScopedPointer<QObject> receiver(new QObject);
    DGraphicsScene* scene = new DGraphicsScene;
    scene->createLayer();
    scene->createLayer();
    for (DGraphicsLayer* layer : scene->layers()) {
        for (int i = 0; i < 3; ++i) {
            DGraphicsItemRectangle* item = filledRectangle(QRectF(10 * i, 0, 5, 5), Qt::red);
            layer->addItem(item);
            item->setSelected(true);
            item->setStrokeWidth(3); // a change still queued at teardown
        }
    }
    connect(scene, &DGraphicsScene::persistentSelectionChanged, receiver.data(), [&calls] { ++calls; });
    connect(scene, &QGraphicsScene::selectionChanged, receiver.data(), [&calls] { ++calls; });
    delete scene;
    QCOMPARE(calls, 0);
    QCoreApplication::processEvents();
    QCOMPARE(calls, 0);
}

void tst_DGraphicsScene::teardownWhileEditingText()
{
    DGraphicsScene* scene = new DGraphicsScene;
    DGraphicsItemText* text = new DGraphicsItemText;
    scene->addPersistenItem(text, false);
    text->setPlainText("editing");
    text->startEditing();
    QVERIFY(text->isEditing());
    QCOMPARE(scene->items().size(), 1); // the editor's proxy
    QPointer<QTextEdit_P> editor(text->editor());
    QPointer<DGraphicsItemText> item(text);
    delete scene;
    // The item went with its layer, and its editor with it.
    QVERIFY(item.isNull());
    QVERIFY(editor.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_DGraphicsScene::teardownOfAShownCanvas()
{
    int calls = 0;
    QObject receiver;
    {
        DSceneFixture fixture;
        DGraphicsScene* scene = fixture.scene();
        DGraphicsItemRectangle* a = filledRectangle(QRectF(100, 100, 80, 60), Qt::red);
        DGraphicsItemText* text = new DGraphicsItemText;
        scene->addPersistenItem(a, true);
        scene->addPersistenItem(text, false);
        text->setPlainText("still editing");
        text->startEditing();
        a->setSelected(true);
        a->setStrokeWidth(6);
        fixture.move(QPointF(140, 130));
        connect(scene, &DGraphicsScene::persistentSelectionChanged, &receiver, [&calls] { ++calls; });
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCOMPARE(calls, 0);
}

void tst_DGraphicsScene::backgroundIsOwned()
{
    int alive = 0;
    {
        DGraphicsScene scene;
        QVERIFY(dynamic_cast<DGraphicsBackgroundColor*>(scene.background()));
        scene.setBackground(new CountedBackground(&alive));
        QCOMPARE(alive, 1);
        scene.setBackground(new CountedBackground(&alive));
        QCOMPARE(alive, 1);
        // Setting the same one again keeps it.
        scene.setBackground(scene.background());
        QCOMPARE(alive, 1);
    }
    QCOMPARE(alive, 0);
}

void tst_DGraphicsScene::backgroundsPaint()
{
    QImage canvas(20, 20, QImage::Format_ARGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setPen(QPen(Qt::green));
    painter.setBrush(Qt::magenta);
    DGraphicsBackgroundColor colour(QColor(1, 2, 3));
    colour.paint(&painter, QRectF(0, 0, 10, 20));
    // Pen and brush come back unchanged.
    QCOMPARE(painter.pen().color(), QColor(Qt::green));
    QCOMPARE(painter.brush().color(), QColor(Qt::magenta));

    QImage tile(4, 4, QImage::Format_ARGB32);
    tile.fill(qRgb(9, 99, 199));
    DGraphicsBackgroundImage image(QPixmap::fromImage(tile));
    image.paint(&painter, QRectF(10, 0, 10, 20));
    QCOMPARE(painter.brush().color(), QColor(Qt::magenta));
    painter.end();
    QCOMPARE(canvas.pixel(5, 5), qRgb(1, 2, 3));
    QCOMPARE(canvas.pixel(15, 5), qRgb(9, 99, 199));
}

void tst_DGraphicsScene::marginOnlyOutsideThePage()
{
    DGraphicsScene scene;
    scene.setSize(100, 80);
    // Inside the page: page colour only.
    QImage inside = renderScene(scene, QRectF(10, 10, 50, 40), QSize(50, 40));
    QCOMPARE(inside.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(inside.pixel(49, 39), qRgb(255, 255, 255));

    // Around the page: the margin beyond the shadow, the page inside.
    QImage around = renderScene(scene, QRectF(-50, -50, 200, 180), QSize(200, 180));
    QCOMPARE(around.pixel(5, 5), kMargin);
    QCOMPARE(around.pixel(195, 175), kMargin);
    QCOMPARE(around.pixel(100, 90), qRgb(255, 255, 255));
    // The shadow darkens the margin right beside the page.
    const QColor beside(around.pixel(50 + 100 + 2, 90));
    QVERIFY(beside.red() < 200);
}

void tst_DGraphicsScene::shadowAtZoom()
{
    DSceneFixture fixture;
    fixture.setZoom(0.8);
    DGraphicsScene* scene = fixture.scene();
    const QRectF page = scene->sceneRect();
    // Paint the scene's background as the view does at this zoom.
    const QSize size(qCeil((page.width() + 40) * 0.8), qCeil((page.height() + 40) * 0.8));
    QImage image = renderScene(*scene, QRectF(-20, -20, page.width() + 40, page.height() + 40), size);
    // Page edge at x = 20 * 0.8 = 16 device pixels; shadow 10 pixels wide.
    const int y = size.height() / 2;
    QCOMPARE(image.pixel(17, y), qRgb(255, 255, 255));
    const QColor near(image.pixel(14, y));
    QVERIFY2(near.red() < 195, qPrintable(QString::number(near.red())));
    QCOMPARE(image.pixel(4, y), kMargin);
    // Getting lighter away from the page.
    QVERIFY(QColor(image.pixel(10, y)).red() > near.red());
}

void tst_DGraphicsScene::shadowCornerAtZoomTwo()
{
    DGraphicsScene scene;
    scene.setSize(100, 80);
    // The page's top-left corner at zoom 2: scene (-10, -10, 20, 20) on 40 x 40 pixels.
    const QImage image = renderScene(scene, QRectF(-10, -10, 20, 20), QSize(40, 40));
    // Ten screen pixels are five scene units: the shadow ends 10 pixels from the page.
    QCOMPARE(image.pixel(5, 30), kMargin);
    QCOMPARE(image.pixel(30, 5), kMargin);
    QCOMPARE(image.pixel(5, 5), kMargin);
    QVERIFY(QColor(image.pixel(18, 30)).red() < 195);
    QVERIFY(QColor(image.pixel(30, 18)).red() < 195);
    // The corner piece darkens near the corner, and not beyond its radius.
    QVERIFY(QColor(image.pixel(18, 18)).red() < 200);
    QCOMPARE(image.pixel(11, 11), kMargin);
    QCOMPARE(image.pixel(25, 25), qRgb(255, 255, 255));
}

void tst_DGraphicsScene::layerChangesReachTheView()
{
    DSceneFixture fixture;
    fixture.setZoom(1.0);
    DGraphicsItemRectangle* item = filledRectangle(QRectF(100, 100, 80, 60), Qt::red);
    fixture.scene()->addPersistenItem(item, false);
    // The pointer (and the drawn cursor with it) stays clear of the pixel looked at.
    fixture.move(QPointF(500, 400));
    const QPoint at = fixture.toViewport(QPointF(110, 110));
    QTRY_COMPARE(fixture.viewport()->grab().toImage().pixel(at), qRgb(255, 0, 0));
    // The view caches its background, which holds the layers: a change inside
    // a layer has to reach it.
    item->setFillColor(Qt::blue);
    QTRY_COMPARE(fixture.viewport()->grab().toImage().pixel(at), qRgb(0, 0, 255));
    fixture.scene()->activeLayer()->hide();
    QTRY_COMPARE(fixture.viewport()->grab().toImage().pixel(at), qRgb(255, 255, 255));
}

void tst_DGraphicsScene::renderContentSize_data()
{
    // Scene point (i, j) is the centre of pixel (i, j): the image holds the
    // whole pixels the content lies on.
    QTest::addColumn<QRectF>("content");
    QTest::addColumn<QSize>("size");
    QTest::newRow("corners on pixel centres") << QRectF(10, 20, 100, 50) << QSize(101, 51);
    QTest::newRow("ending on a pixel's edge") << QRectF(10, 20, 99.5, 49.5) << QSize(100, 50);
    QTest::newRow("on the pixels' edges") << QRectF(9.5, 19.5, 100, 50) << QSize(100, 50);
    QTest::newRow("one pixel") << QRectF(9.5, 19.5, 1, 1) << QSize(1, 1);
    QTest::newRow("off the grid") << QRectF(10.3, 20.3, 50, 30) << QSize(51, 31);
}

void tst_DGraphicsScene::renderContentSize()
{
    QFETCH(QRectF, content);
    QFETCH(QSize, size);
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = filledRectangle(content, Qt::red);
    scene.addPersistenItem(item, false);
    QImage image;
    scene.renderContentTo(image);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
}

// Content that does not end on the pixel grid (a line drawn between pixels
// beside a captured piece) leaves the piece's pixels as they are: the image
// lies on the screen's grid, not half a pixel beside it.
void tst_DGraphicsScene::renderContentKeepsThePixelGrid()
{
    const QImage noise = noiseImage(QSize(60, 40), 11);
    DGraphicsScene scene;
    // The piece covers pixels (0, 0) to (59, 39) whole.
    auto* piece = new DGraphicsItemRectangle;
    piece->setBoundary(QRectF(-0.5, -0.5, 60, 40));
    piece->setFillImage(QPixmap::fromImage(noise), QPixmap());
    piece->setStrokeWidth(0);
    scene.addPersistenItem(piece, false);
    auto* line = new DGraphicsItemLine;
    line->setLine(QVector3D(10.25f, 50.75f, 0), QVector3D(70.75f, 50.75f, 0));
    scene.addPersistenItem(line, false);

    QImage image;
    scene.renderContentTo(image);
    // From the piece's first pixel to the one the line ends on, and beyond
    // by the band the line is hit in.
    QVERIFY(image.width() >= 72 && image.height() >= 52);
    int wrong = 0;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            wrong += image.pixel(x, y) != noise.pixel(x, y);
    QCOMPARE(wrong, 0);
}

// A polygon without a stroke, filled with the screen as a captured polygon
// is: its corners are pixel centres, and the pixels its edges run through
// are in the image whole, opaque and unchanged, as are those inside.
void tst_DGraphicsScene::renderedPolygonWithoutStrokeHoldsItsPixels()
{
    const QImage noise = noiseImage(QSize(100, 80), 12);
    const QPolygon corners({QPoint(10, 10), QPoint(70, 10), QPoint(70, 50), QPoint(40, 50), QPoint(10, 30)});
    auto* polygon = new DGraphicsItemPolygon;
    for (const QPoint& corner : corners)
        polygon->addPoint(QVector3D(corner));
    polygon->close();
    polygon->setFillImage(QPixmap::fromImage(noise), QPixmap());
    polygon->setStrokeWidth(0);
    polygon->updateCache();
    DGraphicsScene scene;
    scene.addPersistenItem(polygon, false);
    QImage image;
    scene.renderContentTo(image);
    // The corners' bounds and the margin the polygon is hit in, the same on
    // every side.
    const int margin = (image.width() - 61) / 2;
    QCOMPARE(image.size(), QSize(61 + 2 * margin, 41 + 2 * margin));
    QCOMPARE(polygonPixelsWrong(noise, corners, image, QPoint(10 - margin, 10 - margin)), 0);
}

void tst_DGraphicsScene::renderContentPixels()
{
    DGraphicsScene scene;
    scene.setSize(400, 300);
    scene.setBackground(new DGraphicsBackgroundColor(Qt::green));
    DGraphicsItemRectangle* a = filledRectangle(QRectF(50, 50, 40, 40), Qt::red);
    DGraphicsItemRectangle* b = filledRectangle(QRectF(150, 100, 40, 40), Qt::blue);
    scene.addPersistenItem(a, false);
    scene.addPersistenItem(b, false);
    DGraphicsItemRectangle transient;
    transient.setBoundary(QRectF(0, 0, 300, 300));
    transient.setFillColor(Qt::yellow);
    scene.addActiveItem(&transient);

    QImage image;
    scene.renderContentTo(image);
    QCOMPARE(image.size(), QSize(141, 91));
    QCOMPARE(QColor(image.pixel(20, 20)).rgb(), qRgb(255, 0, 0));
    QCOMPARE(QColor(image.pixel(120, 70)).rgb(), qRgb(0, 0, 255));
    // Between them: nothing, neither background nor the scene's own items.
    QCOMPARE(qAlpha(image.pixel(120, 10)), 0);
    QCOMPARE(qAlpha(image.pixel(10, 80)), 0);
    scene.removeActiveItem(&transient);
}

void tst_DGraphicsScene::renderContentKeepsSelection()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
    item->setBoundary(QRectF(0, 0, 40, 40));
    item->setStrokeWidth(0);
    scene.addPersistenItem(item, true);
    QSignalSpy selection(&scene, &DGraphicsScene::persistentSelectionChanged);
    QImage image;
    scene.renderContentTo(image);
    QVERIFY(!image.isNull());
    // The dotted selection outline of a stroke-less item is not in the content.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    QVERIFY(item->isSelected());
    QCOMPARE(selection.count(), 0);
}

void tst_DGraphicsScene::renderContentLayerOrder()
{
    DGraphicsScene scene;
    scene.createLayer();
    scene.createLayer();
    scene.layers().at(0)->addItem(filledRectangle(QRectF(0, 0, 40, 40), Qt::red));
    scene.layers().at(1)->addItem(filledRectangle(QRectF(20, 20, 40, 40), Qt::blue));
    QImage image;
    scene.renderContentTo(image);
    QCOMPARE(image.size(), QSize(61, 61));
    QCOMPARE(QColor(image.pixel(10, 10)).rgb(), qRgb(255, 0, 0));
    // Later layers lie on top.
    QCOMPARE(QColor(image.pixel(30, 30)).rgb(), qRgb(0, 0, 255));
}

void tst_DGraphicsScene::renderContentOfEmptyDocument()
{
    DGraphicsScene scene;
    QImage image;
    scene.renderContentTo(image);
    QVERIFY(image.isNull());
    scene.activeLayer();
    scene.renderContentTo(image);
    QVERIFY(image.isNull());
    // An earlier image is left as it was.
    QImage kept(3, 3, QImage::Format_ARGB32);
    kept.fill(Qt::red);
    scene.renderContentTo(kept);
    QCOMPARE(kept.size(), QSize(3, 3));
    QCOMPARE(kept.pixel(1, 1), qRgb(255, 0, 0));
}

void tst_DGraphicsScene::renderContentCommitsEditing()
{
    DGraphicsScene scene;
    DGraphicsItemText* text = new DGraphicsItemText;
    scene.addPersistenItem(text, false);
    text->setPlainText("Label");
    text->startEditing();
    QVERIFY(text->isEditing());
    text->editor()->selectAll();
    QTest::keyClicks(text->editor(), "Typed");
    QCOMPARE(text->plainText(), QString("Label"));

    QImage image;
    scene.renderContentTo(image);
    QVERIFY(!text->isEditing());
    QCOMPARE(text->plainText(), QString("Typed"));
    QVERIFY(!image.isNull());
    // The committed text is painted into the content.
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128 && qGray(image.pixel(x, y)) < 100)
                ++dark;
    QVERIFY(dark > 10);
}

void tst_DGraphicsScene::printTarget_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QRect>("target");
    QTest::newRow("fits") << QSizeF(600, 800) << QSize(300, 200) << QRect(150, 300, 300, 200);
    QTest::newRow("too wide") << QSizeF(600, 800) << QSize(1200, 400) << QRect(0, 300, 600, 200);
    QTest::newRow("twice the page") << QSizeF(600, 800) << QSize(1200, 1600) << QRect(0, 0, 600, 800);
    QTest::newRow("too tall") << QSizeF(600, 800) << QSize(300, 1600) << QRect(225, 0, 150, 800);
    QTest::newRow("exactly the page") << QSizeF(600, 800) << QSize(600, 800) << QRect(0, 0, 600, 800);
    QTest::newRow("no page") << QSizeF(0, 0) << QSize(300, 200) << QRect();
    QTest::newRow("no page height") << QSizeF(600, 0) << QSize(300, 200) << QRect();
}

void tst_DGraphicsScene::printTarget()
{
    QFETCH(QSizeF, page);
    QFETCH(QSize, image);
    QFETCH(QRect, target);
    QCOMPARE(DGraphicsScene::printTargetRect(page, image), target);
}

void tst_DGraphicsScene::printToPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DGraphicsScene scene;
    scene.addPersistenItem(filledRectangle(QRectF(0, 0, 120, 80), Qt::red), true);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = dir.filePath("content.pdf");
    printer.setOutputFileName(file);
    scene.onPrint(&printer);
    QFileInfo info(file);
    QVERIFY(info.exists());
    QVERIFY(info.size() > 100);
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    // The content went to the page as an image of the content's size (with
    // its alpha as a mask of the same size).
    QVERIFY(bytes.contains("/Subtype /Image\n/Width 121\n/Height 81\n"));
}

void tst_DGraphicsScene::printCommitsEditing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DGraphicsScene scene;
    DGraphicsItemText* text = new DGraphicsItemText;
    scene.addPersistenItem(text, false);
    text->startEditing();
    QTest::keyClicks(text->editor(), "Printed label");
    QCOMPARE(text->plainText(), QString());

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("label.pdf"));
    scene.onPrint(&printer);
    QVERIFY(!text->isEditing());
    QCOMPARE(text->plainText(), QString("Printed label"));
    QVERIFY(QFile::exists(dir.filePath("label.pdf")));
}

void tst_DGraphicsScene::printEmptyDocument()
{
    QTemporaryDir dir;
    DGraphicsScene scene;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = dir.filePath("empty.pdf");
    printer.setOutputFileName(file);
    scene.onPrint(&printer);
    QVERIFY(!QFile::exists(file));
}

void tst_DGraphicsScene::filterAllowed_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("key press") << 6 << true;
    QTest::newRow("key release") << 7 << true;
    QTest::newRow("scene mouse move") << 155 << true;
    QTest::newRow("scene wheel") << 168 << true;
    QTest::newRow("mouse move") << 5 << false;
    QTest::newRow("154") << 154 << false;
    QTest::newRow("169") << 169 << false;
}

void tst_DGraphicsScene::filterAllowed()
{
    QFETCH(int, type);
    QFETCH(bool, allowed);
    QEvent event(static_cast<QEvent::Type>(type));
    DGraphicsScene alone;
    QVERIFY(!alone.isFilterAllowed(&event));
    QGraphicsView view(&alone);
    QCOMPARE(alone.isFilterAllowed(&event), allowed);
}

QTEST_MAIN(tst_DGraphicsScene)
#include "tst_DGraphicsScene.moc"
