// The capture overlay on the screen it runs on (size it with Xvfb):
// - from a click on Region to the overlay's first frame painted, minus the
//   capture timer's fixed wait, and from the grabbing tick to that frame;
// - the canvas's frame time while a grip is dragged with 100 items on a
//   captured piece of a screenshot of the screen's size;
// - for reference, a bare full-screen window's way from show() to its first
//   paint: what the X server and Qt's backing store cost any window that size.
// Needs an X display; prints medians.
//
// Run: tests/run-test.sh --x11 --screen 3840x2160 -- build/bench/bench_overlay [runs]

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

#include "DBenchCapture.h"
#include "DBenchScene.h"
#include "DFullScreenSelector.h"
#include "DGraphicsLayer.h"
#include "DMainDialog.h"
#include "ui_DFullScreenSelector.h"

namespace {

// Notes when the overlay's canvas has painted its first frame (the paint is
// run here, so that its end is known), then closes the overlay; when the
// overlay was shown; and when the main window's last timer tick (the one that
// grabs) began.
class FirstFrameWatcher : public DCaptureClock
{
public:
    double paintedAfterMs = -1;
    double shownAfterMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        noteTick(watched, event, paintedAfterMs >= 0);
        if (event->type() == QEvent::Show && qobject_cast<DFullScreenSelector*>(watched) && shownAfterMs < 0)
            shownAfterMs = nowMs();
        if (event->type() != QEvent::Paint || paintedAfterMs >= 0 || m_painting)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* overlay = widget ? qobject_cast<DFullScreenSelector*>(widget->window()) : nullptr;
        if (!overlay || widget != overlay->form()->canvas->view()->viewport())
            return false;
        m_painting = true;
        QCoreApplication::sendEvent(watched, event);
        m_painting = false;
        paintedAfterMs = nowMs();
        QTimer::singleShot(0, overlay, &QDialog::reject);
        return true;
    }

private:
    bool m_painting = false;
};

bool waitFor(const std::function<bool()>& condition, int limitMs)
{
    QElapsedTimer limit;
    limit.start();
    while (!condition() && limit.elapsed() < limitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

int benchFirstFrame(int runs)
{
    DMainDialog window;
    FirstFrameWatcher watcher;
    watcher.window = &window;
    qApp->installEventFilter(&watcher);
    auto* region = window.findChild<QToolButton*>(QStringLiteral("toolButtonModeRegion"));

    QVector<double> results;
    QVector<double> fromGrabTick;
    QVector<double> tickToShown;
    for (int run = 0; run < runs; ++run) {
        watcher.paintedAfterMs = -1;
        watcher.shownAfterMs = -1;
        watcher.lastTickMs = -1;
        if (!clickModeAndWait(window, region, watcher.clock, [&] { return watcher.paintedAfterMs >= 0; }))
            return std::fprintf(stderr, "the overlay never painted\n"), 1;
        results.append(watcher.paintedAfterMs - kCaptureTimerMs);
        fromGrabTick.append(watcher.paintedAfterMs - watcher.lastTickMs);
        tickToShown.append(watcher.shownAfterMs - watcher.lastTickMs);
    }
    qApp->removeEventFilter(&watcher);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    std::printf("%dx%d: Region click to the overlay's first frame, minus %.0f ms of timer, %d runs: median %.1f ms\n",
                screen.width(), screen.height(), kCaptureTimerMs, runs, median(results));
    std::printf("%dx%d: grabbing tick to the overlay's first frame, %d runs: median %.1f ms\n", screen.width(),
                screen.height(), runs, median(fromGrabTick));
    // The grab, the window tree and the overlay's set-up, without the X
    // server's mapping and the first paint.
    std::printf("%dx%d: grabbing tick to the overlay shown, %d runs: median %.1f ms\n", screen.width(),
                screen.height(), runs, median(tickToShown));
    return 0;
}

int benchGripDrag()
{
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QPixmap screenshot = benchScreenshot().copy(QRect(QPoint(0, 0), screen));
    DFullScreenSelector overlay;
    Ui_DFullScreenSelector* ui = overlay.form();
    overlay.initialize(screenshot);
    overlay.addCapture();
    QWidget* viewport = ui->canvas->view()->viewport();
    if (!QTest::qWaitForWindowExposed(&overlay))
        return std::fprintf(stderr, "the overlay was not shown\n"), 1;
    // A piece of most of the screen, then the editing state.
    const QPoint from(10, 10);
    const QPoint to(screen.width() - 200, screen.height() - 200);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    benchMoveTo(viewport, to, Qt::LeftButton);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    if (!waitFor([&] { return ui->widgetMainTool->isVisible()
                              && ui->widgetMainTool->y() == overlay.height() - ui->widgetMainTool->height(); },
                 5000))
        return std::fprintf(stderr, "the capture did not end\n"), 1;
    DGraphicsScene* scene = ui->canvas->scene();
    scene->activeLayer()->items().first()->setSelected(false);
    DGraphicsItemRectangle* target = addBenchItems(scene);
    QApplication::processEvents();
    const double step = medianGripDragStepMs(ui->canvas, target);
    if (step < 0)
        return 1;
    std::printf("%dx%d: overlay frame while dragging a grip, 100 items on the captured screenshot: median %.2f ms "
                "over %d steps\n",
                screen.width(), screen.height(), step, kBenchSteps);
    overlay.reject();
    return 0;
}

// A full-screen window that paints one colour and notes its first paint.
class BareWindow : public QWidget
{
public:
    QElapsedTimer clock;
    double paintedAfterMs = -1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), Qt::darkGray);
        if (paintedAfterMs < 0)
            paintedAfterMs = clock.nsecsElapsed() / 1e6;
    }
};

void benchBareWindow(int runs)
{
    QVector<double> results;
    for (int run = 0; run < runs; ++run) {
        BareWindow window;
        window.setGeometry(QGuiApplication::primaryScreen()->geometry());
        window.clock.start();
        window.show();
        if (waitFor([&] { return window.paintedAfterMs >= 0; }, 10000))
            results.append(window.paintedAfterMs);
    }
    const QSize screen = QGuiApplication::primaryScreen()->size();
    if (!results.isEmpty())
        std::printf("%dx%d: for reference, a bare full-screen window from show() to its first paint, %d runs: "
                    "median %.1f ms\n",
                    screen.width(), screen.height(), int(results.size()), median(results));
}

} // namespace

int main(int argc, char** argv)
{
    DBenchSettingsHome home;
    QApplication app(argc, argv);
    const int runs = runsFromArguments(argc, argv);
    if (const int failed = benchFirstFrame(runs))
        return failed;
    benchBareWindow(runs);
    return benchGripDrag();
}
