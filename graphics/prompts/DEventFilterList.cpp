#include "DEventFilterList.h"

#include <QEvent>
#include <QMetaObject>

#include <algorithm>

#include "DGraphicsScene.h"

bool operator<(const DEventFilterPointer& a, const DEventFilterPointer& b)
{
    if (a.isNull() || b.isNull())
        return !a.isNull() && b.isNull();
    return a->priority() < b->priority();
}

DEventFilterList::DEventFilterList(DGraphicsScene* scene)
    : QObject(nullptr)
    , m_pScene(scene)
{
}

DEventFilterList::~DEventFilterList()
{
    // The scene clears the list before it goes; whatever is left still belongs
    // to the list and must not leak, but the scene is no longer there to be
    // told about it.
    for (const DEventFilterPointer& filter : qAsConst(*this)) {
        if (filter)
            filter->deleteLater();
    }
}

void DEventFilterList::dropDestroyed()
{
    removeAll(DEventFilterPointer());
}

void DEventFilterList::add(DEventFilter* filter)
{
    if (!filter)
        return;
    dropDestroyed();
    const DEventFilterPointer entry(filter);
    // A filter is listed once, so that one removal takes it out for good.
    if (contains(entry))
        return;
    iterator position = std::lower_bound(begin(), end(), entry);
    insert(position, entry);
}

bool DEventFilterList::remove(DEventFilter* filter)
{
    dropDestroyed();
    if (!filter)
        return false;
    const int index = indexOf(DEventFilterPointer(filter));
    if (index < 0)
        return false;
    removeAt(index);
    filter->onRemoved();
    filter->deleteLater();
    return true;
}

void DEventFilterList::removeByType(const QMetaObject* type)
{
    dropDestroyed();
    const char* className = type->className();
    for (int i = count() - 1; i >= 0; --i) {
        // onRemoved() of one filter may remove others: re-check the bounds.
        if (i >= count())
            continue;
        DEventFilter* filter = at(i);
        if (filter && filter->qt_metacast(className))
            remove(filter);
    }
}

void DEventFilterList::clear()
{
    while (!isEmpty()) {
        DEventFilter* filter = last();
        if (!filter || !remove(filter))
            removeLast();
    }
}

bool DEventFilterList::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_pScene || !m_pScene->isFilterAllowed(event))
        return QObject::eventFilter(watched, event);

    // A filter may add or remove filters, or run a nested event loop in which
    // it is deleted, while it handles the event: walk a guarded copy, and
    // touch nothing once a filter has consumed the event.
    const QList<DEventFilterPointer> snapshot = *this;
    const QPointer<DEventFilterList> self(this);
    for (const DEventFilterPointer& entry : snapshot) {
        DEventFilter* filter = entry.data();
        if (!filter || !filter->isActive() || !contains(entry))
            continue;
        if (filter->eventFilter(event))
            return true;
        if (!self)
            return false;
    }
    return QObject::eventFilter(watched, event);
}
