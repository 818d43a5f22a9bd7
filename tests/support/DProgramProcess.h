#ifndef DPROGRAMPROCESS_H
#define DPROGRAMPROCESS_H

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QScopedPointer>
#include <QStringList>
#include <QTest>

#include "DLocalInstancePeer.h"

// Helpers for tests that run the real Zorvelshot in a process of its own.

// Starts `program` with its error output passed through, in `environment` when
// one is given; the caller owns the process.
inline QProcess* startProgram(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment = {})
{
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
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

// The id of the process's window on screen with this title, or an empty text.
inline QString visibleWindow(qint64 pid, const QString& title)
{
    QProcess search;
    search.start("xdotool", {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name",
                             "^" + title + "$"});
    search.waitForFinished(5000);
    return QString::fromLatin1(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).value(0);
}

// Starts `program` as a user would, with `settings` as its settings file and
// for a user without login records, so that its main window shows; the caller
// owns the process. `window` becomes that window's id once it is on screen,
// or an empty text when it never showed.
inline QProcess* startProgramShown(const QString& program, const QByteArray& settings, QString& window)
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Orvanta";
    QDir().mkpath(folder);
    QFile file(folder + "/Zorvelshot.ini");
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(settings);
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("USER", "zorvel-no-such-user");
    environment.insert("QT_XCB_GL_INTEGRATION", "none");
    QProcess* process = startProgram(program, {}, environment);
    window.clear();
    QElapsedTimer clock;
    clock.start();
    while (window.isEmpty() && clock.elapsed() < 20000 && process->state() == QProcess::Running) {
        QTest::qWait(100);
        window = visibleWindow(process->processId(), "Zorvelshot");
    }
    return process;
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
