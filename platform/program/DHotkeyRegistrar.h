#ifndef DHOTKEYREGISTRAR_H
#define DHOTKEYREGISTRAR_H

#include <QKeySequence>
#include <QString>

#include "DPlatformService.h"

// Binding a global hotkey with the desktop, keyed by its hotkey id. On this
// platform the binding is not made: registering succeeds and does nothing, so
// a stored hotkey never fires outside the program. The null service does the
// same.
class DHotkeyRegistrar : public DPlatformService<DHotkeyRegistrar>
{
public:
    virtual ~DHotkeyRegistrar() {}

    // False, with the reason in errorText, when the hotkey cannot be bound.
    virtual bool registerHotkey(int id, const QKeySequence& keys, QString& errorText) = 0;
    virtual void unregisterHotkey(int id) = 0;

    // Until the program installs its own: the null service.
    static DHotkeyRegistrar& defaultService();
};

#endif // DHOTKEYREGISTRAR_H
