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

// What a file system answers for what it does not offer: flags to rename
// (EINVAL), hard links (EPERM, EOPNOTSUPP), or the call as such (ENOSYS).
bool isUnsupported(int error)
{
    return error == EINVAL || error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

// Whether `name` in `folder` is the entry of the open file `file`. While a file
// is open its inode number stays its own: no file made since can have it.
bool namesFile(int folder, const QByteArray& name, int file)
{
    struct stat opened;
    struct stat entry;
    return ::fstat(file, &opened) == 0 && ::fstatat(folder, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0
        && entry.st_dev == opened.st_dev && entry.st_ino == opened.st_ino;
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

DStagedFile::Placement DStagedFile::placementAfter(int error)
{
    return error == EEXIST ? Placement::Taken : Placement::Failed;
}

DStagedFile::Placement DStagedFile::placeWithoutReplacing(const QByteArray& name)
{
    if (::renameat2(m_folder, m_temporary.constData(), m_folder, name.constData(), RENAME_NOREPLACE) == 0) {
        m_temporary.clear();
        return Placement::Placed;
    }
    if (!isUnsupported(errno))
        return placementAfter(errno);
    // A file system that cannot refuse in a rename (NFS) can in a hard link.
    if (::linkat(m_folder, m_temporary.constData(), m_folder, name.constData(), 0) == 0) {
        removeTemporary();
        return Placement::Placed;
    }
    if (!isUnsupported(errno))
        return placementAfter(errno);
    // Neither (many FUSE file systems): what every file system can refuse is
    // to create a file where any entry is.
    return placeOverReservedName(name);
}

// Holds `name` with an empty file of our own, created only where no entry of
// any kind is, and renames the written file over it: a rename replaces the
// entry itself, never what a link leads to. Until then the name shows an
// empty file (also after a crash in between), never a part of the image.
DStagedFile::Placement DStagedFile::placeOverReservedName(const QByteArray& name)
{
    const int placeholder =
        ::openat(m_folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (placeholder < 0)
        return placementAfter(errno);
    const bool renamed = ::renameat(m_folder, m_temporary.constData(), m_folder, name.constData()) == 0;
    if (renamed) {
        m_temporary.clear();
    } else if (namesFile(m_folder, name, placeholder)) {
        // Only the placeholder goes, not what someone else may have put in
        // its place meanwhile (it is held open to be told from that).
        ::unlinkat(m_folder, name.constData(), 0);
    }
    ::close(placeholder);
    // The name was ours: a failure is no sign that it is taken, and the next
    // name would fail alike.
    return renamed ? Placement::Placed : Placement::Failed;
}

QString DStagedFile::placeUnderFreeName(const std::function<QString(qint64)>& name)
{
    if (!isWritten())
        return QString();
    for (qint64 n = 0;; ++n) {
        const QString candidate = name(n);
        switch (placeWithoutReplacing(nativeName(candidate))) {
        case Placement::Placed:
            return candidate;
        case Placement::Taken:
            // Taken, also by someone who came first since the last look: the next one.
            continue;
        case Placement::Failed:
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
