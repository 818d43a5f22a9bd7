#include "QtAbstractPropertyBrowser.h"

#include "QtAbstractPropertyManager.h"
#include "QtBrowserItem.h"
#include "QtProperty.h"

QtAbstractPropertyBrowser::QtAbstractPropertyBrowser(QWidget* parent)
    : QWidget(parent)
{
}

QtAbstractPropertyBrowser::~QtAbstractPropertyBrowser()
{
    // The subclass has gone: what is left is dropped without telling it.
    for (QtBrowserItem* item : qAsConst(m_topLevelItems))
        deleteSubtree(item);
    m_topLevelItems.clear();
    m_items.clear();
    stopFollowing();
}

QList<QtProperty*> QtAbstractPropertyBrowser::properties() const
{
    QList<QtProperty*> result;
    for (QtBrowserItem* item : m_topLevelItems)
        result.append(item->property());
    return result;
}

QtBrowserItem* QtAbstractPropertyBrowser::addProperty(QtProperty* property)
{
    if (!property)
        return nullptr;
    for (QtBrowserItem* item : qAsConst(m_topLevelItems)) {
        if (item->property() == property)
            return item;
    }
    return insertItem(property, nullptr, m_topLevelItems.isEmpty() ? nullptr : m_topLevelItems.last());
}

void QtAbstractPropertyBrowser::clear()
{
    if (m_topLevelItems.isEmpty())
        return;
    closeEditors();
    while (!m_topLevelItems.isEmpty())
        removeItem(m_topLevelItems.last());
}

QWidget* QtAbstractPropertyBrowser::createEditor(QtProperty* property, QWidget* parent)
{
    QtAbstractEditorFactoryBase* factory = property ? m_factories.value(property->propertyManager()) : nullptr;
    return factory ? factory->createEditor(property, parent) : nullptr;
}

bool QtAbstractPropertyBrowser::hasFactory(const QtProperty* property) const
{
    return property && m_factories.contains(property->propertyManager());
}

void QtAbstractPropertyBrowser::detachAll()
{
    clear();
    stopFollowing();
}

void QtAbstractPropertyBrowser::stopFollowing()
{
    for (QtAbstractPropertyManager* manager : qAsConst(m_managers))
        disconnect(manager, nullptr, this, nullptr);
    for (QtAbstractEditorFactoryBase* factory : qAsConst(m_factoryObjects))
        disconnect(factory, nullptr, this, nullptr);
    m_managers.clear();
    m_factoryObjects.clear();
    m_factories.clear();
}

void QtAbstractPropertyBrowser::setFactory(QtAbstractPropertyManager* manager, QtAbstractEditorFactoryBase* factory)
{
    followManager(manager);
    m_factories.insert(manager, factory);
    // Rows already shown may become editable.
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        if (it.key()->propertyManager() == manager) {
            for (QtBrowserItem* item : it.value())
                itemChanged(item);
        }
    }
    if (m_factoryObjects.contains(factory))
        return;
    m_factoryObjects.insert(factory);
    // Only the pointer is used once the factory is being destroyed.
    connect(factory, &QObject::destroyed, this, [this, factory] {
        m_factoryObjects.remove(factory);
        for (auto it = m_factories.begin(); it != m_factories.end();) {
            if (it.value() == factory)
                it = m_factories.erase(it);
            else
                ++it;
        }
    });
}

void QtAbstractPropertyBrowser::followManager(QtAbstractPropertyManager* manager)
{
    if (!manager || m_managers.contains(manager))
        return;
    m_managers.insert(manager);
    connect(manager, &QtAbstractPropertyManager::propertyChanged, this, &QtAbstractPropertyBrowser::onPropertyChanged);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
            &QtAbstractPropertyBrowser::onPropertyDestroyed);
    // A manager's destructor destroys its properties first, which removes
    // their rows; only the pointer is used here.
    connect(manager, &QObject::destroyed, this, [this, manager] {
        m_managers.remove(manager);
        m_factories.remove(manager);
    });
}

QtBrowserItem* QtAbstractPropertyBrowser::insertItem(QtProperty* property, QtBrowserItem* parent, QtBrowserItem* after)
{
    QtBrowserItem* item = new QtBrowserItem(this, property, parent);
    QList<QtBrowserItem*>& siblings = parent ? parent->m_children : m_topLevelItems;
    siblings.insert(after ? siblings.indexOf(after) + 1 : 0, item);
    m_items[property].append(item);
    followManager(property->propertyManager());
    itemInserted(item, after);
    QtBrowserItem* previous = nullptr;
    const QList<QtProperty*> subProperties = property->subProperties();
    for (QtProperty* subProperty : subProperties)
        previous = insertItem(subProperty, item, previous);
    return item;
}

void QtAbstractPropertyBrowser::removeItem(QtBrowserItem* item)
{
    // Unregistered first, so that nothing reached while the presentation goes
    // finds the rows half removed.
    forgetSubtree(item);
    QList<QtBrowserItem*>& siblings = item->m_parent ? item->m_parent->m_children : m_topLevelItems;
    siblings.removeAll(item);
    removeFromView(item);
    deleteSubtree(item);
}

void QtAbstractPropertyBrowser::removeFromView(QtBrowserItem* item)
{
    // Children first: the subclass removes one row at a time, leaves first.
    for (int i = item->m_children.count() - 1; i >= 0; --i)
        removeFromView(item->m_children.at(i));
    itemRemoved(item);
}

void QtAbstractPropertyBrowser::forgetSubtree(QtBrowserItem* item)
{
    for (QtBrowserItem* child : qAsConst(item->m_children))
        forgetSubtree(child);
    auto it = m_items.find(item->property());
    if (it == m_items.end())
        return;
    it->removeAll(item);
    if (it->isEmpty())
        m_items.erase(it);
}

void QtAbstractPropertyBrowser::deleteSubtree(QtBrowserItem* item)
{
    for (QtBrowserItem* child : qAsConst(item->m_children))
        deleteSubtree(child);
    delete item;
}

void QtAbstractPropertyBrowser::syncChildren(QtBrowserItem* item)
{
    const QList<QtProperty*> wanted = item->property()->subProperties();
    const QList<QtBrowserItem*> children = item->m_children;
    for (QtBrowserItem* child : children) {
        if (!wanted.contains(child->property()))
            removeItem(child);
    }
    QtBrowserItem* after = nullptr;
    for (QtProperty* subProperty : wanted) {
        QtBrowserItem* shown = nullptr;
        for (QtBrowserItem* child : qAsConst(item->m_children)) {
            if (child->property() == subProperty)
                shown = child;
        }
        after = shown ? shown : insertItem(subProperty, item, after);
    }
}

void QtAbstractPropertyBrowser::onPropertyChanged(QtProperty* property)
{
    if (!m_items.contains(property))
        return;
    // A sub-property that went away takes its rows along: open editors
    // finish first.
    const QList<QtProperty*> wanted = property->subProperties();
    bool losesRows = false;
    for (QtBrowserItem* item : m_items.value(property)) {
        for (QtBrowserItem* child : qAsConst(item->m_children))
            losesRows = losesRows || !wanted.contains(child->property());
    }
    if (losesRows)
        closeEditors();
    const QList<QtBrowserItem*> items = m_items.value(property);
    for (QtBrowserItem* item : items) {
        if (!m_items.value(property).contains(item))
            continue;
        syncChildren(item);
        itemChanged(item);
    }
}

void QtAbstractPropertyBrowser::onPropertyDestroyed(QtProperty* property)
{
    if (!m_items.contains(property))
        return;
    closeEditors();
    const QList<QtBrowserItem*> items = m_items.value(property);
    for (QtBrowserItem* item : items) {
        if (m_items.value(property).contains(item))
            removeItem(item);
    }
}
