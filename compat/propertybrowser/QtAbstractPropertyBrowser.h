#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QWidget>

#include <type_traits>

#include "QtAbstractEditorFactory.h"

class QtAbstractPropertyManager;
class QtBrowserItem;
class QtProperty;

// Shows properties as a tree of browser items that follows their managers:
// a changed property is shown again, its sub-properties as they now are, and a
// destroyed one disappears. A subclass lays the items out (itemInserted,
// itemRemoved, itemChanged) and asks for editors with createEditor, which
// turns to the factory set for the property's manager.
class QtAbstractPropertyBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyBrowser(QWidget* parent = nullptr);
    ~QtAbstractPropertyBrowser() override;

    // The top-level properties, in order.
    QList<QtProperty*> properties() const;
    QList<QtBrowserItem*> topLevelItems() const { return m_topLevelItems; }

    // Appends a top-level row for the property with rows for its
    // sub-properties; a property that is already a top-level row keeps its
    // place, and its item is returned.
    QtBrowserItem* addProperty(QtProperty* property);
    // Removes every row; the properties themselves stay with their managers.
    void clear();

    // Editors for the manager's properties come from the factory. The manager
    // may be of a class derived from the one the factory serves.
    template <class PropertyManager, class FactoryManager>
    void setFactoryForManager(PropertyManager* manager, QtAbstractEditorFactory<FactoryManager>* factory)
    {
        static_assert(std::is_base_of<FactoryManager, PropertyManager>::value,
                      "the factory must serve the manager's class or one of its bases");
        if (!manager || !factory)
            return;
        setFactory(manager, factory);
        factory->addPropertyManager(manager);
    }

protected:
    virtual void itemInserted(QtBrowserItem* item, QtBrowserItem* afterItem) = 0;
    virtual void itemRemoved(QtBrowserItem* item) = 0;
    virtual void itemChanged(QtBrowserItem* item) = 0;
    // Called before rows go, while everything is still in place: editors
    // that are open finish (and may commit) now rather than in mid-removal.
    virtual void closeEditors() = 0;

    // An editor from the factory set for the property's manager; null when
    // none is set or it makes none.
    QWidget* createEditor(QtProperty* property, QWidget* parent);
    bool hasFactory(const QtProperty* property) const;

    // Removes the rows and stops following managers and factories; the
    // subclass calls it from its destructor, while its own part is whole.
    void detachAll();

private:
    void setFactory(QtAbstractPropertyManager* manager, QtAbstractEditorFactoryBase* factory);
    void followManager(QtAbstractPropertyManager* manager);
    QtBrowserItem* insertItem(QtProperty* property, QtBrowserItem* parent, QtBrowserItem* after);
    void removeItem(QtBrowserItem* item);
    void removeFromView(QtBrowserItem* item);
    void stopFollowing();
    void forgetSubtree(QtBrowserItem* item);
    void deleteSubtree(QtBrowserItem* item);
    void syncChildren(QtBrowserItem* item);
    void onPropertyChanged(QtProperty* property);
    void onPropertyDestroyed(QtProperty* property);

    QList<QtBrowserItem*> m_topLevelItems;
    QHash<const QtProperty*, QList<QtBrowserItem*>> m_items;
    QHash<const QtAbstractPropertyManager*, QtAbstractEditorFactoryBase*> m_factories;
    QSet<QtAbstractPropertyManager*> m_managers;
    QSet<QtAbstractEditorFactoryBase*> m_factoryObjects;
};
