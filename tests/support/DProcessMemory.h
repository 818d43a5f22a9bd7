#ifndef DPROCESSMEMORY_H
#define DPROCESSMEMORY_H

#include <QFile>
#include <QtGlobal>

// A process's memory as the kernel counts it, in bytes: "VmRSS" what it holds
// now, "VmHWM" the most it has held so far. -1 when it cannot be read.
inline qint64 processMemoryBytes(qint64 pid, const QByteArray& field = "VmRSS")
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

#endif // DPROCESSMEMORY_H
