#include "DScriptOwnershipGuard.h"

#include <QChildEvent>
#include <QCoreApplication>
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

void DScriptOwnershipGuard::beginScriptCall()
{
    lookAtWaitingDeletions(Look::BeforeCall);
    ++m_nScriptCalls;
}

void DScriptOwnershipGuard::endScriptCall()
{
    lookAtWaitingDeletions(Look::AfterCall);
    if (m_nScriptCalls > 0)
        --m_nScriptCalls;
}

void DScriptOwnershipGuard::setSeesScriptCalls(bool sees)
{
    m_bSeesScriptCalls = sees;
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

void DScriptOwnershipGuard::lookAtWaitingDeletions(Look look)
{
    // Nested inside a look (something a delivery ran called into script
    // code), the outer look deals with what waits.
    if (m_look != Look::None)
        return;
    QList<QPointer<QObject>> objects;
    m_roots.removeAll(QPointer<QObject>());
    for (const QPointer<QObject>& root : qAsConst(m_roots)) {
        objects << root.data();
        for (QObject* descendant : root->findChildren<QObject*>())
            objects << descendant;
    }
    m_look = look;
    // A deletion asked for in this scope, or in one that has returned since,
    // is delivered when asked for by type; those asked for further out
    // (before this call began) wait on, untouched.
    for (const QPointer<QObject>& object : qAsConst(objects)) {
        if (object)
            QCoreApplication::sendPostedEvents(object, QEvent::DeferredDelete);
    }
    m_look = Look::None;
}

bool DScriptOwnershipGuard::letDeletionThrough(QObject* object)
{
    const bool program = !isProtected(object) || isClosedSelfDeletingWindow(object);
    if (m_look == Look::None) {
        // Every request made while script code ran was dealt with when that
        // call returned.
        if (program || m_bSeesScriptCalls)
            return true;
        refuse(object);
        return false;
    }
    // Before the outermost call, all that waits was asked for by the
    // program; before a call nested in script code, and after any call, it
    // was asked for while script code ran.
    if (program || (m_look == Look::BeforeCall && m_nScriptCalls == 0))
        askAgain(object);
    else
        refuse(object);
    return false;
}

void DScriptOwnershipGuard::askAgain(QObject* object)
{
    // The object itself would drop the request while other events wait for
    // it (Qt keeps one deletion an object asked for): a new object carries
    // it, and comes when the same deletion would have come.
    auto* carrier = new QObject;
    const QPointer<QObject> target(object);
    connect(carrier, &QObject::destroyed, [target] { delete target.data(); });
    carrier->deleteLater();
}

void DScriptOwnershipGuard::refuse(const QObject* object) const
{
    qWarning("Refused to delete %s \"%s\": it belongs to the program, not to a script.",
             object->metaObject()->className(), qPrintable(object->objectName()));
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
    if (event->type() != QEvent::DeferredDelete)
        return false;
    return !letDeletionThrough(watched);
}
