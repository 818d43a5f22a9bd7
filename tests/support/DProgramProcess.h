#ifndef DPROGRAMPROCESS_H
#define DPROGRAMPROCESS_H

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include "DLocalInstancePeer.h"

// Helpers for tests that run the real Zorvelshot in a process of its own.

// Starts `program` with its error output passed through (or kept for the
// caller to read), in `environment` when one is given; the caller owns the
// process.
inline QProcess* startProgram(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment = {},
                              QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel)
{
    auto* process = new QProcess;
    process->setProcessChannelMode(channels);
    if (!environment.isEmpty())
        process->setProcessEnvironment(environment);
    process->start(program, arguments);
    if (!process->waitForStarted(5000))
        qWarning("could not start %s", qPrintable(program));
    return process;
}

// Waits until the instance serves: its socket answers, which happens once the
// application object is up. False when the process ended or 10 s went by.
inline bool waitUntilServing(QProcess* process)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (process->state() != QProcess::Running)
            return false;
        // On its first name, or on a fallback name when something blocks that.
        for (int index = 0; index < DLocalInstancePeer::NameCount; ++index) {
            QLocalSocket probe;
            probe.connectToServer(DLocalInstancePeer::serverPath("Zorvelshot", index));
            if (probe.waitForConnected(200))
                return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// The ids of the process's windows that are on screen.
inline QStringList visibleWindows(qint64 pid)
{
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
    search.waitForFinished(5000);
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

#endif // DPROGRAMPROCESS_H
