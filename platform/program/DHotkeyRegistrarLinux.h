#ifndef DHOTKEYREGISTRARLINUX_H
#define DHOTKEYREGISTRARLINUX_H

#include "DHotkeyRegistrar.h"

// Global hotkeys are not bound on this platform: every call succeeds and
// changes nothing.
class DHotkeyRegistrarLinux : public DHotkeyRegistrar
{
public:
    bool registerHotkey(int id, const QKeySequence& keys, QString& errorText) override;
    void unregisterHotkey(int id) override;
};

#endif // DHOTKEYREGISTRARLINUX_H
