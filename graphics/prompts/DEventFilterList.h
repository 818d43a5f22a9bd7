#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include "DEventFilter.h"

class QMetaObject;
class DGraphicsScene;

// Guarded: becomes null when the filter is destroyed by other means.
typedef QPointer<DEventFilter> DEventFilterPointer;

// Orders by priority: a < b exactly when a's priority is lower. A null entry
// sorts after every live one and is never dereferenced.
bool operator<(const DEventFilterPointer& a, const DEventFilterPointer& b);

// The scene's priority-ordered filters, installed as a QObject event filter on
// the scene. Sorted by ascending priority; among equal priorities the filter
// added last stands first. Owns every filter in it.
class DEventFilterList : public QObject, public QList<DEventFilterPointer>
{
    Q_OBJECT
public:
    explicit DEventFilterList(DGraphicsScene* scene);
    ~DEventFilterList() override;

    DGraphicsScene* scene() const { return m_pScene; }

    // Inserts before every filter of equal priority.
    void add(DEventFilter* filter);
    // Removes the first entry for the filter; tells it (onRemoved) and deletes
    // it later. False, and nothing else, when the filter is not listed.
    bool remove(DEventFilter* filter);
    // Removes every filter of that class or a class derived from it.
    void removeByType(const QMetaObject* type);
    // Removes every filter, the last first.
    void clear();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dropDestroyed();

    DGraphicsScene* m_pScene;
};
