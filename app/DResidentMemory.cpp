#include "DResidentMemory.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

qint64 DResidentMemory::bytes()
{
    // "size resident shared ...", in pages.
    const int file = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    char text[128];
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (length <= 0)
        return 0;
    text[length] = '\0';
    long long size = 0;
    long long resident = 0;
    if (std::sscanf(text, "%lld %lld", &size, &resident) != 2)
        return 0;
    return resident * ::sysconf(_SC_PAGESIZE);
}
