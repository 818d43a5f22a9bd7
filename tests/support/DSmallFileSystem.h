#ifndef DSMALLFILESYSTEM_H
#define DSMALLFILESYSTEM_H

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

// A file system of a few kilobytes on a folder, to see what saving does once
// the disk is full.
//
// Mounting needs root, or a user namespace of the test's own. Call
// enterPrivateMountNamespace() first thing in main(), before any thread
// starts: from then on the test process and every program it starts have
// mounts of their own, which the kernel takes down when the last of them
// ends, however the test ends.

namespace DSmallFileSystemDetail {
inline bool writeProcFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return written;
}
} // namespace DSmallFileSystemDetail

// False when this process may not have mounts of its own (no root and no
// user namespaces); small file systems cannot be mounted then.
inline bool enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        // Not root: become root of a user namespace of our own, mapped to
        // whoever we are outside, so that files keep their owner.
        const QByteArray uid = QByteArray::number(::geteuid());
        const QByteArray gid = QByteArray::number(::getegid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        using DSmallFileSystemDetail::writeProcFile;
        if (!writeProcFile("/proc/self/setgroups", "deny") || !writeProcFile("/proc/self/uid_map", "0 " + uid + " 1")
            || !writeProcFile("/proc/self/gid_map", "0 " + gid + " 1"))
            return false;
    }
    // Nothing mounted here reaches the rest of the machine.
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// A tmpfs of the given size on an existing folder, unmounted again when this
// object goes.
class DSmallFileSystem
{
public:
    DSmallFileSystem(const QString& folder, int kilobytes)
        : m_folder(QFile::encodeName(folder))
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0;
    }
    ~DSmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    DSmallFileSystem(const DSmallFileSystem&) = delete;
    DSmallFileSystem& operator=(const DSmallFileSystem&) = delete;

    bool isMounted() const { return m_mounted; }

    qint64 freeBytes() const
    {
        struct statvfs status;
        if (::statvfs(m_folder.constData(), &status) != 0)
            return -1;
        return qint64(status.f_bavail) * qint64(status.f_frsize);
    }

    // Fills the file system with the file "filler" until at most `bytes`
    // stay free (tmpfs counts whole pages); the bytes free afterwards.
    qint64 fillLeaving(qint64 bytes)
    {
        const QByteArray path = m_folder + "/filler";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return -1;
        const QByteArray block(4096, 'x');
        qint64 size = 0;
        for (;;) {
            const ssize_t written = ::write(fd, block.constData(), size_t(block.size()));
            if (written <= 0)
                break;
            size += written;
        }
        const qint64 keep = qMax<qint64>(0, size - bytes);
        const bool truncated = ::ftruncate(fd, keep) == 0;
        ::close(fd);
        return truncated ? freeBytes() : -1;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

#endif // DSMALLFILESYSTEM_H
