// From a click on FullScreen to the output-target dialog on screen, minus the
// capture timer's fixed wait. Needs an X display (xvfb-run works); prints the
// median over the runs.
//
// Run: xvfb-run -a -s "-screen 0 1280x800x24" build/bench/bench_fullscreen_prompt [runs]

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

#include "DBenchCapture.h"
#include "DBenchSupport.h"
#include "DDialogPromptTarget.h"
#include "DMainDialog.h"

namespace {

// Notes when an output-target dialog is shown, and closes it again; and when
// the main window's last timer tick (the one that grabs) began.
class ShowWatcher : public DCaptureClock
{
public:
    double shownAfterMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        noteTick(watched, event, shownAfterMs >= 0);
        if (event->type() == QEvent::Show && qobject_cast<DDialogPromptTarget*>(watched) && shownAfterMs < 0) {
            shownAfterMs = nowMs();
            auto* dialog = static_cast<DDialogPromptTarget*>(watched);
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    DBenchSettingsHome home;
    QApplication app(argc, argv);
    const int runs = runsFromArguments(argc, argv);

    DMainDialog window;
    ShowWatcher watcher;
    watcher.window = &window;
    app.installEventFilter(&watcher);
    auto* fullScreen = window.findChild<QToolButton*>(QStringLiteral("toolButtonModeFullScreen"));

    QVector<double> results;
    QVector<double> fromGrabTick;
    for (int run = 0; run < runs; ++run) {
        watcher.shownAfterMs = -1;
        watcher.lastTickMs = -1;
        if (!clickModeAndWait(window, fullScreen, watcher.clock, [&] { return watcher.shownAfterMs >= 0; }))
            return std::fprintf(stderr, "the output-target dialog never came\n"), 1;
        results.append(watcher.shownAfterMs - kCaptureTimerMs);
        fromGrabTick.append(watcher.shownAfterMs - watcher.lastTickMs);
    }
    std::printf("FullScreen click to output-target dialog shown, minus %.0f ms of timer, %d runs: median %.1f ms\n",
                kCaptureTimerMs, runs, median(results));
    // The part from the grabbing tick on is the program's own work, free of any
    // slack of the timer.
    std::printf("grabbing tick to output-target dialog shown, %d runs: median %.1f ms\n", runs, median(fromGrabTick));
    return 0;
}
