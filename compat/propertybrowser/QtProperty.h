#pragma once

#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QString>

class QtAbstractPropertyManager;

// One row of a property browser: a name, an enabled state and an ordered list
// of sub-properties. The manager that created a property owns it and keeps its
// value; the property asks its manager for the text to show. Deleting a
// property detaches it from its parents and its sub-properties, which stay
// with their own managers.
class QtProperty
{
public:
    virtual ~QtProperty();

    QtAbstractPropertyManager* propertyManager() const { return m_manager; }
    QString propertyName() const { return m_name; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    bool hasValue() const;
    QString valueText() const;
    QIcon valueIcon() const;

    QList<QtProperty*> subProperties() const { return m_subProperties; }
    // Appends property as the last sub-property. A property that is already a
    // sub-property here, this property itself, or one of its ancestors (which
    // would make the tree a loop) is refused.
    void addSubProperty(QtProperty* property);

protected:
    explicit QtProperty(QtAbstractPropertyManager* manager);

private:
    friend class QtAbstractPropertyManager;
    Q_DISABLE_COPY(QtProperty)

    bool isDescendantOf(const QtProperty* ancestor) const;
    // Tells the manager's listeners that this property (its state or its
    // sub-property list) changed; silent once destruction has begun.
    void notifyChanged();

    QtAbstractPropertyManager* m_manager;
    QString m_name;
    bool m_enabled = true;
    bool m_destroying = false;
    QList<QtProperty*> m_subProperties;
    QList<QtProperty*> m_parents;
};

// Properties travel as signal arguments.
Q_DECLARE_METATYPE(QtProperty*)
