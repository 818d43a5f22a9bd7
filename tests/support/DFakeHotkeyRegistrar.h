#ifndef DFAKEHOTKEYREGISTRAR_H
#define DFAKEHOTKEYREGISTRAR_H

#include <QList>
#include <QPair>

#include "DHotkeyRegistrar.h"
#include "DInstalledService.h"

// Records every call and refuses when told to. Installed while it lives.
class DFakeHotkeyRegistrar : public DHotkeyRegistrar
{
public:
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

private:
    DInstalledService<DHotkeyRegistrar> m_installed{this};
};

#endif // DFAKEHOTKEYREGISTRAR_H
