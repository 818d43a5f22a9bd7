#include "DHotkeyRegistrar.h"

#include "DHotkeyRegistrarLinux.h"

namespace {
DHotkeyRegistrar* s_pInstalled = nullptr;
}

DHotkeyRegistrar* DHotkeyRegistrar::current()
{
    static DHotkeyRegistrarLinux s_platform;
    return s_pInstalled ? s_pInstalled : &s_platform;
}

void DHotkeyRegistrar::setCurrent(DHotkeyRegistrar* registrar)
{
    s_pInstalled = registrar;
}
