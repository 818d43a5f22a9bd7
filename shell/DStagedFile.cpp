#include "DStagedFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name as the system calls take it. They end a name at its first NUL, and
// would so name another entry: a name holding one gives an empty text, which
// names none.
QByteArray nativeName(const QString& name)
{
    return name.contains(QChar(0)) ? QByteArray() : QFile::encodeName(name);
}

int openFolder(const QString& folder, const QString& subFolder)
{
    const int parent = ::open(nativeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0 || subFolder.isEmpty())
        return parent;
    const int inside =
        ::openat(parent, nativeName(subFolder).constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    ::close(parent);
    return inside;
}

} // namespace

DStagedFile::DStagedFile(const QString& folder, const QString& subFolder)
    : m_folder(openFolder(folder, subFolder))
{
    if (m_folder >= 0)
        createTemporary();
}

DStagedFile::~DStagedFile()
{
    if (m_file >= 0)
        ::close(m_file);
    removeTemporary();
    if (m_folder >= 0)
        ::close(m_folder);
}

void DStagedFile::createTemporary()
{
    // Hidden, and marked as a part, should a crash leave it behind.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + ".part";
        // Exclusive: nothing that holds the name, a link included, is opened.
        const int file = ::openat(m_folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file >= 0) {
            m_file = file;
            m_temporary = name;
            return;
        }
        if (errno != EEXIST)
            return;
    }
}

void DStagedFile::removeTemporary()
{
    if (m_temporary.isEmpty())
        return;
    ::unlinkat(m_folder, m_temporary.constData(), 0);
    m_temporary.clear();
}

bool DStagedFile::write(const std::function<bool(QIODevice*)>& write)
{
    if (m_file < 0)
        return false;
    QFile device;
    // The device holds back what it was given: only its flush tells whether
    // the last of it reached the file.
    bool written = device.open(m_file, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) && write(&device)
        && device.flush() && device.error() == QFileDevice::NoError;
    device.close();
    // On the disk before the file gets its name, so that a crash cannot leave
    // a short file under it (EINVAL: a file system that cannot be synced).
    written = written && (::fsync(m_file) == 0 || errno == EINVAL);
    // Some file systems report a failed write only when the file is closed.
    written = ::close(m_file) == 0 && written;
    m_file = -1;
    if (!written)
        removeTemporary();
    return written;
}

int DStagedFile::placeWithoutReplacing(const QByteArray& name)
{
    if (::renameat2(m_folder, m_temporary.constData(), m_folder, name.constData(), RENAME_NOREPLACE) == 0) {
        m_temporary.clear();
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system that cannot refuse in a rename (NFS) can in a hard link.
    if (::linkat(m_folder, m_temporary.constData(), m_folder, name.constData(), 0) != 0)
        return errno;
    removeTemporary();
    return 0;
}

QString DStagedFile::placeUnderFreeName(const std::function<QString(qint64)>& name)
{
    if (!isWritten())
        return QString();
    for (qint64 n = 0;; ++n) {
        const QString candidate = name(n);
        const int error = placeWithoutReplacing(nativeName(candidate));
        if (error == 0)
            return candidate;
        // Taken, also by someone who came first since the last look: the next one.
        if (error != EEXIST) {
            removeTemporary();
            return QString();
        }
    }
}

bool DStagedFile::placeReplacing(const QString& name)
{
    if (!isWritten())
        return false;
    const QByteArray target = nativeName(name);
    // A file that is replaced keeps who may read and write it. Not through a
    // link: whoever may write into the folder could have put one in the
    // staged file's place, aimed at a private file of the user.
    struct stat existing;
    if (::fstatat(m_folder, target.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(existing.st_mode))
        ::fchmodat(m_folder, m_temporary.constData(), existing.st_mode & 07777, AT_SYMLINK_NOFOLLOW);
    if (::renameat(m_folder, m_temporary.constData(), m_folder, target.constData()) != 0) {
        removeTemporary();
        return false;
    }
    m_temporary.clear();
    return true;
}
