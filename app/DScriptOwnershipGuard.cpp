#include "DScriptOwnershipGuard.h"

#include <QEvent>

DScriptOwnershipGuard::DScriptOwnershipGuard(QObject* parent)
    : QObject(parent)
{
}

void DScriptOwnershipGuard::protect(QObject* root)
{
    if (!root)
        return;
    // Installing twice keeps one entry: an object shown again is not filtered twice.
    root->installEventFilter(this);
    const QList<QObject*> descendants = root->findChildren<QObject*>();
    for (QObject* descendant : descendants)
        descendant->installEventFilter(this);
}

bool DScriptOwnershipGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::DeferredDelete)
        return false;
    qWarning("Refused to delete %s \"%s\": it belongs to the program, not to a script.",
             watched->metaObject()->className(), qPrintable(watched->objectName()));
    return true;
}
