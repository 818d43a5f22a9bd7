#ifndef DWITHOUTRUNTIMEFOLDER_H
#define DWITHOUTRUNTIMEFOLDER_H

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

// For as long as it lives, this process, and the programs it starts, have no
// XDG_RUNTIME_DIR, and a fresh temporary folder of their own.
class DWithoutRuntimeFolder
{
public:
    DWithoutRuntimeFolder()
        : m_runtime(qgetenv("XDG_RUNTIME_DIR"))
        , m_tmp(qgetenv("TMPDIR"))
    {
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(m_temporary.path()));
    }
    ~DWithoutRuntimeFolder()
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime);
        if (m_tmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_tmp);
    }
    DWithoutRuntimeFolder(const DWithoutRuntimeFolder&) = delete;
    DWithoutRuntimeFolder& operator=(const DWithoutRuntimeFolder&) = delete;

    bool isValid() const { return m_temporary.isValid(); }
    QString temporaryPath() const { return m_temporary.path(); }
    // Where the user's private folder is made in that temporary folder.
    QString privatePath() const
    {
        return m_temporary.path() + "/runtime-" + QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    }

private:
    QByteArray m_runtime;
    QByteArray m_tmp;
    // Made before the variables change: in the temporary folder of before.
    QTemporaryDir m_temporary;
};

#endif // DWITHOUTRUNTIMEFOLDER_H
