// Medians for the two interactive steps of editing on a 3840 x 2160 page with
// 100 mixed items: one step of a grip drag (the move, its ghost copy and the
// repaint) and one mouse move of a creation prompt (snapping over the items'
// points, the sample's new corner and the repaint).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "DBenchScene.h"
#include "DCanvas.h"
#include "DCreatePromptRectangle.h"
#include "DGraphicsBackgroundImage.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"

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
    DGraphicsItemRectangle* target = addBenchItems(scene);
    canvas.view()->centerOn(0, 0);
    QWidget* viewport = canvas.view()->viewport();
    QApplication::processEvents();

    // Grip drag: the right edge grip of the first rectangle.
    const double grip = medianGripDragStepMs(&canvas, target);
    if (grip < 0)
        return 1;
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

    std::printf("grip drag step, 100 items, 3840x2160 page: median %.2f ms over %d steps\n", grip, kBenchSteps);
    std::printf("prompt mouse move with snapping, 100 items: median %.2f ms over %d steps\n", move, kBenchSteps);
    return 0;
}
