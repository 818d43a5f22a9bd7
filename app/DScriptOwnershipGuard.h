#ifndef DSCRIPTOWNERSHIPGUARD_H
#define DSCRIPTOWNERSHIPGUARD_H

#include <QObject>

// Keeps scripts from deleting what the program owns. A script reaches every
// object it is shown, and the children of those, and each of them has the slot
// deleteLater(); the objects the program hands over live on its stack or
// belong to it, so their deletion would end the program. The guard refuses the
// deferred deletion of each protected object, with a warning.
//
// The program itself never deletes a protected object with deleteLater(): it
// deletes them by their owners, as it always has.
class DScriptOwnershipGuard : public QObject
{
    Q_OBJECT

public:
    explicit DScriptOwnershipGuard(QObject* parent = nullptr);

    // Protects the object and every descendant it has now: the form and the
    // members the program works with. What is made later (a context menu that
    // deletes itself on closing) stays the business of whoever made it.
    void protect(QObject* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#endif // DSCRIPTOWNERSHIPGUARD_H
