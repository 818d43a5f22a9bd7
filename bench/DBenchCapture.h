#ifndef DBENCHCAPTURE_H
#define DBENCHCAPTURE_H

#include <QApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include <functional>

#include "DMainDialog.h"

// The wait of the capture timer for a window shown normally: it is minimised at
// the click, the first tick hides it, the second one grabs.
constexpr double kCaptureTimerMs = 2 * 500.0;

// The clock of one capture: it runs from the click; `lastTickMs` is when the
// main window's last timer tick (the one that grabs) began. Subclasses watch
// the application's events for what ends their measure.
class DCaptureClock : public QObject
{
public:
    QElapsedTimer clock;
    QObject* window = nullptr;
    double lastTickMs = -1;

    double nowMs() const { return clock.nsecsElapsed() / 1e6; }

protected:
    // Notes a tick of the main window's timer while the measure has not ended.
    void noteTick(QObject* watched, QEvent* event, bool ended)
    {
        if (event->type() == QEvent::Timer && watched == window && !ended)
            lastTickMs = nowMs();
    }
};

// One capture as a user starts it: the main window shown normally and settled,
// then `clock` started and the mode button clicked. Runs the event loop until
// `done` holds and the capture is over; false when that takes over 10 s.
inline bool clickModeAndWait(DMainDialog& window, QToolButton* mode, QElapsedTimer& clock,
                             const std::function<bool()>& done)
{
    window.showNormal();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    clock.start();
    mode->click();
    QElapsedTimer limit;
    limit.start();
    auto over = [&] { return done() && !window.isCaptureWaiting() && !QApplication::activeModalWidget(); };
    while (!over() && limit.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return over();
}

#endif // DBENCHCAPTURE_H
