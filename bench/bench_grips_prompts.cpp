// Medians for the two interactive steps of editing on a 3840 x 2160 page with
// 100 mixed items: one step of a grip drag (the move, its ghost copy and the
// repaint) and one mouse move of a creation prompt (snapping over the items'
// points, the sample's new corner and the repaint).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "DBenchSupport.h"
#include "DCanvas.h"
#include "DCreatePromptRectangle.h"
#include "DGraphicsBackgroundImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DGrip.h"
#include "DGripManager.h"

namespace {

const int kSteps = 60;

// 100 items spread over the part of the page that the view shows.
DGraphicsItemRectangle* addItems(DGraphicsScene* scene)
{
    DGraphicsItemRectangle* first = nullptr;
    for (int i = 0; i < 100; ++i) {
        const double x = 40 + (i % 10) * 150;
        const double y = 40 + (i / 10) * 90;
        DGraphicsItem* item = nullptr;
        switch (i % 4) {
        case 0: {
            auto* r = new DGraphicsItemRectangle;
            r->setBoundary(QRectF(x, y, 100, 50));
            if (!first)
                first = r;
            item = r;
            break;
        }
        case 1: {
            auto* l = new DGraphicsItemLine;
            l->setLine(QVector3D(x, y, 0), QVector3D(x + 100, y + 50, 0));
            item = l;
            break;
        }
        case 2: {
            auto* p = new DGraphicsItemPolygon;
            p->addPoint(QVector3D(x, y, 0));
            p->addPoint(QVector3D(x + 100, y, 0));
            p->addPoint(QVector3D(x + 50, y + 60, 0));
            p->close();
            item = p;
            break;
        }
        default: {
            auto* t = new DGraphicsItemText;
            t->setBoundary(QRectF(x, y, 100, 40));
            item = t;
            t->setPlainText(QStringLiteral("Label %1").arg(i));
            break;
        }
        }
        scene->addPersistenItem(item, false);
    }
    return first;
}

void moveTo(QWidget* viewport, const QPoint& local, Qt::MouseButtons buttons)
{
    QMouseEvent event(QEvent::MouseMove, local, viewport->mapToGlobal(local), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// Runs one step per pointer position, each followed by a synchronous repaint.
double medianStepMs(QWidget* viewport, const std::function<QPoint(int)>& positionOf)
{
    QVector<double> times;
    for (int i = 0; i < kSteps; ++i) {
        QElapsedTimer timer;
        timer.start();
        moveTo(viewport, positionOf(i), Qt::LeftButton);
        viewport->repaint();
        QApplication::processEvents();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    DCanvas canvas;
    canvas.resize(1920, 1200);
    canvas.setCanvasSize(kBenchWidth, kBenchHeight);
    canvas.show();
    if (!QTest::qWaitForWindowExposed(&canvas)) {
        std::fprintf(stderr, "the canvas was not shown\n");
        return 1;
    }
    DGraphicsScene* scene = canvas.scene();
    scene->setBackground(new DGraphicsBackgroundImage(benchScreenshot()));
    DGraphicsItemRectangle* target = addItems(scene);
    canvas.view()->centerOn(0, 0);
    QWidget* viewport = canvas.view()->viewport();
    QApplication::processEvents();

    // Grip drag: the right edge grip of the first rectangle.
    target->setSelected(true);
    QApplication::processEvents();
    const QPointF right = target->sceneBoundary().center() + QPointF(target->sceneBoundary().width() / 2, 0);
    const QPoint start = canvas.view()->mapFromScene(right);
    moveTo(viewport, start, Qt::NoButton);
    // Hovering the grip warps the pointer onto it; let that synthetic move
    // (which carries no buttons) arrive before the press, as it would on screen.
    QApplication::processEvents();
    int ghosts = 0;
    for (DGrip* g : *scene->gripManager().grips(target))
        QObject::connect(g, &DGrip::moved, [&ghosts, target](DGrip*, DGraphicsItem* item) { ghosts += item != target; });
    const double widthBefore = target->sceneBoundary().width();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
    const double grip = medianStepMs(viewport, [&](int i) { return start + QPoint(1 + i % 40, 0); });
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, start + QPoint(20, 0));
    QApplication::processEvents();
    // A bench that measured nothing would say so here.
    if (ghosts < kSteps / 2 || target->sceneBoundary().width() == widthBefore) {
        std::fprintf(stderr, "the grip was not dragged (%d ghost copies)\n", ghosts);
        return 1;
    }
    target->setSelected(false);
    QApplication::processEvents();

    // Prompt: a rectangle being drawn across the items, snapping all the way.
    auto* prompt = new DCreatePromptRectangle;
    prompt->start(&canvas);
    const QPoint origin = canvas.view()->mapFromScene(QPointF(20, 20));
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, origin);
    const double move = medianStepMs(viewport, [&](int i) { return origin + QPoint(300 + i * 13, 200 + i * 7); });
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, origin + QPoint(400, 300));
    if (scene->activeLayer()->items().size() != 101) {
        std::fprintf(stderr, "the prompt made no rectangle\n");
        return 1;
    }

    std::printf("grip drag step, 100 items, 3840x2160 page: median %.2f ms over %d steps\n", grip, kSteps);
    std::printf("prompt mouse move with snapping, 100 items: median %.2f ms over %d steps\n", move, kSteps);
    return 0;
}
