#ifndef DHOTKEYREGISTRAR_H
#define DHOTKEYREGISTRAR_H

#include <QKeySequence>
#include <QString>

// Binding a global hotkey with the desktop, keyed by its hotkey id. On this
// platform the binding is not made: registering succeeds and does nothing, so
// a stored hotkey never fires outside the program. Tests install a fake with
// setCurrent().
class DHotkeyRegistrar
{
public:
    virtual ~DHotkeyRegistrar() {}

    // False, with the reason in errorText, when the hotkey cannot be bound.
    virtual bool registerHotkey(int id, const QKeySequence& keys, QString& errorText) = 0;
    virtual void unregisterHotkey(int id) = 0;

    // The implementation in use: the one set last, or the platform's own.
    static DHotkeyRegistrar* current();
    // Not owned; null goes back to the platform's own.
    static void setCurrent(DHotkeyRegistrar* registrar);
};

#endif // DHOTKEYREGISTRAR_H
