#include <QtTest>

#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QPointer>
#include <QScrollBar>

#include "DCanvas.h"
#include "DCanvasRulerHorizontal.h"
#include "DCanvasRulerVertical.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"

namespace {

// An item of the scene's own that counts the hover entries it gets.
class HoverCounter : public QGraphicsRectItem
{
public:
    HoverCounter() : QGraphicsRectItem(0, 0, 100, 100) { setAcceptHoverEvents(true); }
    int entered = 0;
protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent*) override { ++entered; }
};

// An item that keeps the scene position of the last press it got.
class PressRecorder : public QGraphicsRectItem
{
public:
    PressRecorder() : QGraphicsRectItem(0, 0, 1000, 1000) {}
    QPointF pressedAt{-1, -1};
protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override { pressedAt = event->scenePos(); }
};

bool fuzzyEqual(const QTransform& a, const QTransform& b)
{
    const double tolerance = 1e-12;
    return qAbs(a.m11() - b.m11()) < tolerance && qAbs(a.m12() - b.m12()) < tolerance
        && qAbs(a.m21() - b.m21()) < tolerance && qAbs(a.m22() - b.m22()) < tolerance
        && qAbs(a.dx() - b.dx()) < tolerance && qAbs(a.dy() - b.dy()) < tolerance;
}

} // namespace

class tst_DGraphicsView : public QObject
{
    Q_OBJECT
private slots:
    // Must run first: nothing has built a view yet.
    void ladderIsEmptyUntilFirstUse();
    void ladderHoldsFiftyStepsOfOneFifth();
    void setScale_data();
    void setScale();
    void repeatedStepsGiveTheSameTransform();
    void setScaleKeepsRotation();
    void constructionSettings();
    void destructionDeletesTheScene();
    void mouseMoveIsOfferedToTheCanvasFirst();
    void replayedMoveUpdatesHover();
    void pressKeepsTheFractionOfAScaledScreen_data();
    void pressKeepsTheFractionOfAScaledScreen();
};

void tst_DGraphicsView::ladderIsEmptyUntilFirstUse()
{
    QVERIFY(g_ScalingCandidate.isEmpty());
    // Zoom asked for before any view exists fills the ladder first.
    QCOMPARE(DGraphicsView::nearestScale(1.09), 1.0);
    QCOMPARE(g_ScalingCandidate.count(), 50);
}

void tst_DGraphicsView::ladderHoldsFiftyStepsOfOneFifth()
{
    DCanvas canvas;
    const QVector<double>& steps = DGraphicsView::scalingCandidates();
    QCOMPARE(steps.count(), 50);
    for (int k = 1; k <= 50; ++k)
        QCOMPARE(steps.at(k - 1), k * 0.2);
    QCOMPARE(steps.at(2), 0.6000000000000001);
    QCOMPARE(steps.last(), 10.0);
    // Later views find it filled and leave it.
    DCanvas second;
    QCOMPARE(DGraphicsView::scalingCandidates().count(), 50);
}

void tst_DGraphicsView::setScale_data()
{
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("chosen");
    QTest::newRow("1.0") << 1.0 << 1.0;
    QTest::newRow("1.1 ties go up") << 1.1 << 6 * 0.2;
    QTest::newRow("1.09") << 1.09 << 1.0;
    QTest::newRow("0.3 nearer 0.2") << 0.3 << 0.2;
    QTest::newRow("0.05 below the ladder") << 0.05 << 0.2;
    QTest::newRow("25 above the ladder") << 25.0 << 10.0;
    QTest::newRow("2.0") << 2.0 << 10 * 0.2;
}

void tst_DGraphicsView::setScale()
{
    QFETCH(double, requested);
    QFETCH(double, chosen);
    DCanvas canvas;
    DGraphicsView* view = canvas.view();
    QCOMPARE(view->scale(), 1.0);
    view->setScale(requested);
    QCOMPARE(view->scale(), chosen);
    QCOMPARE(view->transform().m11(), chosen);
    QCOMPARE(view->transform().m22(), chosen);
    QCOMPARE(view->transform().m12(), 0.0);
    QCOMPARE(canvas.scene()->scale(), chosen);
}

void tst_DGraphicsView::repeatedStepsGiveTheSameTransform()
{
    DCanvas canvas;
    DGraphicsView* view = canvas.view();
    view->setScale(3.0);
    const QTransform once = view->transform();
    view->setScale(3.0);
    QVERIFY(fuzzyEqual(view->transform(), once));

    // A walk over other steps ends where a direct step would.
    view->setScale(0.4);
    view->setScale(7.3);
    view->setScale(0.6);
    view->setScale(3.0);
    QVERIFY(fuzzyEqual(view->transform(), once));
    QCOMPARE(view->scale(), 15 * 0.2);
}

void tst_DGraphicsView::setScaleKeepsRotation()
{
    DCanvas canvas;
    DGraphicsView* view = canvas.view();
    view->rotate(30);
    view->setScale(2.0);
    QVERIFY(fuzzyEqual(view->transform(), QTransform().rotate(30).scale(2.0, 2.0)));
    view->setScale(0.4);
    QVERIFY(fuzzyEqual(view->transform(), QTransform().rotate(30).scale(0.4, 0.4)));
}

void tst_DGraphicsView::constructionSettings()
{
    DCanvas canvas;
    DGraphicsView* view = canvas.view();
    QCOMPARE(view->canvas(), &canvas);
    QVERIFY(view->scene());
    QCOMPARE(static_cast<QGraphicsScene*>(view->scene()), view->QGraphicsView::scene());
    QCOMPARE(view->viewportUpdateMode(), QGraphicsView::BoundingRectViewportUpdate);
    QVERIFY(view->renderHints().testFlag(QPainter::Antialiasing));
    QVERIFY(view->renderHints().testFlag(QPainter::TextAntialiasing));
    QVERIFY(view->renderHints().testFlag(QPainter::SmoothPixmapTransform));
    QVERIFY(view->hasMouseTracking());
    QVERIFY(view->viewport()->hasMouseTracking());
    QCOMPARE(view->frameShape(), QFrame::NoFrame);
    QCOMPARE(view->cacheMode(), QGraphicsView::CacheModeFlag(QGraphicsView::CacheBackground));
    QVERIFY(view->isInteractive());
    QCOMPARE(view->transformationAnchor(), QGraphicsView::AnchorUnderMouse);
}

void tst_DGraphicsView::destructionDeletesTheScene()
{
    DCanvas* canvas = new DCanvas;
    QPointer<QGraphicsScene> scene = canvas->scene();
    QVERIFY(scene);
    delete canvas;
    QVERIFY(!scene);
}

void tst_DGraphicsView::mouseMoveIsOfferedToTheCanvasFirst()
{
    DCanvas canvas;
    canvas.resize(400, 300);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    QWidget* viewport = canvas.view()->viewport();
    QMouseEvent move(QEvent::MouseMove, QPoint(37, 42), viewport->mapToGlobal(QPoint(37, 42)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QCOMPARE(canvas.horizontalRuler()->currentPos(), 37);
    QCOMPARE(canvas.verticalRuler()->currentPos(), 42);
}

void tst_DGraphicsView::replayedMoveUpdatesHover()
{
    DCanvas canvas;
    canvas.resize(400, 300);
    canvas.setCanvasSize(300, 200);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    DGraphicsView* view = canvas.view();

    const QPoint local = view->mapFromScene(QPointF(50, 50));
    QCursor::setPos(view->viewport()->mapToGlobal(local));
    QCoreApplication::processEvents();

    // An item appears under a pointer that does not move.
    HoverCounter* item = new HoverCounter;
    canvas.scene()->addItem(item);
    QCoreApplication::processEvents();
    QCOMPARE(item->entered, 0);

    view->replayMouseMoveEvent();
    QCOMPARE(item->entered, 1);
    QCOMPARE(canvas.horizontalRuler()->currentPos(), local.x());
    QCOMPARE(canvas.verticalRuler()->currentPos(), local.y());
}

void tst_DGraphicsView::pressKeepsTheFractionOfAScaledScreen_data()
{
    QTest::addColumn<QPointF>("fraction");
    QTest::addColumn<QPointF>("scenePos");
    // The view shows the scene at half size, as on a screen that Qt scales by 2:
    // the pointer on an odd screen pixel stands half way into a widget pixel.
    QTest::newRow("on a widget pixel") << QPointF(0, 0) << QPointF(300, 150);
    QTest::newRow("half way into one") << QPointF(0.5, 0.5) << QPointF(301, 151);
    QTest::newRow("half way before one") << QPointF(-0.5, 0) << QPointF(299, 150);
}

void tst_DGraphicsView::pressKeepsTheFractionOfAScaledScreen()
{
    QFETCH(QPointF, fraction);
    QFETCH(QPointF, scenePos);
    DCanvas canvas;
    canvas.resize(600, 400);
    canvas.setCanvasSize(1000, 1000);
    canvas.setRulerVisible(false);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    DGraphicsView* view = canvas.view();
    view->setTransform(QTransform::fromScale(0.5, 0.5));
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum());
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
    auto* item = new PressRecorder;
    canvas.scene()->addItem(item);

    QWidget* viewport = view->viewport();
    // As Qt delivers it: the window's position keeps the fraction, the
    // widget's is rounded to whole pixels.
    const QPoint pixel = view->mapFromScene(QPointF(300, 150));
    const QPointF inWindow = QPointF(viewport->mapTo(viewport->window(), pixel)) + fraction;
    const QPoint local = viewport->mapFrom(viewport->window(), inWindow.toPoint());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), inWindow,
                      QPointF(viewport->mapToGlobal(pixel)) + fraction, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QCOMPARE(item->pressedAt, scenePos);
}

QTEST_MAIN(tst_DGraphicsView)
#include "tst_DGraphicsView.moc"
