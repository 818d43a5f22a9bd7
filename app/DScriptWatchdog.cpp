#include "DScriptWatchdog.h"

#include <QAbstractEventDispatcher>
#include <QFileInfo>
#include <QScriptEngine>

namespace {
// What the engine reports for a native function, which is no script code.
const qint64 NativeFunction = -1;
}

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
    engine()->setAgent(this);
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
    m_current.busySince.start();
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
    if (scriptId == NativeFunction)
        return;
    // Script code starts: a signal's function counts its time from now.
    if (m_nDepth++ == 0 && !m_current.busySince.isValid())
        m_current.busySince.start();
}

void DScriptWatchdog::functionExit(qint64 scriptId, const QScriptValue&)
{
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
        stop();
}

void DScriptWatchdog::stop()
{
    m_current.stopped = true;
    m_bStopPending = true;
    if (m_current.fileName.isEmpty())
        qWarning("A script function ran longer than %d seconds and was stopped.", TimeLimitMs / 1000);
    else
        qWarning("Script %s ran longer than %d seconds and was stopped.",
                 qPrintable(QFileInfo(m_current.fileName).fileName()), TimeLimitMs / 1000);
    // The engine stops only what it counts as an evaluation, which a function
    // that a signal called is not: a context of its own makes it one.
    engine()->pushContext();
    engine()->abortEvaluation();
    engine()->popContext();
}
