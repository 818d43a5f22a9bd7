#ifndef DUNWRITABLEFOLDER_H
#define DUNWRITABLEFOLDER_H

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <unistd.h>

// A folder that exists but takes no new files, for root as well (root writes
// through any permission bits, but not into /proc).
inline QString unwritableFolder(const QTemporaryDir& base)
{
    if (geteuid() == 0)
        return QStringLiteral("/proc");
    const QString folder = base.filePath(QStringLiteral("locked"));
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    return folder;
}

#endif // DUNWRITABLEFOLDER_H
