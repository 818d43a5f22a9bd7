#include <QtTest>

#include <QFontMetrics>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

#include "DCanvas.h"
#include "DCursor.h"
#include "DCursorGraphicsCross.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DGrip.h"
#include "DUtility.h"

namespace {

// An item of the scene's own that remembers where it was pressed.
class PressRecorder : public QGraphicsRectItem
{
public:
    explicit PressRecorder(const QRectF& rect) : QGraphicsRectItem(rect) {}
    QList<QPointF> scenePositions;
    QList<QPoint> screenPositions;
protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override
    {
        scenePositions.append(event->scenePos());
        screenPositions.append(event->screenPos());
        event->accept();
    }
};

// A cross that counts how many of its kind are alive.
class CountedCross : public DCursorGraphicsCross
{
public:
    explicit CountedCross(int* alive) : m_alive(alive) { ++*m_alive; }
    ~CountedCross() override { --*m_alive; }
    int* m_alive;
};

QColor inverted(const QColor& c)
{
    return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

void sendMove(QWidget* viewport, const QPoint& pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, viewport->mapToGlobal(pos),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

} // namespace

class tst_DCursor : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void emptyCursorDrawsNothing();
    void emptyStackChangesAndRepaintsNothing();
    void graphicsStackDrawsTheTopAndOwnsAll();
    void systemCursorIsHiddenOnceAndRestored();
    void systemCursorAcrossAHoveredItem();
    void releasedCursorIsTheOneTheViewWouldShow_data();
    void releasedCursorIsTheOneTheViewWouldShow();
    void followsTheMouseUnlessBound();
    void boundingRectWithoutText_data();
    void boundingRectWithoutText();
    void labelPlacement_data();
    void labelPlacement();
    void labelStaysOnTheVisibleArea_data();
    void labelStaysOnTheVisibleArea();
    void labelKeepsItsScreenSizeAtZoom();
    void crossInvertsPixels();
    void sceneDrawsTheCursorAtConstantScreenSize();
    void bindingFollowsTheGripAndWarpsThePointer();
    void pressWhileBoundGoesToTheGrip();
    void gripDeletedWhileBoundReleasesTheCursor();

private:
    DCanvas* m_canvas = nullptr;
};

void tst_DCursor::init()
{
    m_canvas = new DCanvas;
    m_canvas->resize(416, 316);
    m_canvas->setCanvasSize(300, 250);
    m_canvas->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_canvas));
}

void tst_DCursor::cleanup()
{
    delete m_canvas;
    m_canvas = nullptr;
}

void tst_DCursor::emptyCursorDrawsNothing()
{
    DCursor& cursor = m_canvas->scene()->cursor();
    QCOMPARE(cursor.boundingRect(), QRectF(0, 0, 0, 0));
    QVERIFY(!cursor.isBinded());
    QCOMPARE(cursor.graphicsCount(), 0);

    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QImage before = image;
    QPainter painter(&image);
    cursor.paint(&painter, nullptr, nullptr);
    painter.end();
    QCOMPARE(image, before);
}

void tst_DCursor::emptyStackChangesAndRepaintsNothing()
{
    DGraphicsScene scene;           // no view: nothing but the cursor repaints
    DCursor cursor(&scene);
    QCoreApplication::processEvents();   // whatever the new scene reports itself
    QSignalSpy changed(&scene, &QGraphicsScene::changed);
    cursor.unsetGraphics(true);
    cursor.setTextAlignment(Qt::AlignLeft);
    cursor.updatePos(QPointF(10, 10));
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(cursor.graphicsCount(), 0);

    cursor.setGraphics(new DCursorGraphicsCross, false);
    cursor.updatePos(QPointF(30, 30));
    QCoreApplication::processEvents();
    QVERIFY(changed.count() > 0);
    const QList<QRectF> rects = changed.last().at(0).value<QList<QRectF>>();
    bool coversNew = false;
    for (const QRectF& r : rects)
        coversNew = coversNew || r.contains(QRectF(10, 10, 41, 41));
    QVERIFY(coversNew);
}

void tst_DCursor::graphicsStackDrawsTheTopAndOwnsAll()
{
    int alive = 0;
    {
        DGraphicsScene scene;
        DCursor cursor(&scene);
        CountedCross* first = new CountedCross(&alive);
        CountedCross* second = new CountedCross(&alive);
        cursor.setGraphics(first, false);
        cursor.setGraphics(second, false);
        QCOMPARE(cursor.currentGraphics(), second);
        cursor.setTextAlignment(Qt::AlignRight);
        QCOMPARE(second->alignment(), Qt::Alignment(Qt::AlignRight));
        QCOMPARE(first->alignment(), Qt::Alignment(Qt::AlignCenter));

        cursor.unsetGraphics(false);
        QCOMPARE(alive, 1);
        QCOMPARE(cursor.currentGraphics(), first);
        cursor.setGraphics(new CountedCross(&alive), false);
        QCOMPARE(alive, 2);
    }
    // The cursor deletes whatever is still on its stack.
    QCOMPARE(alive, 0);
}

void tst_DCursor::systemCursorIsHiddenOnceAndRestored()
{
    DCursor& cursor = m_canvas->scene()->cursor();
    QWidget* viewport = m_canvas->view()->viewport();
    viewport->setCursor(Qt::IBeamCursor);

    cursor.setGraphics(new DCursorGraphicsCross, true);
    QVERIFY(cursor.isSystemCursorHidden());
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
    // A second hiding request saves nothing new.
    cursor.setGraphics(new DCursorGraphicsCross, true);
    cursor.unsetGraphics(false);
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
    QVERIFY(cursor.isSystemCursorHidden());

    cursor.unsetGraphics(true);
    QVERIFY(!cursor.isSystemCursorHidden());
    QCOMPARE(viewport->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(cursor.graphicsCount(), 0);
}

void tst_DCursor::systemCursorAcrossAHoveredItem()
{
    DGraphicsScene* scene = m_canvas->scene();
    DGraphicsView* view = m_canvas->view();
    QWidget* viewport = view->viewport();
    QGraphicsRectItem* item = new QGraphicsRectItem(0, 0, 100, 100);
    item->setCursor(Qt::SizeAllCursor);
    scene->addItem(item);

    // Hovering the item leaves an explicit cursor on the viewport.
    const QPoint onItem = view->mapFromScene(QPointF(50, 50));
    const QPoint offItem = view->mapFromScene(QPointF(200, 200));
    sendMove(viewport, onItem);
    QCOMPARE(viewport->cursor().shape(), Qt::SizeAllCursor);
    sendMove(viewport, offItem);
    QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);

    DCursor& cursor = scene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, true);
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);

    // While the drawn cursor runs, the item's own cursor does not show: the
    // system cursor stays hidden on the item and off it.
    sendMove(viewport, onItem);
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
    sendMove(viewport, offItem);
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);

    cursor.unsetGraphics(true);
    QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
}

void tst_DCursor::releasedCursorIsTheOneTheViewWouldShow_data()
{
    // The view's own cursor, the cursor of an item in the scene, where the
    // pointer is when a prompt hides the system cursor, the items it crosses
    // while hidden, and where it is when the prompt ends.
    QTest::addColumn<int>("ownShape");       // -1: the viewport's default
    QTest::addColumn<int>("itemShape");
    QTest::addColumn<bool>("startOnItem");
    QTest::addColumn<int>("crossings");      // moves on/off the item while hidden
    QTest::addColumn<bool>("endOnItem");

    const int none = -1;
    const int sizeAll = Qt::SizeAllCursor;
    const int blank = Qt::BlankCursor;      // what a grip shows
    const int iBeam = Qt::IBeamCursor;
    QTest::newRow("hidden on the item, ends off it") << none << sizeAll << true << 1 << false;
    QTest::newRow("hidden on the item, ends on it") << none << sizeAll << true << 2 << true;
    QTest::newRow("hidden on the item, never leaves") << none << sizeAll << true << 0 << true;
    QTest::newRow("hidden off the item, ends on it") << none << sizeAll << false << 1 << true;
    QTest::newRow("hidden off the item, ends off it") << none << sizeAll << false << 2 << false;
    QTest::newRow("hidden on a grip, ends off it") << none << blank << true << 1 << false;
    QTest::newRow("hidden off a grip, ends on it") << none << blank << false << 3 << true;
    QTest::newRow("own cursor, hidden on the item, ends off it") << iBeam << sizeAll << true << 1 << false;
    QTest::newRow("own cursor, hidden off the item, ends on it") << iBeam << sizeAll << false << 1 << true;
    QTest::newRow("own cursor, hidden on a grip, ends on it") << iBeam << blank << true << 2 << true;
}

void tst_DCursor::releasedCursorIsTheOneTheViewWouldShow()
{
    QFETCH(int, ownShape);
    QFETCH(int, itemShape);
    QFETCH(bool, startOnItem);
    QFETCH(int, crossings);
    QFETCH(bool, endOnItem);

    DGraphicsScene* scene = m_canvas->scene();
    DGraphicsView* view = m_canvas->view();
    QWidget* viewport = view->viewport();
    if (ownShape >= 0)
        viewport->setCursor(Qt::CursorShape(ownShape));
    const Qt::CursorShape own = viewport->cursor().shape();
    const Qt::CursorShape itemCursor = Qt::CursorShape(itemShape);
    QGraphicsRectItem* item = new QGraphicsRectItem(0, 0, 100, 100);
    item->setCursor(itemCursor);
    scene->addItem(item);
    const QPoint onItem = view->mapFromScene(QPointF(50, 50));
    const QPoint offItem = view->mapFromScene(QPointF(200, 200));
    auto moveTo = [&](bool on) { sendMove(viewport, on ? onItem : offItem); };
    auto expected = [&](bool on) { return on ? itemCursor : own; };

    moveTo(startOnItem);
    QCOMPARE(viewport->cursor().shape(), expected(startOnItem));

    DCursor& cursor = scene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, true);
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
    bool on = startOnItem;
    for (int i = 0; i < crossings; ++i) {
        on = !on;
        moveTo(on);
        QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
        moveTo(on);     // a second move at the same place changes nothing
        QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
    }
    QCOMPARE(on, endOnItem);

    cursor.unsetGraphics(true);
    QVERIFY(!cursor.isSystemCursorHidden());
    QCOMPARE(viewport->cursor().shape(), expected(endOnItem));
    // The view goes on showing its own cursor and the item's as if the
    // drawn cursor had never been there.
    moveTo(!endOnItem);
    QCOMPARE(viewport->cursor().shape(), expected(!endOnItem));
    moveTo(endOnItem);
    QCOMPARE(viewport->cursor().shape(), expected(endOnItem));
    moveTo(!endOnItem);
    QCOMPARE(viewport->cursor().shape(), expected(!endOnItem));

    // A second prompt after the first behaves the same.
    cursor.setGraphics(new DCursorGraphicsCross, true);
    moveTo(endOnItem);
    QCOMPARE(viewport->cursor().shape(), Qt::BlankCursor);
    cursor.unsetGraphics(true);
    QCOMPARE(viewport->cursor().shape(), expected(endOnItem));
    moveTo(!endOnItem);
    QCOMPARE(viewport->cursor().shape(), expected(!endOnItem));
}

void tst_DCursor::followsTheMouseUnlessBound()
{
    DGraphicsScene scene;
    DCursor cursor(&scene);
    cursor.updateScenePos(QPointF(5, 5));       // nothing drawn: ignored
    QCOMPARE(cursor.pos(), QPointF(0, 0));
    cursor.setGraphics(new DCursorGraphicsCross, false);
    cursor.updateScenePos(QPointF(5, 6));
    QCOMPARE(cursor.pos(), QPointF(5, 6));
    QCOMPARE(cursor.sceneBoundingRect(), QRectF(-15, -14, 41, 41));
}

void tst_DCursor::boundingRectWithoutText_data()
{
    QTest::addColumn<double>("scale");
    // A scale the view's transform holds beside the zoom: the overlay shows a
    // screen that Qt scales by 2 or 1.5 one screen pixel to one scene unit.
    QTest::addColumn<double>("beside");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("1.0") << 1.0 << 1.0 << QRectF(-20, -20, 41, 41);
    QTest::newRow("2.0") << 2.0 << 1.0 << QRectF(-10, -10, 20.5, 20.5);
    QTest::newRow("0.4") << 0.4 << 1.0 << QRectF(-50, -50, 102.5, 102.5);
    QTest::newRow("screen scaled by 2") << 1.0 << 0.5 << QRectF(-40, -40, 82, 82);
    QTest::newRow("2.0, screen scaled by 1.5") << 2.0 << 1.0 / 1.5 << QRectF(-15, -15, 30.75, 30.75);
}

void tst_DCursor::boundingRectWithoutText()
{
    QFETCH(double, scale);
    QFETCH(double, beside);
    QFETCH(QRectF, expected);
    m_canvas->view()->setTransform(QTransform::fromScale(beside, beside));
    m_canvas->view()->setScale(scale);
    DCursor& cursor = m_canvas->scene()->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, false);
    cursor.updatePos(QPointF(40, 40));
    const QRectF r = cursor.boundingRect();
    QVERIFY2(qAbs(r.x() - expected.x()) < 1e-9 && qAbs(r.y() - expected.y()) < 1e-9
                 && qAbs(r.width() - expected.width()) < 1e-9
                 && qAbs(r.height() - expected.height()) < 1e-9,
             qPrintable(QString("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
}

void tst_DCursor::labelPlacement_data()
{
    // Where the cursor stands, as an offset from a corner of the visible area,
    // and where its label goes, relative to the cursor (w, h: the text size).
    QTest::addColumn<int>("corner");     // 0 top-left, 1 bottom-right, 2 top-right
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<int>("expectX");    // 0: +3; 1: -(w + 7)
    QTest::addColumn<int>("expectY");    // 0: +3; 1: -(h + 7)
    QTest::newRow("room right and below") << 0 << QPointF(20, 20) << 0 << 0;
    QTest::newRow("bottom-right: left and above") << 1 << QPointF(-10, -10) << 1 << 1;
    QTest::newRow("top-right: left and below") << 2 << QPointF(-10, 10) << 1 << 0;
}

void tst_DCursor::labelPlacement()
{
    QFETCH(int, corner);
    QFETCH(QPointF, offset);
    QFETCH(int, expectX);
    QFETCH(int, expectY);

    DGraphicsScene* scene = m_canvas->scene();
    const QRectF visible = scene->visibleRect();
    QPointF base = visible.topLeft();
    if (corner == 1)
        base = visible.bottomRight();
    else if (corner == 2)
        base = visible.topRight();

    DCursor& cursor = scene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, false);
    cursor.updatePos(base + offset);
    const QString text = QStringLiteral("(120,45)");
    cursor.updateText(text);
    const QSize size = QFontMetrics(QApplication::font()).size(0, text);
    const QRectF label = cursor.labelRect();
    const double x = expectX == 0 ? 3.0 : -(size.width() + 7.0);
    const double y = expectY == 0 ? 3.0 : -(size.height() + 7.0);
    QCOMPARE(label, QRectF(x, y, size.width() + 5.0, size.height() + 5.0));
    QVERIFY(cursor.boundingRect().contains(label));
    // Placed inside the visible area.
    QVERIFY(visible.adjusted(-1, -1, 1, 1).contains(label.translated(cursor.pos())));
}

void tst_DCursor::labelStaysOnTheVisibleArea_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("beside");
    QTest::newRow("zoom 1") << 1.0 << 1.0;
    QTest::newRow("zoom 2") << 2.0 << 1.0;
    QTest::newRow("screen scaled by 2") << 1.0 << 0.5;
    QTest::newRow("zoom 2, screen scaled by 1.5") << 2.0 << 1.0 / 1.5;
}

// Wherever the cursor stands on the visible area, near its edges above all,
// the label lies inside it as it is drawn (view pixels scaled back to the
// scene), but for the frame of 2 and 3 pixels around the text that its place
// leaves out.
void tst_DCursor::labelStaysOnTheVisibleArea()
{
    QFETCH(double, zoom);
    QFETCH(double, beside);
    DGraphicsView* view = m_canvas->view();
    view->setTransform(QTransform::fromScale(beside, beside));
    view->setScale(zoom);
    DGraphicsScene* scene = m_canvas->scene();
    const double s = scene->scale();
    const QRectF visible = scene->visibleRect();
    DCursor& cursor = scene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, false);
    cursor.updateText(QStringLiteral("Width: 200\nHeight: 100"));
    const QTransform toScene = QTransform::fromScale(1.0 / s, 1.0 / s);
    for (double inset = 1; inset < 300; inset += 7) {
        for (const QPointF& at : {visible.bottomRight() - QPointF(inset, inset) / s,
                                  visible.topRight() + QPointF(-inset, inset) / s,
                                  visible.bottomLeft() + QPointF(inset, -inset) / s}) {
            cursor.updatePos(at);
            const QRectF label = toScene.mapRect(cursor.labelRect()).translated(at);
            QVERIFY2(visible.adjusted(-3 / s, -3 / s, 3 / s, 3 / s).contains(label),
                     qPrintable(QString("at %1, %2").arg(at.x()).arg(at.y())));
        }
    }
}

void tst_DCursor::labelKeepsItsScreenSizeAtZoom()
{
    m_canvas->view()->setScale(2.0);
    DGraphicsScene* scene = m_canvas->scene();
    DCursor& cursor = scene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, false);
    cursor.updatePos(scene->visibleRect().topLeft() + QPointF(10, 10));
    const QString text = QStringLiteral("Width: 200\nHeight: 100");
    cursor.updateText(text);
    const QSize size = QFontMetrics(QApplication::font()).size(0, text);
    QCOMPARE(cursor.labelRect().size(), QSizeF(size.width() + 5.0, size.height() + 5.0));
    // In scene units the whole cursor is half its screen size.
    const QRectF united = QRectF(-20, -20, 41, 41) | cursor.labelRect();
    const QRectF r = cursor.boundingRect();
    QVERIFY(qAbs(r.width() - united.width() / 2) < 1e-9);
    QVERIFY(qAbs(r.height() - united.height() / 2) < 1e-9);
}

void tst_DCursor::crossInvertsPixels()
{
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    const QColor left(255, 255, 255);
    const QColor right(10, 200, 30);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            image.setPixelColor(x, y, x < 50 ? left : right);
    const QImage before = image;

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(50, 50);
    DUtility::FixPainterAlias(&painter);
    DCursorGraphicsCross().paint(&painter, QString(), QRectF());
    painter.end();

    for (int d = 1; d <= 20; ++d) {
        QCOMPARE(image.pixelColor(50 - d, 50), inverted(before.pixelColor(50 - d, 50)));
        QCOMPARE(image.pixelColor(50 + d, 50), inverted(before.pixelColor(50 + d, 50)));
        QCOMPARE(image.pixelColor(50, 50 - d), inverted(before.pixelColor(50, 50 - d)));
        QCOMPARE(image.pixelColor(50, 50 + d), inverted(before.pixelColor(50, 50 + d)));
        // Next to the arms nothing changes.
        QCOMPARE(image.pixelColor(50 + d, 49), before.pixelColor(50 + d, 49));
        QCOMPARE(image.pixelColor(49, 50 + d), before.pixelColor(49, 50 + d));
    }
    QCOMPARE(image.pixelColor(29, 50), before.pixelColor(29, 50));
    QCOMPARE(image.pixelColor(71, 50), before.pixelColor(71, 50));
    QCOMPARE(image.pixelColor(50, 29), before.pixelColor(50, 29));
    QCOMPARE(image.pixelColor(50, 71), before.pixelColor(50, 71));
}

void tst_DCursor::sceneDrawsTheCursorAtConstantScreenSize()
{
    DGraphicsView* view = m_canvas->view();
    view->setScale(2.0);
    DCursor& cursor = m_canvas->scene()->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, false);
    const QPointF at(60, 50);   // on the white page
    cursor.updatePos(at);
    const QImage image = view->viewport()->grab().toImage();
    const QPoint centre = view->mapFromScene(at);
    // The arms end 20 screen pixels from the centre at zoom 2.
    QCOMPARE(image.pixelColor(centre.x() + 20, centre.y()), QColor(Qt::black));
    QCOMPARE(image.pixelColor(centre.x() - 20, centre.y()), QColor(Qt::black));
    QCOMPARE(image.pixelColor(centre.x(), centre.y() + 20), QColor(Qt::black));
    QCOMPARE(image.pixelColor(centre.x() + 23, centre.y()), QColor(Qt::white));
    QCOMPARE(image.pixelColor(centre.x() + 10, centre.y() + 3), QColor(Qt::white));
}

void tst_DCursor::bindingFollowsTheGripAndWarpsThePointer()
{
    DGraphicsScene* scene = m_canvas->scene();
    DGraphicsView* view = m_canvas->view();
    DCursor& cursor = scene->cursor();
    // A running prompt's cross, with the system cursor hidden.
    cursor.setGraphics(new DCursorGraphicsCross, true);
    cursor.updateScenePos(QPointF(10, 10));

    DGraphicsItemRectangle* rectangle = new DGraphicsItemRectangle;
    scene->addPersistenItem(rectangle, false);
    DGrip* grip = new DGrip(rectangle);
    scene->addItem(grip);
    grip->setPos(80, 70);

    cursor.bind(grip);
    QVERIFY(cursor.isBinded());
    QCOMPARE(cursor.graphicsCount(), 2);
    QCOMPARE(cursor.pos(), QPointF(80, 70));
    QCOMPARE(QCursor::pos(), view->viewport()->mapToGlobal(view->mapFromScene(QPointF(80, 70))));

    // Mouse moves cannot pull it off the grip; the grip's moves take it along.
    cursor.updateScenePos(QPointF(5, 5));
    QCOMPARE(cursor.pos(), QPointF(80, 70));
    grip->setPos(120, 90);
    emit grip->moved(grip, rectangle);
    QCOMPARE(cursor.pos(), QPointF(120, 90));

    cursor.unbind(grip);
    QVERIFY(!cursor.isBinded());
    QCOMPARE(cursor.graphicsCount(), 1);
    // The prompt's cross and hidden system cursor stay.
    QVERIFY(cursor.isSystemCursorHidden());
    QCOMPARE(view->viewport()->cursor().shape(), Qt::BlankCursor);
    // Unbound, it follows the mouse again; the grip's moves no longer reach it.
    grip->setPos(150, 150);
    emit grip->moved(grip, rectangle);
    QCOMPARE(cursor.pos(), QPointF(120, 90));
    cursor.updateScenePos(QPointF(5, 5));
    QCOMPARE(cursor.pos(), QPointF(5, 5));
    cursor.unsetGraphics(true);
}

void tst_DCursor::pressWhileBoundGoesToTheGrip()
{
    DGraphicsScene* scene = m_canvas->scene();
    DGraphicsView* view = m_canvas->view();
    PressRecorder* target = new PressRecorder(QRectF(60, 50, 40, 40));
    scene->addItem(target);
    DGraphicsItemRectangle* rectangle = new DGraphicsItemRectangle;
    scene->addPersistenItem(rectangle, false);
    // Kept out of the scene, so that the press lands on the recorder below.
    DGrip grip(rectangle);
    grip.setPos(80, 70);
    DCursor& cursor = scene->cursor();
    cursor.bind(&grip);

    const QPoint elsewhere = view->mapFromScene(QPointF(10, 200));
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, elsewhere);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, elsewhere);
    QCOMPARE(target->scenePositions, QList<QPointF>({QPointF(80, 70)}));
    const QPoint globalElsewhere = view->viewport()->mapToGlobal(elsewhere);
    const QPointF offset = QPointF(80, 70) - view->mapToScene(elsewhere);
    QCOMPARE(target->screenPositions.first(),
             QPoint(qRound(globalElsewhere.x() + offset.x()), qRound(globalElsewhere.y() + offset.y())));

    cursor.unbind(&grip);
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, elsewhere);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, elsewhere);
    QCOMPARE(target->scenePositions.count(), 1);
}

void tst_DCursor::gripDeletedWhileBoundReleasesTheCursor()
{
    DGraphicsScene* scene = m_canvas->scene();
    DCursor& cursor = scene->cursor();
    cursor.setGraphics(new DCursorGraphicsCross, true);
    DGraphicsItemRectangle* rectangle = new DGraphicsItemRectangle;
    scene->addPersistenItem(rectangle, false);
    DGrip* grip = new DGrip(rectangle);
    grip->setPos(40, 40);
    cursor.bind(grip);
    QCOMPARE(cursor.graphicsCount(), 2);

    delete grip;   // never unbound
    QVERIFY(!cursor.isBinded());
    QCOMPARE(cursor.graphicsCount(), 1);
    // A late unbind finds nothing to release and leaves the prompt's cross.
    cursor.unbind(nullptr);
    QCOMPARE(cursor.graphicsCount(), 1);
    QVERIFY(cursor.isSystemCursorHidden());
    cursor.updateScenePos(QPointF(7, 8));
    QCOMPARE(cursor.pos(), QPointF(7, 8));
    cursor.unsetGraphics(true);
    QCOMPARE(cursor.graphicsCount(), 0);
}

QTEST_MAIN(tst_DCursor)
#include "tst_DCursor.moc"
