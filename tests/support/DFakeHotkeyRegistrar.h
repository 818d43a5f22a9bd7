#ifndef DFAKEHOTKEYREGISTRAR_H
#define DFAKEHOTKEYREGISTRAR_H

#include <QList>
#include <QPair>

#include "DHotkeyRegistrar.h"

// For tests: records every call and refuses when told to. Installs itself while it lives.
class DFakeHotkeyRegistrar : public DHotkeyRegistrar
{
public:
    DFakeHotkeyRegistrar() { setCurrent(this); }
    ~DFakeHotkeyRegistrar() override { setCurrent(nullptr); }

    bool refuse = false;
    QString refusal = QStringLiteral("The hotkey is taken.");
    QList<QPair<int, QKeySequence>> registered;
    QList<int> unregistered;

    bool registerHotkey(int id, const QKeySequence& keys, QString& errorText) override
    {
        registered.append(qMakePair(id, keys));
        if (refuse)
            errorText = refusal;
        return !refuse;
    }
    void unregisterHotkey(int id) override { unregistered.append(id); }
};

#endif // DFAKEHOTKEYREGISTRAR_H
