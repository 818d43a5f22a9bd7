#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include "DCreatePromptLine.h"
#include "DCreatePromptPolygon.h"
#include "DCreatePromptPolyline.h"
#include "DCreatePromptRectangle.h"
#include "DCreatePromptText.h"
#include "DCursor.h"
#include "DCursorGraphics.h"
#include "DEventFilterList.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DSceneFixture.h"

namespace {
// Counts the mouse presses that reach the filters after the prompts.
class DPressCounter : public DEventFilter
{
public:
    explicit DPressCounter(int* count) : m_count(count) {}
    bool eventFilter(QEvent* event) override
    {
        if (event->type() == QEvent::GraphicsSceneMousePress)
            ++*m_count;
        return false;
    }

private:
    int* m_count;
};

void keyRelease(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyRelease(widget, key, modifiers);
}
}

class tst_DCreatePrompt : public QObject
{
    Q_OBJECT
private slots:
    void construction();
    void rectangleDrag();
    void rightPressDropsTheSampleThenCancels_data();
    void rightPressDropsTheSampleThenCancels();
    void rectangleSnapsToOtherItems();
    void rectangleTakesTheFillImage();
    void anEndedPromptIgnoresFurtherInput();
    void positionRounding_data();
    void positionRounding();
    void pressPositionIsRoundedOnTheCanvas_data();
    void pressPositionIsRoundedOnTheCanvas();
    void secondPromptReplacesTheFirstSilently();
    void lateRemovalLeavesTheNextPromptAlone();
    void lineDrag();
    void newItemIsTheOnlySelection();
    void polylineClicksAndRightClick();
    void polylineDoubleClick();
    void polylineKeypadEnter();
    void polylineLeftPressReachesTheScene();
    void onePointPolygonIsClosed();
    void polygonTakesTheBackgroundImage();
    void escapeCancels();
    void arrowKeysMoveThePointerByOnePixel_data();
    void arrowKeysMoveThePointerByOnePixel();
    void textWidthRule_data();
    void textWidthRule();
    void sceneTornDownWhilePromptsRun_data();
    void sceneTornDownWhilePromptsRun();
};

void tst_DCreatePrompt::construction()
{
    DCreatePromptRectangle prompt;
    QCOMPARE(prompt.priority(), 0);
    QVERIFY(prompt.isActive());
    QVERIFY(!prompt.sample());
    QScopedPointer<DGraphicsItem> sample(prompt.createSample());
    QVERIFY(qobject_cast<DGraphicsItemRectangle*>(sample.data()));
    QVERIFY(!sample->isPersistent());
    QScopedPointer<DGraphicsItem> text(DCreatePromptText().createSample());
    QVERIFY(qobject_cast<DGraphicsItemText*>(text.data()));
    QScopedPointer<DGraphicsItem> polygon(DCreatePromptPolygon().createSample());
    QVERIFY(qobject_cast<DGraphicsItemPolygon*>(polygon.data()));
}

void tst_DCreatePrompt::rectangleDrag()
{
    DSceneFixture fixture;
    DGraphicsScene* scene = fixture.scene();
    fixture.move(QPointF(50, 50));
    QPointer<DCreatePromptRectangle> prompt = new DCreatePromptRectangle;
    QSignalSpy finished(prompt.data(), &DCreatePrompt::finished);
    QSignalSpy cancelled(prompt.data(), &DCreatePrompt::cancelled);
    prompt->start(fixture.canvas.data());
    QCOMPARE(scene->eventFilterList().size(), 1);
    QCOMPARE(scene->cursor().graphicsCount(), 1);
    QVERIFY(scene->cursor().isSystemCursorHidden());

    fixture.move(QPointF(80, 60));
    QCOMPARE(scene->cursor().text(), QString("(80,60)"));
    fixture.press(QPointF(100, 100));
    QVERIFY(prompt->sample());
    QCOMPARE(fixture.transientItems(), 1);
    fixture.move(QPointF(250, 150), Qt::LeftButton);
    fixture.move(QPointF(300, 200), Qt::LeftButton);
    QCOMPARE(scene->cursor().text(), QString("Width: 200\nHeight: 100"));
    QCOMPARE(scene->cursor().currentGraphics()->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    fixture.release(QPointF(300, 200));

    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().value<DCreatePrompt*>(), prompt.data());
    QCOMPARE(cancelled.count(), 0);
    QVERIFY(!prompt->isActive());
    const QList<DGraphicsItem*> items = scene->activeLayer()->items();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items.first(), static_cast<DGraphicsItem*>(prompt->sample()));
    QVERIFY(items.first()->isPersistent());
    QVERIFY(items.first()->isSelected());
    QCOMPARE(items.first()->sceneBoundary(), QRectF(100, 100, 200, 100));
    QCOMPARE(fixture.transientItems(), 0);
    // The drawn cursor is given back.
    QCOMPARE(scene->cursor().text(), QString());
    QVERIFY(!scene->cursor().isSystemCursorHidden());

    // Taken out of the list and deleted from the event loop; finished only once.
    QTRY_VERIFY(!prompt);
    QVERIFY(scene->eventFilterList().isEmpty());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(scene->activeLayer()->items().size(), 1);
}

void tst_DCreatePrompt::rightPressDropsTheSampleThenCancels_data()
{
    QTest::addColumn<bool>("line");
    QTest::newRow("rectangle") << false;
    QTest::newRow("line") << true;
}

void tst_DCreatePrompt::rightPressDropsTheSampleThenCancels()
{
    QFETCH(bool, line);
    DSceneFixture fixture;
    QPointer<DCreatePrompt> prompt;
    if (line)
        prompt = new DCreatePromptLine;
    else
        prompt = new DCreatePromptRectangle;
    QSignalSpy cancelled(prompt.data(), &DCreatePrompt::cancelled);
    prompt->start(fixture.canvas.data());
    fixture.press(QPointF(100, 100));
    fixture.move(QPointF(150, 150), Qt::LeftButton | Qt::RightButton);
    QPointer<DGraphicsItem> sample = prompt->sample();
    QVERIFY(sample);
    fixture.press(QPointF(150, 150), Qt::RightButton);
    QVERIFY(!sample);
    QVERIFY(prompt->isActive()); // the user may start again
    QCOMPARE(cancelled.count(), 0);
    fixture.release(QPointF(150, 150), Qt::RightButton);
    fixture.release(QPointF(150, 150));
    QVERIFY(prompt->isActive());

    fixture.click(QPointF(10, 10), Qt::RightButton);
    QCOMPARE(cancelled.count(), 1);
    QVERIFY(!prompt->isActive());
    QVERIFY(fixture.scene()->activeLayer()->items().isEmpty());
    QTRY_VERIFY(!prompt);
}

void tst_DCreatePrompt::rectangleSnapsToOtherItems()
{
    DSceneFixture fixture;
    auto* other = new DGraphicsItemRectangle;
    other->setBoundary(QRectF(100, 100, 200, 100));
    fixture.scene()->addPersistenItem(other, false);
    auto* prompt = new DCreatePromptRectangle;
    prompt->start(fixture.canvas.data());
    fixture.press(QPointF(298.5, 201.5)); // near the other's bottom-right corner
    fixture.move(QPointF(400, 260), Qt::LeftButton);
    fixture.release(QPointF(400, 260));
    QCOMPARE(prompt->sample()->sceneBoundary(), QRectF(300, 200, 100, 60));
}

void tst_DCreatePrompt::rectangleTakesTheFillImage()
{
    DSceneFixture fixture;
    auto* plain = new DCreatePromptRectangle;
    plain->start(fixture.canvas.data());
    fixture.drag(QPointF(10, 10), QPointF(60, 60));
    QVERIFY(!plain->sample()->fillImage()); // an empty fill pixmap leaves it unfilled

    auto* filled = new DCreatePromptRectangle;
    QPixmap screenshot(80, 60);
    screenshot.fill(Qt::darkGreen);
    filled->setFillImage(screenshot);
    filled->start(fixture.canvas.data());
    fixture.drag(QPointF(100, 100), QPointF(180, 160));
    DGraphicsItemRectangle* sample = filled->sample();
    QVERIFY(sample->fillImage());
    QCOMPARE(sample->fillImage()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::darkGreen));
    QVERIFY(sample->isFill());
}

void tst_DCreatePrompt::anEndedPromptIgnoresFurtherInput()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptRectangle;
    QSignalSpy finished(prompt, &DCreatePrompt::finished);
    QSignalSpy cancelled(prompt, &DCreatePrompt::cancelled);
    prompt->start(fixture.canvas.data());
    fixture.drag(QPointF(10, 10), QPointF(60, 60));
    QCOMPARE(finished.count(), 1);
    QPointer<DGraphicsItem> item = prompt->sample();

    // Still in the list until the event loop runs; nothing more happens.
    prompt->finish();
    prompt->cancel();
    QTest::keyClick(fixture.view(), Qt::Key_Escape);
    fixture.click(QPointF(200, 200), Qt::RightButton);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(cancelled.count(), 0);
    QVERIFY(item);
    QVERIFY(item->isPersistent());
}

void tst_DCreatePrompt::positionRounding_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPointF>("rounded");
    QTest::newRow("zoom 0.6: unchanged") << 0.6 << QPointF(10.26, 7.74);
    QTest::newRow("zoom 1: unchanged") << 1.0 << QPointF(10.26, 7.74);
    QTest::newRow("zoom 3: halves") << 3.0 << QPointF(10.5, 7.5);
    QTest::newRow("zoom 4: still halves") << 4.0 << QPointF(10.5, 7.5);
    QTest::newRow("zoom 4.2: tenths") << 4.2 << QPointF(10.3, 7.7);
    QTest::newRow("zoom 5: tenths") << 5.0 << QPointF(10.3, 7.7);
}

void tst_DCreatePrompt::positionRounding()
{
    QFETCH(double, zoom);
    QFETCH(QPointF, rounded);
    DSceneFixture fixture;
    fixture.setZoom(zoom);
    QCOMPARE(fixture.scene()->scale(), zoom);
    auto* prompt = new DCreatePromptLine;
    prompt->start(fixture.canvas.data());
    QGraphicsSceneMouseEvent event(QEvent::GraphicsSceneMouseMove);
    event.setScenePos(QPointF(10.26, 7.74));
    prompt->snapMouse(&event);
    QCOMPARE(event.scenePos(), rounded);
}

void tst_DCreatePrompt::pressPositionIsRoundedOnTheCanvas_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("step");
    QTest::newRow("zoom 3") << 3.0 << 0.5;
    QTest::newRow("zoom 4.2") << 4.2 << 0.1;
}

void tst_DCreatePrompt::pressPositionIsRoundedOnTheCanvas()
{
    QFETCH(double, zoom);
    QFETCH(double, step);
    DSceneFixture fixture;
    fixture.setZoom(zoom);
    // A viewport pixel whose scene position lies off the rounding grid.
    QPoint pixel(101, 101);
    QPointF raw = fixture.view()->mapToScene(pixel);
    auto onGrid = [step](double v) { return qAbs(v / step - qRound(v / step)) < 1e-6; };
    for (int tries = 0; onGrid(raw.x()) || onGrid(raw.y()); ++tries) {
        QVERIFY(tries < 20);
        pixel += QPoint(1, 1);
        raw = fixture.view()->mapToScene(pixel);
    }
    auto* prompt = new DCreatePromptLine;
    prompt->start(fixture.canvas.data());
    QTest::mousePress(fixture.viewport(), Qt::LeftButton, Qt::NoModifier, pixel);
    QVERIFY(prompt->sample());
    const QVector3D start = prompt->sample()->startPoint();
    const QPointF expected(qRound(raw.x() / step) * step, qRound(raw.y() / step) * step);
    QVERIFY2(qAbs(start.x() - expected.x()) < 1e-4 && qAbs(start.y() - expected.y()) < 1e-4,
             qPrintable(QString("%1,%2 for %3,%4").arg(start.x()).arg(start.y()).arg(raw.x()).arg(raw.y())));
    prompt->cancel();
}

void tst_DCreatePrompt::secondPromptReplacesTheFirstSilently()
{
    DSceneFixture fixture;
    QPointer<DCreatePromptRectangle> first = new DCreatePromptRectangle;
    QSignalSpy cancelled(first.data(), &DCreatePrompt::cancelled);
    QSignalSpy finished(first.data(), &DCreatePrompt::finished);
    first->start(fixture.canvas.data());
    fixture.press(QPointF(100, 100));
    fixture.move(QPointF(150, 150), Qt::LeftButton);
    QPointer<DGraphicsItem> sample = first->sample();
    QVERIFY(sample);

    auto* second = new DCreatePromptLine;
    second->start(fixture.canvas.data());
    QVERIFY(!sample);
    QCOMPARE(cancelled.count(), 0);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(fixture.scene()->eventFilterList().size(), 1);
    QCOMPARE(fixture.scene()->cursor().graphicsCount(), 1); // one cross-hair, the second's
    QTRY_VERIFY(!first);
    fixture.release(QPointF(150, 150));
    QVERIFY(fixture.scene()->activeLayer()->items().isEmpty());
}

void tst_DCreatePrompt::lateRemovalLeavesTheNextPromptAlone()
{
    DSceneFixture fixture;
    QPointer<DCreatePromptRectangle> first = new DCreatePromptRectangle;
    QPointer<DCreatePromptLine> next;
    // The next tool is started by a receiver of the first one's end, before
    // the scene's queued removal of the first has run.
    connect(first.data(), &DCreatePrompt::finished, this, [&] {
        next = new DCreatePromptLine;
        next->start(fixture.canvas.data());
    });
    first->start(fixture.canvas.data());
    fixture.drag(QPointF(10, 10), QPointF(60, 60));
    QVERIFY(next);
    QTRY_VERIFY(!first);

    QVERIFY(next);
    QVERIFY(next->isActive());
    QCOMPARE(fixture.scene()->eventFilterList().size(), 1);
    QSignalSpy finished(next.data(), &DCreatePrompt::finished);
    fixture.drag(QPointF(100, 100), QPointF(150, 100));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(fixture.scene()->activeLayer()->items().size(), 2);
}

void tst_DCreatePrompt::lineDrag()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptLine;
    QSignalSpy finished(prompt, &DCreatePrompt::finished);
    prompt->start(fixture.canvas.data());
    fixture.press(QPointF(100, 100));
    fixture.move(QPointF(130, 140), Qt::LeftButton);
    QCOMPARE(fixture.scene()->cursor().text(), QString("Length: 50"));
    fixture.release(QPointF(130, 140));
    QCOMPARE(finished.count(), 1);
    DGraphicsItemLine* line = prompt->sample();
    QVERIFY(line && line->isPersistent());
    QCOMPARE(line->startPoint(), QVector3D(100, 100, 0));
    QCOMPARE(line->endPoint(), QVector3D(130, 140, 0));
}

// What the user does next to the new item (an edit, Delete) must not land on
// the items that were selected before it was drawn.
void tst_DCreatePrompt::newItemIsTheOnlySelection()
{
    DSceneFixture fixture;
    DGraphicsScene* scene = fixture.scene();
    auto* earlier = new DGraphicsItemRectangle;
    earlier->setBoundary(QRectF(300, 300, 100, 80));
    scene->addPersistenItem(earlier, true);
    QVERIFY(earlier->isSelected());
    auto* prompt = new DCreatePromptLine;
    prompt->start(fixture.canvas.data());
    fixture.press(QPointF(100, 100));
    fixture.move(QPointF(200, 150), Qt::LeftButton);
    fixture.release(QPointF(200, 150));
    const QList<DGraphicsItem*> selected = scene->activeLayer()->selectedItems();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first(), static_cast<DGraphicsItem*>(prompt->sample()));
    QVERIFY(!earlier->isSelected());
}

void tst_DCreatePrompt::polylineClicksAndRightClick()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptPolyline;
    QSignalSpy finished(prompt, &DCreatePrompt::finished);
    prompt->start(fixture.canvas.data());
    QVERIFY(fixture.canvas->helpBalloon());

    fixture.click(QPointF(100, 100));
    QVERIFY(prompt->rubberBand());
    fixture.move(QPointF(150, 120));
    QCOMPARE(prompt->rubberBand()->startPoint(), QVector3D(100, 100, 0));
    QCOMPARE(prompt->rubberBand()->endPoint(), QVector3D(150, 120, 0));
    QCOMPARE(fixture.scene()->cursor().text(), QString("(150,120)"));
    fixture.click(QPointF(200, 100));
    fixture.click(QPointF(200, 200));
    fixture.press(QPointF(300, 300), Qt::RightButton);

    QCOMPARE(finished.count(), 1);
    DGraphicsItemPolyline* polyline = prompt->sample();
    QVERIFY(polyline->isPersistent());
    QVERIFY(!polyline->isClosed());
    QCOMPARE(polyline->points(),
             (QVector<QVector3D> { QVector3D(100, 100, 0), QVector3D(200, 100, 0), QVector3D(200, 200, 0) }));
    QVERIFY(!prompt->rubberBand());
    QCOMPARE(fixture.transientItems(), 0);
}

void tst_DCreatePrompt::polylineDoubleClick()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptPolyline;
    QSignalSpy finished(prompt, &DCreatePrompt::finished);
    prompt->start(fixture.canvas.data());
    fixture.click(QPointF(100, 100));
    fixture.click(QPointF(200, 100));
    fixture.doubleClick(QPointF(200, 200));
    QCOMPARE(finished.count(), 1);
    // The second click of the double-click adds no point.
    QCOMPARE(prompt->sample()->pointCount(), 3);
}

void tst_DCreatePrompt::polylineKeypadEnter()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptPolyline;
    QSignalSpy finished(prompt, &DCreatePrompt::finished);
    prompt->start(fixture.canvas.data());
    fixture.click(QPointF(100, 100));
    fixture.click(QPointF(200, 100));
    keyRelease(fixture.view(), Qt::Key_Return); // the main Enter key does not finish
    QCOMPARE(finished.count(), 0);
    keyRelease(fixture.view(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(prompt->sample()->pointCount(), 2);

    // Before the first point: finished, and no item.
    auto* empty = new DCreatePromptPolyline;
    QSignalSpy emptyFinished(empty, &DCreatePrompt::finished);
    empty->start(fixture.canvas.data());
    keyRelease(fixture.view(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(emptyFinished.count(), 1);
    QVERIFY(!empty->sample());
    QCOMPARE(fixture.scene()->activeLayer()->items().size(), 1);
}

void tst_DCreatePrompt::polylineLeftPressReachesTheScene()
{
    int presses = 0;
    DSceneFixture fixture;
    auto* counter = new DPressCounter(&presses); // priority 2: asked after prompts
    counter->start(fixture.canvas.data());

    auto* rectangle = new DCreatePromptRectangle;
    rectangle->start(fixture.canvas.data());
    fixture.press(QPointF(100, 100));
    QCOMPARE(presses, 0); // the press that starts a rectangle is consumed
    rectangle->cancel();

    auto* polyline = new DCreatePromptPolyline;
    polyline->start(fixture.canvas.data());
    fixture.click(QPointF(100, 100));
    fixture.click(QPointF(150, 100));
    QCOMPARE(presses, 2);
    polyline->cancel();
}

void tst_DCreatePrompt::onePointPolygonIsClosed()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptPolygon;
    QSignalSpy finished(prompt, &DCreatePrompt::finished);
    prompt->start(fixture.canvas.data());
    fixture.click(QPointF(100, 100));
    fixture.press(QPointF(100, 100), Qt::RightButton);
    QCOMPARE(finished.count(), 1);
    DGraphicsItemPolygon* polygon = prompt->sample();
    QCOMPARE(polygon->pointCount(), 1);
    QVERIFY(polygon->isClosed());
    QVERIFY(polygon->isPersistent());
}

void tst_DCreatePrompt::polygonTakesTheBackgroundImage()
{
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptPolygon;
    QPixmap background(40, 40);
    background.fill(Qt::blue);
    prompt->setBackgroundImage(background);
    prompt->start(fixture.canvas.data());
    fixture.click(QPointF(10, 10));
    fixture.click(QPointF(30, 10));
    fixture.doubleClick(QPointF(30, 30));
    DGraphicsItemPolygon* polygon = prompt->sample();
    QVERIFY(polygon->isClosed());
    QVERIFY(polygon->fillImage());
    QCOMPARE(polygon->fillImage()->pixmap().size(), QSize(40, 40));
}

void tst_DCreatePrompt::escapeCancels()
{
    DSceneFixture fixture;
    QPointer<DCreatePromptPolygon> prompt = new DCreatePromptPolygon;
    QSignalSpy cancelled(prompt.data(), &DCreatePrompt::cancelled);
    QSignalSpy finished(prompt.data(), &DCreatePrompt::finished);
    prompt->start(fixture.canvas.data());
    fixture.click(QPointF(100, 100));
    fixture.click(QPointF(200, 100));
    QPointer<DGraphicsItem> sample = prompt->sample();
    QTest::keyClick(fixture.view(), Qt::Key_Escape);
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!sample);
    QVERIFY(fixture.scene()->activeLayer()->items().isEmpty());
    QCOMPARE(fixture.transientItems(), 0);
    QCOMPARE(fixture.scene()->cursor().graphicsCount(), 0);
    QTRY_VERIFY(!prompt);
}

void tst_DCreatePrompt::arrowKeysMoveThePointerByOnePixel_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QPoint>("moved");
    QTest::newRow("left") << int(Qt::Key_Left) << QPoint(-1, 0);
    QTest::newRow("up") << int(Qt::Key_Up) << QPoint(0, -1);
    QTest::newRow("right") << int(Qt::Key_Right) << QPoint(1, 0);
    QTest::newRow("down") << int(Qt::Key_Down) << QPoint(0, 1);
    QTest::newRow("a letter does nothing") << int(Qt::Key_A) << QPoint(0, 0);
}

void tst_DCreatePrompt::arrowKeysMoveThePointerByOnePixel()
{
    QFETCH(int, key);
    QFETCH(QPoint, moved);
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptRectangle;
    prompt->start(fixture.canvas.data());
    const QPoint start(300, 200);
    QCursor::setPos(start);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QVERIFY(prompt->eventFilter(&press)); // every key press is consumed
    QCOMPARE(QCursor::pos(), start + moved);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QVERIFY(prompt->eventFilter(&release));
    QVERIFY(prompt->isActive());

    // The same key typed on the canvas reaches the prompt through the scene.
    QTest::keyClick(fixture.view(), Qt::Key(key));
    QCOMPARE(QCursor::pos(), start + moved * 2);
    QVERIFY(prompt->isActive());
}

void tst_DCreatePrompt::textWidthRule_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<double>("width");
    // A width of 0 puts the text back to following its text (-1 below).
    QTest::newRow("5 wide, left to right") << QPointF(100, 100) << QPointF(105, 150) << -1.0;
    QTest::newRow("5 wide, right to left") << QPointF(105, 100) << QPointF(100, 150) << -1.0;
    QTest::newRow("exactly 8 keeps its width") << QPointF(100, 100) << QPointF(108, 150) << 8.0;
    QTest::newRow("60 wide, left to right") << QPointF(100, 100) << QPointF(160, 150) << 60.0;
    // Judged on the normalised box: a wide box drawn leftwards keeps its width.
    QTest::newRow("60 wide, right to left") << QPointF(160, 100) << QPointF(100, 150) << 60.0;
}

void tst_DCreatePrompt::textWidthRule()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(double, width);
    DSceneFixture fixture;
    auto* prompt = new DCreatePromptText;
    prompt->start(fixture.canvas.data());
    fixture.press(from);
    fixture.move(to, Qt::LeftButton);
    fixture.release(to);
    DGraphicsItemText* text = prompt->sample();
    QVERIFY(text);
    QVERIFY(text->isPersistent());
    if (width < 0) {
        // The width an empty text chooses for itself.
        DGraphicsScene other;
        auto* automatic = new DGraphicsItemText;
        other.addPersistenItem(automatic, false);
        automatic->setBoundary(QRectF(0, 0, 5, 50));
        automatic->setWidth(0);
        width = automatic->width();
        QVERIFY(width != 5.0);
    }
    QCOMPARE(text->width(), width);
    QVERIFY(text->isEditing());
    text->stopEditing();
}

void tst_DCreatePrompt::sceneTornDownWhilePromptsRun_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("rectangle") << "rectangle";
    QTest::newRow("polyline") << "polyline";
    QTest::newRow("finished, not yet removed") << "finished";
}

void tst_DCreatePrompt::sceneTornDownWhilePromptsRun()
{
    QFETCH(QString, kind);
    auto* fixture = new DSceneFixture;
    if (kind == "rectangle") {
        auto* prompt = new DCreatePromptRectangle;
        prompt->start(fixture->canvas.data());
        fixture->press(QPointF(100, 100));
        fixture->move(QPointF(150, 150), Qt::LeftButton);
        QVERIFY(prompt->sample());
    } else if (kind == "polyline") {
        auto* prompt = new DCreatePromptPolyline;
        prompt->start(fixture->canvas.data());
        fixture->click(QPointF(100, 100));
        fixture->move(QPointF(150, 150));
        QVERIFY(prompt->rubberBand());
    } else {
        auto* prompt = new DCreatePromptLine;
        prompt->start(fixture->canvas.data());
        fixture->press(QPointF(100, 100));
        fixture->move(QPointF(150, 150), Qt::LeftButton);
        fixture->release(QPointF(150, 150));
        QVERIFY(!prompt->isActive()); // its queued removal is still pending
    }
    delete fixture;
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(tst_DCreatePrompt)
#include "tst_DCreatePrompt.moc"
