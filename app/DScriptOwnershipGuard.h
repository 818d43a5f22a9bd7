#ifndef DSCRIPTOWNERSHIPGUARD_H
#define DSCRIPTOWNERSHIPGUARD_H

#include <QList>
#include <QObject>
#include <QPointer>

// Keeps scripts from deleting what the program owns. A script reaches every
// object it is shown, and the descendants of those, and each of them has the
// slot deleteLater(); the objects the program hands over live on its stack or
// belong to it, and it keeps pointers to their parts, so their deletion would
// end the program. The guard refuses the deferred deletion of each protected
// object, with a warning: of a shown object and of everything below it,
// whenever it came there (made before the object was shown or after, or moved
// in from elsewhere).
//
// The program itself never deletes a protected object with deleteLater(): it
// deletes them by their owners, as it always has. The one exception is a
// window that deletes itself when it is closed (a context menu): once closed,
// it goes, whoever closed it.
class DScriptOwnershipGuard : public QObject
{
    Q_OBJECT

public:
    explicit DScriptOwnershipGuard(QObject* parent = nullptr);

    // Protects the object and everything below it, now and later.
    void protect(QObject* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Watches the object and its descendants: for deletions, and for
    // children that come later.
    void watch(QObject* object);
    // Whether the object is a protected one, or below one.
    bool isProtected(const QObject* object) const;
    // Whether this deletion is the one a self-deleting window asked for when
    // it was closed (Qt clears the window's flag as it asks).
    bool isClosedSelfDeletingWindow(QObject* object);

    QList<QPointer<QObject>> m_roots;
    // Self-deleting windows that have been asked to close.
    QList<QPointer<QObject>> m_closing;
};

#endif // DSCRIPTOWNERSHIPGUARD_H
