#include "DHotkeyRegistrarLinux.h"

bool DHotkeyRegistrarLinux::registerHotkey(int, const QKeySequence&, QString&)
{
    return true;
}

void DHotkeyRegistrarLinux::unregisterHotkey(int)
{
}
