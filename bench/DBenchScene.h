#ifndef DBENCHSCENE_H
#define DBENCHSCENE_H

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>

#include <cstdio>
#include <functional>

#include <QTest>

#include "DBenchSupport.h"
#include "DCanvas.h"
#include "DGraphicsView.h"
#include "DGrip.h"
#include "DGripManager.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsScene.h"

// The number of pointer steps a drag benchmark measures.
const int kBenchSteps = 60;

// 100 mixed items (rectangles, lines, polygons, texts) in a 10 x 10 grid from
// `origin`; gives the first rectangle.
inline DGraphicsItemRectangle* addBenchItems(DGraphicsScene* scene, const QPointF& origin = QPointF(40, 40))
{
    DGraphicsItemRectangle* first = nullptr;
    for (int i = 0; i < 100; ++i) {
        const double x = origin.x() + (i % 10) * 150;
        const double y = origin.y() + (i / 10) * 90;
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

inline void benchMoveTo(QWidget* viewport, const QPoint& local, Qt::MouseButtons buttons)
{
    QMouseEvent event(QEvent::MouseMove, local, viewport->mapToGlobal(local), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// Runs one step per pointer position, each followed by a synchronous repaint;
// the median time of a step, the repaint included.
inline double medianStepMs(QWidget* viewport, const std::function<QPoint(int)>& positionOf)
{
    QVector<double> times;
    for (int i = 0; i < kBenchSteps; ++i) {
        QElapsedTimer timer;
        timer.start();
        benchMoveTo(viewport, positionOf(i), Qt::LeftButton);
        viewport->repaint();
        QApplication::processEvents();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

// Drags the right edge grip of `target` (a rectangle of the canvas's scene)
// step by step; the median step, repaint included, or -1 when the grip was
// not dragged (a bench that measured nothing says so).
inline double medianGripDragStepMs(DCanvas* canvas, DGraphicsItemRectangle* target)
{
    DGraphicsScene* scene = canvas->scene();
    QWidget* viewport = canvas->view()->viewport();
    target->setSelected(true);
    QApplication::processEvents();
    const QPointF right = target->sceneBoundary().center() + QPointF(target->sceneBoundary().width() / 2, 0);
    const QPoint start = canvas->view()->mapFromScene(right);
    benchMoveTo(viewport, start, Qt::NoButton);
    // Hovering the grip warps the pointer onto it; let that synthetic move
    // (which carries no buttons) arrive before the press, as it would on screen.
    QApplication::processEvents();
    int ghosts = 0;
    for (DGrip* g : *scene->gripManager().grips(target))
        QObject::connect(g, &DGrip::moved, [&ghosts, target](DGrip*, DGraphicsItem* item) { ghosts += item != target; });
    const double widthBefore = target->sceneBoundary().width();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
    const double step = medianStepMs(viewport, [&](int i) { return start + QPoint(1 + i % 40, 0); });
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, start + QPoint(20, 0));
    QApplication::processEvents();
    if (ghosts < kBenchSteps / 2 || target->sceneBoundary().width() == widthBefore) {
        std::fprintf(stderr, "the grip was not dragged (%d ghost copies)\n", ghosts);
        return -1;
    }
    return step;
}

#endif // DBENCHSCENE_H
