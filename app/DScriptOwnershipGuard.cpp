#include "DScriptOwnershipGuard.h"

#include <QChildEvent>
#include <QEvent>
#include <QWidget>

DScriptOwnershipGuard::DScriptOwnershipGuard(QObject* parent)
    : QObject(parent)
{
}

void DScriptOwnershipGuard::protect(QObject* root)
{
    if (!root)
        return;
    m_roots.removeAll(QPointer<QObject>());
    if (!m_roots.contains(root))
        m_roots.append(root);
    watch(root);
}

void DScriptOwnershipGuard::watch(QObject* object)
{
    // Installing twice keeps one entry: an object shown again is not filtered twice.
    object->installEventFilter(this);
    const QList<QObject*> descendants = object->findChildren<QObject*>();
    for (QObject* descendant : descendants)
        descendant->installEventFilter(this);
}

bool DScriptOwnershipGuard::isProtected(const QObject* object) const
{
    // Asked at the moment of deletion: an object moved out of the tree since
    // is no longer the shown object's part.
    for (const QObject* up = object; up; up = up->parent()) {
        for (const QPointer<QObject>& root : m_roots) {
            if (root == up)
                return true;
        }
    }
    return false;
}

bool DScriptOwnershipGuard::isClosedSelfDeletingWindow(QObject* object)
{
    m_closing.removeAll(QPointer<QObject>());
    if (!m_closing.removeOne(object))
        return false;
    // A window that refused to close is still open.
    return !static_cast<QWidget*>(object)->isVisible();
}

bool DScriptOwnershipGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildAdded) {
        // Sent while the child is being made or moved in: from now on it is
        // watched too, with whatever it brings along.
        if (QObject* child = static_cast<QChildEvent*>(event)->child())
            watch(child);
        return false;
    }
    if (event->type() == QEvent::Close && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->testAttribute(Qt::WA_DeleteOnClose)) {
        if (!m_closing.contains(watched))
            m_closing.append(watched);
        return false;
    }
    if (event->type() != QEvent::DeferredDelete || !isProtected(watched) || isClosedSelfDeletingWindow(watched))
        return false;
    qWarning("Refused to delete %s \"%s\": it belongs to the program, not to a script.",
             watched->metaObject()->className(), qPrintable(watched->objectName()));
    return true;
}
