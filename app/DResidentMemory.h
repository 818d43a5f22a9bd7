#ifndef DRESIDENTMEMORY_H
#define DRESIDENTMEMORY_H

#include <QtGlobal>

// The memory this process holds, as the system counts it.
class DResidentMemory
{
public:
    // Bytes resident now; 0 when the system does not tell. A few microseconds.
    static qint64 bytes();
};

#endif // DRESIDENTMEMORY_H
