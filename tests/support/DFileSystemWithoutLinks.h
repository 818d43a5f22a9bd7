#ifndef DFILESYSTEMWITHOUTLINKS_H
#define DFILESYSTEMWITHOUTLINKS_H

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

// The runs of a test under preload_without_links (zorvel_add_test_run), where
// no file system can refuse in a rename or make a hard link.

// Whether this is such a run.
inline bool runsWithoutLinks()
{
    return qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("preload_without_links"));
}

// Whether the file systems of this process answer as such a run's must: a
// rename that refuses to replace fails with EINVAL, a hard link with EPERM.
inline bool linksAreRefused()
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("a")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray from = QFile::encodeName(file.fileName());
    const QByteArray to = QFile::encodeName(folder.filePath(QStringLiteral("b")));
    const bool renameRefused =
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) != 0 && errno == EINVAL;
    const bool linkRefused = ::linkat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), 0) != 0 && errno == EPERM;
    return renameRefused && linkRefused;
}

#endif // DFILESYSTEMWITHOUTLINKS_H
