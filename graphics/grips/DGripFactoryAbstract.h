#ifndef DGRIPFACTORYABSTRACT_H
#define DGRIPFACTORYABSTRACT_H

#include <QList>
#include <QObject>

class DGrip;
class DGraphicsItem;

// A grip factory knows how to edit one kind of item through grips: it builds
// the item's grips and owns the slots that turn a grip's drag into a change of
// whichever item the grip hands it (the half-transparent copy while dragging,
// the real item when the drag ends). Factories hold no state; one instance is
// shared by the grips of one createGrips() run and lives as long as they do.
class DGripFactoryAbstract : public QObject
{
    Q_OBJECT
public:
    DGripFactoryAbstract() : QObject(nullptr) {}

    // Appends new grips for the item to the list; the caller takes them over.
    virtual void createGrips(QList<DGrip*>& grips, const DGraphicsItem* item) const = 0;

signals:
    void dragStarted();
    void dragEnded();
};

#endif // DGRIPFACTORYABSTRACT_H
