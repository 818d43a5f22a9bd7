#include "DLastLogin.h"

#include "DLastLoginLinux.h"

namespace {
DLastLogin* s_pInstalled = nullptr;
}

DLastLogin* DLastLogin::current()
{
    static DLastLoginLinux s_platform;
    return s_pInstalled ? s_pInstalled : &s_platform;
}

void DLastLogin::setCurrent(DLastLogin* lastLogin)
{
    s_pInstalled = lastLogin;
}
