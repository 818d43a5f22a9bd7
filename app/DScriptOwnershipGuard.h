#ifndef DSCRIPTOWNERSHIPGUARD_H
#define DSCRIPTOWNERSHIPGUARD_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVector>

// Keeps scripts from deleting what the program owns. A script reaches every
// object it is shown, and the descendants of those, and each of them has the
// slot deleteLater(); the objects the program hands over live on its stack or
// belong to it, and it keeps pointers to their parts, so their deletion would
// end the program. The guard refuses, with a warning, each deferred deletion
// of a protected object (a shown object or anything below it, whenever it came
// there) that was asked for while script code ran: by the script itself, in
// whichever way it reached the slot, or by a slot it called.
//
// What the program and Qt ask for themselves goes ahead as before (an editor
// that is closed, an animation that deletes itself when it stops). The engine
// tells nobody which function a script calls on which object, and a deferred
// deletion does not say who asked for it: the guard looks at the deletions
// that wait for a protected object each time the program calls into script
// code, and again when that call returns. What waited before the call was the
// program's own; what waits afterwards and did not before, the script's.
// Neither look deletes anything: the program's requests are made again, to be
// carried out when the program's event loop comes to them. A request made in a
// call that still runs carries that call's level (how deep event loops and
// deliveries were nested), and is refused as well should an event loop come
// to it before the call returns.
//
// While nothing tells the guard of those calls (a debugger has taken the
// engine over), it refuses every deferred deletion of a protected object. A
// window that deletes itself when it is closed (a context menu) goes once
// closed, whoever closed it.
class DScriptOwnershipGuard : public QObject
{
    Q_OBJECT

public:
    explicit DScriptOwnershipGuard(QObject* parent = nullptr);

    // Protects the object and everything below it, now and later.
    void protect(QObject* root);

    // The program calls into script code, and that call returns; calls may nest.
    void beginScriptCall();
    void endScriptCall();
    // Whether those calls are reported; until they are, every deferred
    // deletion of a protected object is refused.
    void setSeesScriptCalls(bool sees);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Which look at the waiting deletions runs.
    enum class Look { None, BeforeCall, AfterCall };

    // Watches the object and its descendants: for deletions, and for
    // children that come later.
    void watch(QObject* object);
    // Whether the object is a protected one, or below one.
    bool isProtected(const QObject* object) const;
    // Whether this deletion is the one a self-deleting window asked for when
    // it was closed (Qt clears the window's flag as it asks).
    bool isClosedSelfDeletingWindow(QObject* object);

    // A call from the program into script code, at the level its deferred
    // deletions get; only a call in a scope of its own looks at them.
    struct ScriptCall
    {
        int level;
        bool looks;
    };

    // The level a deferred deletion asked for now gets.
    int deletionLevel();
    bool isLevelOfACall(int level) const;
    // Has the deletions that wait for protected objects delivered now, and
    // deals with each as the look says; nothing is deleted meanwhile.
    void lookAtWaitingDeletions(Look look);
    // Whether the deferred deletion of the object, asked for at that level,
    // goes ahead (false: it is refused or asked for again).
    bool letDeletionThrough(QObject* object, int level);
    // Asks again for a deletion the program asked for, to be carried out
    // when the program's event loop comes to it.
    void askAgain(QObject* object);
    void refuse(const QObject* object) const;

    QList<QPointer<QObject>> m_roots;
    // Self-deleting windows that have been asked to close.
    QList<QPointer<QObject>> m_closing;
    Look m_look = Look::None;
    // The calls from the program into script code that run now, innermost last.
    QVector<ScriptCall> m_calls;
    // Receives the deletion that tells the level.
    QObject m_levelProbe;
    bool m_bSeesScriptCalls = true;
};

#endif // DSCRIPTOWNERSHIPGUARD_H
