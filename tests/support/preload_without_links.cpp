// Loaded ahead of the C library (LD_PRELOAD), it makes every file system of the
// process answer as many FUSE mounts do (network and virtual-machine folders):
// a rename asked to refuse replacing an entry fails with EINVAL (the flag is
// not supported), and a hard link with EPERM (links are not supported).
// Everything else reaches the file system unchanged.
//
// With ZORVEL_RENAME_AFTER_ANOTHER set, a plain rename meets the worst a shared
// folder can hold for it: someone else has just put a file of their own at the
// new name (its text is "theirs"), and then the rename fails (EIO), as over a
// connection that breaks.
#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <cstdio>
#include <unistd.h>

namespace {

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

int refuse(int error)
{
    errno = error;
    return -1;
}

void putFileOfAnother(int folder, const char* name)
{
    ::unlinkat(folder, name, 0);
    const int theirs = ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (theirs >= 0) {
        const ssize_t written = ::write(theirs, "theirs", 6);
        static_cast<void>(written);
        ::close(theirs);
    }
}

} // namespace

extern "C" {

int renameat2(int oldFolder, const char* oldName, int newFolder, const char* newName, unsigned int flags)
{
    if (flags & RENAME_NOREPLACE)
        return refuse(EINVAL);
    using Renameat2 = int (*)(int, const char*, int, const char*, unsigned int);
    static const Renameat2 real = next<Renameat2>("renameat2");
    return real(oldFolder, oldName, newFolder, newName, flags);
}

int renameat(int oldFolder, const char* oldName, int newFolder, const char* newName)
{
    if (std::getenv("ZORVEL_RENAME_AFTER_ANOTHER")) {
        putFileOfAnother(newFolder, newName);
        return refuse(EIO);
    }
    using Renameat = int (*)(int, const char*, int, const char*);
    static const Renameat real = next<Renameat>("renameat");
    return real(oldFolder, oldName, newFolder, newName);
}

int linkat(int, const char*, int, const char*, int)
{
    return refuse(EPERM);
}

int link(const char*, const char*)
{
    return refuse(EPERM);
}

} // extern "C"
