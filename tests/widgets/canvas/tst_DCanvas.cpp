#include <QtTest>

#include <QGraphicsRectItem>
#include <QGridLayout>
#include <QPointer>
#include <QPropertyAnimation>
#include <QScrollBar>

#include <climits>

#include "DCanvas.h"
#include "DCanvasRulerHorizontal.h"
#include "DCanvasRulerVertical.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DHelpBalloon.h"
#include "DWidgetTools.h"

Q_DECLARE_METATYPE(QList<DGraphicsItem*>)

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Notes, when the scene deletes it, whether the widget around the scene is
// still a whole canvas.
class CanvasProbe : public QGraphicsRectItem
{
public:
    CanvasProbe(QWidget* canvas, bool* whole) : QGraphicsRectItem(0, 0, 10, 10), m_canvas(canvas), m_whole(whole) {}
    ~CanvasProbe() override { *m_whole = qobject_cast<DCanvas*>(m_canvas) != nullptr; }
private:
    QWidget* m_canvas;
    bool* m_whole;
};

bool sendWheel(QWidget* viewport, const QPoint& angleDelta, Qt::KeyboardModifiers modifiers)
{
    const QPoint pos = viewport->rect().center();
    QWheelEvent wheel(QPointF(pos), QPointF(viewport->mapToGlobal(pos)), QPoint(), angleDelta,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    return wheel.isAccepted();
}

DGraphicsItemRectangle* addRectangle(DGraphicsScene* scene, DGraphicsLayer* layer, const QPointF& pos)
{
    DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
    if (layer == scene->activeLayer()) {
        scene->addPersistenItem(item, false);
    } else {
        layer->addItem(item);
    }
    item->setPos(pos);
    return item;
}

bool hasColour(const QImage& image, const QRect& area, const std::function<bool(const QColor&)>& test)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

bool isMarkBlue(const QColor& c)
{
    return c.blue() > 200 && c.red() < 80 && c.green() < 80;
}

} // namespace

class tst_DCanvas : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction();
    void rulerVisibility();
    void mapFromScene();
    void wheel_data();
    void wheel();
    void plainWheelScrolls();
    void ctrlWheelDoesNotScroll_data();
    void ctrlWheelDoesNotScroll();
    void rulerTicks_data();
    void rulerTicks();
    void rulerPaintsTicksAtSceneValues();
    void rulersPaintTheStepOfTheZoom_data();
    void rulersPaintTheStepOfTheZoom();
    void rulerMarkFollowsTheMouse();
    void scrollingRepaintsTheRulerAtOnce();
    void selectionMergesAcrossLayers();
    void gripDragHidesAndFadesPanels();
    void showBalloonForwards();
    void destroyingWithASelectionIsSafe();

private:
    DCanvas* m_canvas = nullptr;
};

void tst_DCanvas::initTestCase()
{
    qRegisterMetaType<QList<DGraphicsItem*>>();
}

void tst_DCanvas::init()
{
    m_canvas = new DCanvas;
    m_canvas->resize(400, 316);
    m_canvas->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_canvas));
}

void tst_DCanvas::cleanup()
{
    delete m_canvas;
    m_canvas = nullptr;
}

void tst_DCanvas::construction()
{
    QCOMPARE(m_canvas->scene()->sceneRect(), QRectF(0, 0, 600, 500));
    QCOMPARE(m_canvas->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(m_canvas->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QGridLayout* grid = qobject_cast<QGridLayout*>(m_canvas->layout());
    QVERIFY(grid);
    QCOMPARE(grid->spacing(), 0);
    QCOMPARE(grid->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(grid->itemAtPosition(0, 1)->widget(), static_cast<QWidget*>(m_canvas->horizontalRuler()));
    QCOMPARE(grid->itemAtPosition(1, 0)->widget(), static_cast<QWidget*>(m_canvas->verticalRuler()));
    QCOMPARE(grid->itemAtPosition(1, 1)->widget(), static_cast<QWidget*>(m_canvas->view()));
    QVERIFY(!grid->itemAtPosition(0, 0));
    QCOMPARE(m_canvas->horizontalRuler()->height(), 16);
    QCOMPARE(m_canvas->verticalRuler()->width(), 16);
    QCOMPARE(m_canvas->horizontalRuler()->currentPos(), -1);
    QVERIFY(!m_canvas->helpBalloon()->isVisible());
    QVERIFY(m_canvas->selection().isEmpty());

    m_canvas->setCanvasSize(QSize(800, 600));
    QCOMPARE(m_canvas->scene()->sceneRect(), QRectF(0, 0, 800, 600));
}

void tst_DCanvas::rulerVisibility()
{
    QVERIFY(m_canvas->isRulerVisible());
    m_canvas->setRulerVisible(false);
    QVERIFY(!m_canvas->horizontalRuler()->isVisible());
    QVERIFY(!m_canvas->verticalRuler()->isVisible());
    QVERIFY(!m_canvas->isRulerVisible());
    // Only the horizontal ruler answers.
    m_canvas->horizontalRuler()->setVisible(true);
    QVERIFY(m_canvas->isRulerVisible());
    m_canvas->setRulerVisible(true);
    m_canvas->horizontalRuler()->setVisible(false);
    QVERIFY(!m_canvas->isRulerVisible());
}

void tst_DCanvas::mapFromScene()
{
    DGraphicsView* view = m_canvas->view();
    const QPointF p(40, 30);
    QCOMPARE(m_canvas->mapFromScene(p), view->mapTo(m_canvas, view->mapFromScene(p)));
    QCOMPARE(m_canvas->mapFromScene(p), view->mapFromScene(p) + QPoint(16, 16));

    view->setScale(2.0);
    const QRect r = m_canvas->mapFromScene(QRectF(40, 30, 10.5, 20.4));
    QCOMPARE(r.topLeft(), m_canvas->mapFromScene(QPointF(40, 30)));
    // The size is the scene size rounded (a half up), not zoomed.
    QCOMPARE(r.size(), QSize(11, 20));
    QCOMPARE(m_canvas->mapFromScene(QRectF(0, 0, -2.5, 2.5)).size(), QSize(-2, 3));
}

void tst_DCanvas::wheel_data()
{
    QTest::addColumn<bool>("control");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("handled");
    QTest::newRow("no Control") << false << QPoint(0, 120) << 1.0 << false;
    QTest::newRow("+120: one step") << true << QPoint(0, 120) << 6 * 0.2 << true;
    QTest::newRow("-240: two steps down") << true << QPoint(0, -240) << 3 * 0.2 << true;
    QTest::newRow("59: no step") << true << QPoint(0, 59) << 1.0 << true;
    QTest::newRow("-60: no step") << true << QPoint(0, -60) << 1.0 << true;
    QTest::newRow("60: one step") << true << QPoint(0, 60) << 6 * 0.2 << true;
    // The delta is the dominant axis of the turn, the vertical one on a tie.
    QTest::newRow("sideways without Control") << false << QPoint(120, 0) << 1.0 << false;
    QTest::newRow("sideways +120: one step") << true << QPoint(120, 0) << 6 * 0.2 << true;
    QTest::newRow("sideways -240: two steps down") << true << QPoint(-240, 0) << 3 * 0.2 << true;
    QTest::newRow("mostly sideways gesture") << true << QPoint(-130, 40) << 4 * 0.2 << true;
    QTest::newRow("mostly upright gesture") << true << QPoint(-40, 130) << 6 * 0.2 << true;
    QTest::newRow("tie: the vertical axis") << true << QPoint(120, -120) << 4 * 0.2 << true;
    // Turns far beyond the zoom range stop at its ends.
    QTest::newRow("largest turn down, sideways") << true << QPoint(INT_MIN, 0) << 1 * 0.2 << true;
    QTest::newRow("largest turn down, upright") << true << QPoint(1, INT_MIN) << 1 * 0.2 << true;
    QTest::newRow("largest turn up") << true << QPoint(0, INT_MAX) << 50 * 0.2 << true;
}

void tst_DCanvas::wheel()
{
    QFETCH(bool, control);
    QFETCH(QPoint, delta);
    QFETCH(double, scale);
    QFETCH(bool, handled);
    QWidget* viewport = m_canvas->view()->viewport();
    const QPoint pos = viewport->rect().center();
    QWheelEvent wheel(QPointF(pos), QPointF(viewport->mapToGlobal(pos)), QPoint(), delta,
                      Qt::NoButton, control ? Qt::ControlModifier : Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    PaintCounter horizontal;
    PaintCounter vertical;
    m_canvas->horizontalRuler()->installEventFilter(&horizontal);
    m_canvas->verticalRuler()->installEventFilter(&vertical);
    QCOMPARE(m_canvas->onViewWheelEvent(&wheel), handled);
    QCOMPARE(m_canvas->view()->scale(), scale);
    if (handled) {
        // Both rulers are repainted, even when the zoom stayed (0 steps).
        QTRY_VERIFY(horizontal.paints > 0);
        QTRY_VERIFY(vertical.paints > 0);
    }
}

void tst_DCanvas::plainWheelScrolls()
{
    QScrollBar* bar = m_canvas->view()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);   // the 600 x 500 page does not fit
    const int before = bar->value();
    sendWheel(m_canvas->view()->viewport(), QPoint(0, -120), Qt::NoModifier);
    QVERIFY(bar->value() > before);
    QCOMPARE(m_canvas->view()->scale(), 1.0);
}

void tst_DCanvas::ctrlWheelDoesNotScroll_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<int>("orientation");
    QTest::newRow("upright wheel") << QPoint(0, -120) << int(Qt::Vertical);
    QTest::newRow("sideways wheel") << QPoint(-120, 0) << int(Qt::Horizontal);
}

void tst_DCanvas::ctrlWheelDoesNotScroll()
{
    QFETCH(QPoint, delta);
    QFETCH(int, orientation);
    QScrollBar* bar = orientation == Qt::Vertical ? m_canvas->view()->verticalScrollBar()
                                                  : m_canvas->view()->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->minimum());
    const QTransform before = m_canvas->view()->transform();
    QVERIFY(sendWheel(m_canvas->view()->viewport(), delta, Qt::ControlModifier));
    QCOMPARE(m_canvas->view()->scale(), 4 * 0.2);
    QVERIFY(m_canvas->view()->transform() != before);
    // Zooming out may shrink the range; it never scrolls along.
    QCOMPARE(bar->value(), bar->minimum());
}

void tst_DCanvas::rulerTicks_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("step");
    QTest::addColumn<bool>("halfTick");
    QTest::addColumn<int>("minorCount");
    QTest::newRow("1") << 1.0 << 50.0 << true << 10;
    QTest::newRow("2") << 2.0 << 30.0 << true << 10;
    QTest::newRow("0.2") << 0.2 << 250.0 << true << 10;
    QTest::newRow("10") << 10.0 << 5.0 << false << 5;
}

void tst_DCanvas::rulerTicks()
{
    QFETCH(double, scale);
    QFETCH(double, step);
    QFETCH(bool, halfTick);
    QFETCH(int, minorCount);
    const int pixels = 384;
    const DCanvasRulerTicks ticks = DCanvasRuler::calcTicks(0.0, pixels / scale, pixels);
    QCOMPARE(ticks.step, step);
    QCOMPARE(ticks.halfTick, halfTick);
    QCOMPARE(ticks.minorCount, minorCount);
    QCOMPARE(ticks.first, -step);   // trunc(0 / step - 1) = -1
    QCOMPARE(ticks.last, int(pixels / scale / step + 1) * step);
}

void tst_DCanvas::rulerPaintsTicksAtSceneValues()
{
    // First and last labelled values for an exposed stretch that starts inside.
    const DCanvasRulerTicks ticks = DCanvasRuler::calcTicks(112.5, 384.0, 384);
    QCOMPARE(ticks.first, 50.0);     // trunc(2.25 - 1) = 1
    QCOMPARE(ticks.last, 500.0);     // trunc(9.93 + 1) = 10
    const DCanvasRulerTicks negative = DCanvasRuler::calcTicks(-130.0, 384.0, 384);
    QCOMPARE(negative.first, -150.0);  // trunc(-3.6) = -3
    // Nothing to place on an empty stretch.
    QCOMPARE(DCanvasRuler::calcTicks(0.0, 0.0, 384).step, 0.0);

    // On screen: a major tick (gray, full height) where scene x = 0 lands.
    m_canvas->setCanvasSize(2000, 2000);
    DGraphicsView* view = m_canvas->view();
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum());
    const QImage ruler = m_canvas->horizontalRuler()->grab().toImage();
    const int x0 = int(view->viewportTransform().map(QPointF(0, 0)).x());
    const int x25 = int(view->viewportTransform().map(QPointF(25, 0)).x());
    const int x5 = int(view->viewportTransform().map(QPointF(5, 0)).x());
    const QColor gray(Qt::gray);
    QCOMPARE(ruler.pixelColor(x0, 12), gray);
    QCOMPARE(ruler.pixelColor(x25, 7), gray);      // half tick from 6 down
    QCOMPARE(ruler.pixelColor(x25, 4), QColor(Qt::white));
    QCOMPARE(ruler.pixelColor(x5, 11), gray);      // minor tick from 10 down
    QCOMPARE(ruler.pixelColor(x5, 8), QColor(Qt::white));
    QCOMPARE(ruler.pixelColor(x5 + 2, 12), QColor(Qt::white));
    QCOMPARE(ruler.pixelColor(ruler.width() - 1, 15), QColor(Qt::black));  // base line
}

void tst_DCanvas::rulersPaintTheStepOfTheZoom_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("minor");    // scene units between minor ticks
    QTest::addColumn<bool>("halfTick");
    for (bool horizontal : {true, false}) {
        const char* side = horizontal ? "horizontal" : "vertical";
        QTest::newRow(qPrintable(QString("%1 at 2").arg(side))) << horizontal << 2.0 << 30.0 << 3.0 << true;
        QTest::newRow(qPrintable(QString("%1 at 0.2").arg(side))) << horizontal << 0.2 << 250.0 << 25.0 << true;
        QTest::newRow(qPrintable(QString("%1 at 10").arg(side))) << horizontal << 10.0 << 5.0 << 1.0 << false;
    }
}

void tst_DCanvas::rulersPaintTheStepOfTheZoom()
{
    QFETCH(bool, horizontal);
    QFETCH(double, scale);
    QFETCH(double, step);
    QFETCH(double, minor);
    QFETCH(bool, halfTick);

    m_canvas->setCanvasSize(3000, 3000);
    DGraphicsView* view = m_canvas->view();
    view->setScale(scale);
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum());
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
    QWidget* ruler = horizontal ? static_cast<QWidget*>(m_canvas->horizontalRuler())
                                : static_cast<QWidget*>(m_canvas->verticalRuler());
    const QImage image = ruler->grab().toImage();
    const QTransform toView = view->viewportTransform();
    // Where scene value v lands along the ruler, and the colour at a depth
    // across it (0 at the outer edge, 15 the base line).
    auto along = [&](double v) {
        const QPointF p = toView.map(QPointF(v, v));
        return int(horizontal ? p.x() : p.y());
    };
    auto colourAt = [&](double v, int across) {
        return horizontal ? image.pixelColor(along(v), across) : image.pixelColor(across, along(v));
    };
    const int length = horizontal ? image.width() : image.height();
    QVERIFY(along(0) >= 0 && along(step) < length);

    const QColor gray(Qt::gray);
    const QColor white(Qt::white);
    // Labelled ticks run the whole depth, at 0 and one step on.
    QCOMPARE(colourAt(0, 2), gray);
    QCOMPARE(colourAt(step, 2), gray);
    QCOMPARE(colourAt(step, 15), QColor(Qt::black));
    // A half tick from 6 down, only for even steps.
    QCOMPARE(colourAt(step / 2, 7), halfTick ? gray : white);
    QCOMPARE(colourAt(step / 2, 4), white);
    // The last minor tick before the next labelled one: from 10 down.
    QCOMPARE(colourAt(step - minor, 12), gray);
    QCOMPARE(colourAt(step - minor, 8), white);
    // Between two minor ticks nothing is drawn.
    QCOMPARE(colourAt(step - minor / 2, 12), white);

    // The label of 0 follows its tick, within the outer half of the ruler.
    bool labelled = false;
    for (int a = along(0) + 2; a <= along(0) + 8; ++a)
        for (int across = 0; across <= 8; ++across) {
            const QColor c = horizontal ? image.pixelColor(a, across) : image.pixelColor(across, a);
            labelled = labelled || c.lightness() < 120;
        }
    QVERIFY(labelled);
}

void tst_DCanvas::rulerMarkFollowsTheMouse()
{
    DCanvasRulerHorizontal* ruler = m_canvas->horizontalRuler();
    QImage image = ruler->grab().toImage();
    QVERIFY(!hasColour(image, image.rect(), isMarkBlue));   // no mark before the first move

    QWidget* viewport = m_canvas->view()->viewport();
    QMouseEvent move(QEvent::MouseMove, QPoint(100, 60), viewport->mapToGlobal(QPoint(100, 60)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QCOMPARE(ruler->currentPos(), 100);
    QCOMPARE(m_canvas->verticalRuler()->currentPos(), 60);
    image = ruler->grab().toImage();
    QVERIFY(hasColour(image, QRect(100, 0, 1, 16), isMarkBlue));
    QVERIFY(!hasColour(image, QRect(0, 0, 99, 16), isMarkBlue));
    const QImage vertical = m_canvas->verticalRuler()->grab().toImage();
    QVERIFY(hasColour(vertical, QRect(0, 60, 16, 1), isMarkBlue));
}

void tst_DCanvas::scrollingRepaintsTheRulerAtOnce()
{
    PaintCounter horizontal;
    PaintCounter vertical;
    m_canvas->horizontalRuler()->installEventFilter(&horizontal);
    m_canvas->verticalRuler()->installEventFilter(&vertical);
    m_canvas->view()->verticalScrollBar()->setValue(50);
    QVERIFY(vertical.paints > 0);
    QCOMPARE(horizontal.paints, 0);
    m_canvas->view()->horizontalScrollBar()->setValue(50);
    QVERIFY(horizontal.paints > 0);
}

void tst_DCanvas::selectionMergesAcrossLayers()
{
    DGraphicsScene* scene = m_canvas->scene();
    DGraphicsLayer* first = scene->activeLayer();
    scene->createLayer();
    DGraphicsLayer* second = scene->layers().at(1);
    DGraphicsItemRectangle* a = addRectangle(scene, first, QPointF(10, 10));
    DGraphicsItemRectangle* b = addRectangle(scene, first, QPointF(200, 10));
    DGraphicsItemRectangle* c = addRectangle(scene, second, QPointF(10, 200));

    QSignalSpy spy(m_canvas, &DCanvas::selectionChanged);
    c->setSelected(true);
    QCOMPARE(m_canvas->selection(), QList<DGraphicsItem*>({c}));
    a->setSelected(true);
    QCOMPARE(m_canvas->selection(), QList<DGraphicsItem*>({c, a}));
    // A change in the first layer keeps the second layer's items ahead.
    b->setSelected(true);
    QCOMPARE(m_canvas->selection().first(), static_cast<DGraphicsItem*>(c));
    QCOMPARE(m_canvas->selection().count(), 3);
    QVERIFY(spy.count() >= 3);
    QCOMPARE(spy.last().at(0).value<QList<DGraphicsItem*>>(), m_canvas->selection());

    first->clearSelection();
    QCOMPARE(m_canvas->selection(), QList<DGraphicsItem*>({c}));
    // A deleted selected item leaves the list through its layer's report.
    delete c;
    QVERIFY(m_canvas->selection().isEmpty());
    QCOMPARE(spy.last().at(0).value<QList<DGraphicsItem*>>(), QList<DGraphicsItem*>());
}

void tst_DCanvas::gripDragHidesAndFadesPanels()
{
    DWidgetTools* one = m_canvas->creatWidgetTools();
    DWidgetTools* two = m_canvas->creatWidgetTools();
    QCOMPARE(m_canvas->widgetTools(), QList<DWidgetTools*>({one, two}));
    QCOMPARE(one->parentWidget(), static_cast<QWidget*>(m_canvas));
    one->show(false);
    two->show(false);

    DGraphicsScene* scene = m_canvas->scene();
    scene->onGripDragStarted();
    QVERIFY(!one->isVisible());
    QVERIFY(!two->isVisible());
    QVERIFY(!one->animationFading());     // gone at once, no fade
    scene->onGripDragStarted();           // nested
    scene->onGripDragEnded();
    QVERIFY(!one->isVisible());

    scene->onGripDragEnded();
    for (DWidgetTools* tools : {one, two}) {
        QVERIFY(tools->isVisible());
        QPropertyAnimation* fading = tools->animationFading();
        QVERIFY(fading);
        QCOMPARE(fading->state(), QAbstractAnimation::Running);
        QCOMPARE(fading->startValue().toDouble(), 0.0);
        QCOMPARE(fading->endValue().toDouble(), 0.9);
    }
}

void tst_DCanvas::showBalloonForwards()
{
    m_canvas->showBalloon("Title", "Some <b>text</b>", Qt::AlignRight | Qt::AlignTop);
    DHelpBalloon* balloon = m_canvas->helpBalloon();
    QVERIFY(balloon->isVisible());
    QCOMPARE(balloon->title(), QString("Title"));
    QCOMPARE(balloon->text(), QString("Some <b>text</b>"));
    QCOMPARE(balloon->x(), m_canvas->width() - 5 - balloon->width());
    QCOMPARE(balloon->y(), 5);
}

void tst_DCanvas::destroyingWithASelectionIsSafe()
{
    DGraphicsScene* scene = m_canvas->scene();
    DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
    scene->addPersistenItem(item, true);
    QCOMPARE(m_canvas->selection().count(), 1);
    bool canvasWhole = false;
    scene->addItem(new CanvasProbe(m_canvas, &canvasWhole));
    QPointer<DGraphicsScene> guard(scene);
    delete m_canvas;
    m_canvas = nullptr;
    QVERIFY(!guard);
    // The scene went while the canvas was still whole.
    QVERIFY(canvasWhole);
}

QTEST_MAIN(tst_DCanvas)
#include "tst_DCanvas.moc"
