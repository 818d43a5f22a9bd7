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
