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
    // A call made from script code in the same scope (a built-in's helper, a
    // slot's signal) asks for deletions as that code does: the enclosing
    // call's looks deal with them.
    const int level = deletionLevel();
    const bool looks = m_calls.isEmpty() || m_calls.last().level != level;
    if (looks)
        lookAtWaitingDeletions(Look::BeforeCall);
    m_calls.append(ScriptCall{level, looks});
}

void DScriptOwnershipGuard::endScriptCall()
{
    if (m_calls.isEmpty())
        return;
    if (m_calls.takeLast().looks)
        lookAtWaitingDeletions(Look::AfterCall);
}

int DScriptOwnershipGuard::deletionLevel()
{
    // Qt marks a deferred deletion with how deep event loops and deliveries
    // were nested where it was asked for, and carries it out only once the
    // program has come back out of there: one asked for now and taken back
    // at once tells that depth.
    if (!QCoreApplication::instance())
        return 0;
    auto* probe = new QDeferredDeleteEvent;
    QCoreApplication::postEvent(&m_levelProbe, probe);
    const int level = probe->loopLevel();
    QCoreApplication::removePostedEvents(&m_levelProbe, QEvent::DeferredDelete);
    return level;
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
        if (!object)
            continue;
        // First among the object's filters: no deletion is carried out
        // during the look.
        object->installEventFilter(this);
        QCoreApplication::sendPostedEvents(object, QEvent::DeferredDelete);
    }
    m_look = Look::None;
}

bool DScriptOwnershipGuard::letDeletionThrough(QObject* object, int level)
{
    const bool program = !isProtected(object) || isClosedSelfDeletingWindow(object);
    // Script code of a call that still runs asked for it (or a slot it
    // called): it comes early only in an event loop run before the
    // program's, which comes to deletions marked with no level at all.
    const bool askedInACallThatRuns = isLevelOfACall(level);
    switch (m_look) {
    case Look::None:
        // What was asked for in a call that has returned was dealt with then.
        if (program || (m_bSeesScriptCalls && !askedInACallThatRuns))
            return true;
        refuse(object);
        return false;
    case Look::BeforeCall:
        // What else waits here, where the call begins, the program asked for.
        if (program || !askedInACallThatRuns)
            askAgain(object);
        else
            refuse(object);
        return false;
    case Look::AfterCall:
        if (program)
            askAgain(object);
        else
            refuse(object);
        return false;
    }
    return false;
}

bool DScriptOwnershipGuard::isLevelOfACall(int level) const
{
    for (const ScriptCall& call : m_calls) {
        if (call.level == level)
            return true;
    }
    return false;
}

void DScriptOwnershipGuard::askAgain(QObject* object)
{
    // Asked of the object again, the request would be dropped whenever other
    // events wait for it (Qt remembers that its deletion was asked for once):
    // a new object carries it, and comes when the same deletion would have.
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
    return !letDeletionThrough(watched, static_cast<QDeferredDeleteEvent*>(event)->loopLevel());
}
