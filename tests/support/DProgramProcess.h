#ifndef DPROGRAMPROCESS_H
#define DPROGRAMPROCESS_H

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QLocalSocket>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScopedPointer>
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

// Ends the processes that are still running, deletes them all and empties the list.
inline void endPrograms(QList<QProcess*>& processes)
{
    for (QProcess* process : qAsConst(processes)) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
        delete process;
    }
    processes.clear();
}

// Starts `program` as for a user whose login records say nothing, so that its
// main window shows at start, with its settings file written afresh: no
// update check, automatic file names in `saveFolder`, and the lines of `more`
// in its [General] group. The caller owns the process.
inline QProcess* startProgramShown(const QString& program, const QString& saveFolder,
                                   const QByteArray& more = QByteArray())
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta";
    QDir().mkpath(folder);
    QFile settings(folder + "/Zorvelshot.ini");
    if (settings.open(QIODevice::WriteOnly | QIODevice::Truncate))
        settings.write("[General]\nAutoUpdate=false\nAutomaticSaveFolder=" + saveFolder.toUtf8() + "\n" + more);
    settings.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("USER", "zorvel-no-such-user");
    environment.insert("QT_XCB_GL_INTEGRATION", "none");
    return startProgram(program, {}, environment);
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

// The ids of the process's windows that are on screen; with a title, only
// those of that whole title.
inline QStringList visibleWindows(qint64 pid, const QString& title = QString())
{
    QStringList arguments{"search", "--onlyvisible", "--pid", QString::number(pid)};
    if (!title.isEmpty())
        arguments << "--all" << "--name" << "^" + QRegularExpression::escape(title) + "$";
    QProcess search;
    search.start("xdotool", arguments);
    search.waitForFinished(5000);
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The process's window of this title once it is on screen; an empty text when
// none came within `limitMs` or the process ended.
inline QString waitForVisibleWindow(const QProcess& process, const QString& title, int limitMs = 20000)
{
    QStringList found;
    QElapsedTimer clock;
    clock.start();
    while (found.isEmpty() && clock.elapsed() < limitMs && process.state() == QProcess::Running) {
        found = visibleWindows(process.processId(), title);
        if (found.isEmpty())
            QTest::qWait(50);
    }
    return found.value(0);
}

// A window's place and size on the display, its frame left out (read with
// xwininfo: xdotool's geometry of a window that a window manager reparented
// can be a few pixels off).
inline QRect windowRect(const QString& window)
{
    QProcess info;
    info.start("xwininfo", {"-id", window});
    info.waitForFinished(5000);
    QHash<QString, int> values;
    for (const QString& line : QString::fromLatin1(info.readAllStandardOutput()).split('\n'))
        values[line.section(':', 0, 0).trimmed()] = line.section(':', 1).trimmed().toInt();
    return QRect(values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"], values["Height"]);
}

// Ends a program a test started, and clears what its instance leaves at the
// instance paths for the next one.
inline void endProgram(QScopedPointer<QProcess>& process)
{
    if (process) {
        process->kill();
        process->waitForFinished(5000);
        process.reset();
    }
    QFile::remove(DLocalInstancePeer::serverPath("Zorvelshot"));
    QFile::remove(DLocalInstancePeer::lockPath("Zorvelshot"));
}

#endif // DPROGRAMPROCESS_H
