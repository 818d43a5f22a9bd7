#pragma once

#include <QHash>
#include <QList>
#include <QMetaObject>

#include "QtAbstractEditorFactoryBase.h"
#include "QtProperty.h"

// An editor factory for the properties of one kind of manager. A subclass
// listens to each manager it serves (connectPropertyManager), stops
// (disconnectPropertyManager), and makes the editors (createEditor). A manager
// that is destroyed is dropped without being called.
template <class PropertyManager>
class QtAbstractEditorFactory : public QtAbstractEditorFactoryBase
{
public:
    explicit QtAbstractEditorFactory(QObject* parent = nullptr)
        : QtAbstractEditorFactoryBase(parent)
    {
    }

    QWidget* createEditor(QtProperty* property, QWidget* parent) override
    {
        PropertyManager* manager = propertyManager(property);
        return manager ? createEditor(manager, property, parent) : nullptr;
    }

    void addPropertyManager(PropertyManager* manager)
    {
        if (!manager || m_managers.contains(manager))
            return;
        // Only the pointer is used once the manager is being destroyed.
        m_managers.insert(manager, QObject::connect(manager, &QObject::destroyed, this,
                                                    [this, manager] { m_managers.remove(manager); }));
        connectPropertyManager(manager);
    }

    void removePropertyManager(PropertyManager* manager)
    {
        auto it = m_managers.find(manager);
        if (it == m_managers.end())
            return;
        QObject::disconnect(it.value());
        m_managers.erase(it);
        disconnectPropertyManager(manager);
    }

    QList<PropertyManager*> propertyManagers() const { return m_managers.keys(); }

    // The served manager that owns the property, or null.
    PropertyManager* propertyManager(QtProperty* property) const
    {
        if (!property)
            return nullptr;
        for (auto it = m_managers.cbegin(); it != m_managers.cend(); ++it) {
            if (it.key() == property->propertyManager())
                return it.key();
        }
        return nullptr;
    }

protected:
    virtual void connectPropertyManager(PropertyManager* manager) = 0;
    virtual QWidget* createEditor(PropertyManager* manager, QtProperty* property, QWidget* parent) = 0;
    virtual void disconnectPropertyManager(PropertyManager* manager) = 0;

private:
    QHash<PropertyManager*, QMetaObject::Connection> m_managers;
};
