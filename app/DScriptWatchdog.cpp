#include "DScriptWatchdog.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFileInfo>
#include <QScriptEngine>

#include <ctime>

#include "DResidentMemory.h"

namespace {
// What the engine reports for a native function, which is no script code.
const qint64 NativeFunction = -1;
// Statements follow each other within microseconds; the clock and memory are
// looked at after this long, so that the look costs nothing worth telling.
const qint64 LookIntervalMs = 4;

// A clock that costs a few nanoseconds to read, in steps of a few milliseconds.
qint64 coarseMilliseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
} // namespace

DScriptWatchdog::DScriptWatchdog(QScriptEngine* engine)
    : QScriptEngineAgent(engine)
{
    engine->setProcessEventsInterval(ProcessEventsIntervalMs);
    engine->setAgent(this);
    watchEventLoop();
}

void DScriptWatchdog::reinstall()
{
    if (engine()->agent() == this)
        return;
    // What ran meanwhile was not seen.
    m_nDepth = 0;
    while (!m_frames.isEmpty())
        leaveFrame();
    engine()->setAgent(this);
}

void DScriptWatchdog::enterFrame(bool native)
{
    // Called by the program: first of all, from native code (a slot that
    // emits a signal), or perhaps from an event delivered since the innermost
    // function began (events are let through by this agent and by the engine).
    const bool calledByProgram = m_frames.isEmpty() || m_frames.last().native
                                 || m_frames.last().eventsDelivered != m_nEventsDelivered;
    // While script code runs, every event delivered is counted.
    if (m_frames.isEmpty() && QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
    if (calledByProgram)
        emit scriptCallBegins();
    m_frames.append(Frame{native, calledByProgram, m_nEventsDelivered});
}

void DScriptWatchdog::leaveFrame()
{
    if (m_frames.isEmpty())
        return;
    const Frame frame = m_frames.takeLast();
    if (m_frames.isEmpty() && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    if (frame.calledByProgram)
        emit scriptCallEnds();
}

bool DScriptWatchdog::eventFilter(QObject*, QEvent*)
{
    ++m_nEventsDelivered;
    return false;
}

void DScriptWatchdog::watchEventLoop()
{
    if (m_bWatching)
        return;
    // Every pass of the event loop, the ones the engine makes included, looks
    // at the clock: a script needs no timer of its own, and an idle program
    // wakes up for none.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher)
        return;
    connect(dispatcher, &QAbstractEventDispatcher::awake, this, &DScriptWatchdog::onEventLoopPass);
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &DScriptWatchdog::onEventLoopPass);
    m_bWatching = true;
}

void DScriptWatchdog::beginRun(const QString& fileName)
{
    watchEventLoop();
    m_waitingRuns.append(m_current);
    m_current = Run();
    m_current.fileName = fileName;
    startStretch();
}

void DScriptWatchdog::startStretch()
{
    m_current.busySince.start();
    m_current.residentAtStart = DResidentMemory::bytes();
}

void DScriptWatchdog::endRun()
{
    if (m_waitingRuns.isEmpty())
        return;
    // The run that waited goes on with its own clock, and may be stopped in its turn.
    m_current = m_waitingRuns.takeLast();
}

void DScriptWatchdog::functionEntry(qint64 scriptId)
{
    enterFrame(scriptId == NativeFunction);
    if (scriptId == NativeFunction)
        return;
    // Script code starts: a signal's function counts its time and memory from now.
    if (m_nDepth++ == 0 && !m_current.busySince.isValid())
        startStretch();
}

void DScriptWatchdog::positionChange(qint64, int, int)
{
    // The engine lets events through and so looks at the clock only every so
    // many steps it counts, which a loop of few slow steps may take long to
    // make: between statements, both are done by time. One statement may at
    // most double what the script holds (a string added to itself): looked
    // at often enough, the program never gets far past the memory limit.
    const qint64 now = coarseMilliseconds();
    if (now - m_lastLookMs < LookIntervalMs || engine()->agent() != this)
        return;
    m_lastLookMs = now;
    if (!m_current.stopped && m_current.busySince.isValid() && m_current.busySince.elapsed() > TimeLimitMs)
        stopForTime();
    else if (!m_current.stopped && memoryLeft() < 0)
        stopForMemory();
    if (now - m_lastEventsMs >= ProcessEventsIntervalMs && QCoreApplication::instance()) {
        m_lastEventsMs = now;
        QCoreApplication::processEvents();
    }
}

qint64 DScriptWatchdog::memoryLeft() const
{
    // Asked from outside script code (a value converted by the program), the
    // whole limit.
    if (!m_current.busySince.isValid())
        return MemoryLimitBytes;
    return MemoryLimitBytes - (DResidentMemory::bytes() - m_current.residentAtStart);
}

void DScriptWatchdog::functionExit(qint64 scriptId, const QScriptValue&)
{
    leaveFrame();
    if (scriptId == NativeFunction || m_nDepth == 0)
        return;
    if (--m_nDepth == 0 && m_current.fileName.isEmpty())
        m_current = Run();
}

void DScriptWatchdog::settleStop()
{
    if (!m_bStopPending || m_nDepth != 0 || engine()->isEvaluating())
        return;
    m_bStopPending = false;
    // The engine keeps a stop until its next evaluation begins: an empty
    // one takes it back.
    engine()->evaluate(QString());
    engine()->clearExceptions();
}

void DScriptWatchdog::onEventLoopPass()
{
    if (m_nDepth == 0) {
        settleStop();
        return;
    }
    if (engine()->agent() != this)
        return;
    if (!m_current.stopped && m_current.busySince.isValid() && m_current.busySince.elapsed() > TimeLimitMs)
        stopForTime();
}

void DScriptWatchdog::stopForTime()
{
    stop(QStringLiteral("ran longer than %1 seconds").arg(TimeLimitMs / 1000));
}

void DScriptWatchdog::stopForMemory()
{
    stop(QStringLiteral("used more than %1 MB of memory").arg(MemoryLimitBytes / (1024 * 1024)));
}

void DScriptWatchdog::stopForElements()
{
    stop(QStringLiteral("asked a built-in function for more than %1 elements").arg(MaxElements));
}

void DScriptWatchdog::stop(const QString& reason)
{
    m_current.stopped = true;
    m_bStopPending = true;
    if (m_current.fileName.isEmpty())
        qWarning("A script function %s and was stopped.", qPrintable(reason));
    else
        qWarning("Script %s %s and was stopped.", qPrintable(QFileInfo(m_current.fileName).fileName()),
                 qPrintable(reason));
    // The engine stops only what it counts as an evaluation, which a function
    // that a signal called is not: a context of its own makes it one.
    engine()->pushContext();
    engine()->abortEvaluation();
    engine()->popContext();
}
