#ifndef DSCRIPTWATCHDOG_H
#define DSCRIPTWATCHDOG_H

#include <QElapsedTimer>
#include <QObject>
#include <QScriptEngineAgent>
#include <QString>
#include <QVector>

class QScriptEngine;

// Keeps a script from taking the program over. While script code runs, the
// engine lets the event loop run every ProcessEventsIntervalMs, so windows
// paint, input is answered and a second start of the program is heard; and
// script code is stopped with a warning once it has run longer than
// TimeLimitMs, or once the program holds MemoryLimitBytes more than when it
// began (both looked at between statements, every few milliseconds, where
// events are let through as well). That holds for a script file's run and for
// a script function that a signal calls later alike. Built-in functions that
// run to their end without a statement in between ask first (see
// DScriptBuiltinLimits): whether their result fits in the memory left, and
// whether they may go through their elements (MaxElements at most).
//
// As the engine's agent it sees script code start and end, and it tells when
// the program calls into script code and when that call returns: a script
// file's run, a function or a slot that a signal calls (see
// DScriptOwnershipGuard). The engine owns it; a debugger, while attached,
// takes its place (and a script that stands at a breakpoint is not stuck).
class DScriptWatchdog : public QObject, public QScriptEngineAgent
{
    Q_OBJECT

public:
    static constexpr int TimeLimitMs = 5000;
    static constexpr int ProcessEventsIntervalMs = 50;
    static constexpr qint64 MemoryLimitBytes = 256 * 1024 * 1024;
    static constexpr quint32 MaxElements = 1u << 22;

    explicit DScriptWatchdog(QScriptEngine* engine);

    // Back on duty once a debugger has let go of the engine.
    void reinstall();

    // Bracket one run of a script file, which gets the whole time limit of its
    // own, also when it runs while another script waits for it.
    void beginRun(const QString& fileName);
    void endRun();
    // Once no script code runs any more, lets the engine run script code
    // again after a stop (which otherwise cuts every later script function
    // short until the next script file is run).
    void settleStop();

    // How much more memory the script code that runs now may make the
    // program hold.
    qint64 memoryLeft() const;
    // Stop the script code that runs now, with a warning: it asked for more
    // memory than memoryLeft(), or for more elements than MaxElements.
    void stopForMemory();
    void stopForElements();

    void functionEntry(qint64 scriptId) override;
    void functionExit(qint64 scriptId, const QScriptValue& returnValue) override;
    void positionChange(qint64 scriptId, int lineNumber, int columnNumber) override;

signals:
    // The program calls into script code: a script function, or a slot
    // called for a script (one connected to a signal); and that call returns.
    void scriptCallBegins();
    void scriptCallEnds();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A function the engine runs: script code or a native one, whether it
    // is the one the program called, and how many events had been delivered
    // while script code ran when it began.
    struct Frame
    {
        bool native;
        bool calledByProgram;
        quint64 eventsDelivered;
    };

    void enterFrame(bool native);
    void leaveFrame();

    struct Run
    {
        // Empty for script functions that a signal called.
        QString fileName;
        // Since when script code has been running; invalid while none does.
        QElapsedTimer busySince;
        // What the program held then.
        qint64 residentAtStart = 0;
        // This stretch has been stopped already.
        bool stopped = false;
    };

    // Once the thread has an event loop to watch.
    void watchEventLoop();
    void onEventLoopPass();
    void startStretch();
    void stopForTime();
    void stop(const QString& reason);

    // How deep script functions are nested now; 0 while no script code runs.
    int m_nDepth = 0;
    // The functions the engine runs now, innermost last.
    QVector<Frame> m_frames;
    quint64 m_nEventsDelivered = 0;
    Run m_current;
    // The runs that wait for the current one to end.
    QVector<Run> m_waitingRuns;
    bool m_bWatching = false;
    // A stop has been asked of the engine and not yet settled.
    bool m_bStopPending = false;
    // When the clock and memory were last looked at between statements, and
    // when events were last let through there, by the coarse clock.
    qint64 m_lastLookMs = 0;
    qint64 m_lastEventsMs = 0;
};

#endif // DSCRIPTWATCHDOG_H
