#include "QtProperty.h"

#include "QtAbstractPropertyManager.h"

QtProperty::QtProperty(QtAbstractPropertyManager* manager)
    : m_manager(manager)
{
}

QtProperty::~QtProperty()
{
    m_destroying = true;
    // Listeners hear of the end while the property is still whole: a browser
    // drops its rows, the manager lets go of the value.
    if (m_manager)
        m_manager->propertyDestroying(this);
    const QList<QtProperty*> parents = m_parents;
    for (QtProperty* parent : parents) {
        parent->m_subProperties.removeAll(this);
        parent->notifyChanged();
    }
    for (QtProperty* child : qAsConst(m_subProperties))
        child->m_parents.removeAll(this);
}

void QtProperty::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    notifyChanged();
}

bool QtProperty::hasValue() const
{
    return m_manager && m_manager->hasValue(this);
}

QString QtProperty::valueText() const
{
    return m_manager ? m_manager->valueText(this) : QString();
}

QIcon QtProperty::valueIcon() const
{
    return m_manager ? m_manager->valueIcon(this) : QIcon();
}

void QtProperty::addSubProperty(QtProperty* property)
{
    if (!property || property == this || m_subProperties.contains(property) || isDescendantOf(property))
        return;
    m_subProperties.append(property);
    property->m_parents.append(this);
    notifyChanged();
}

bool QtProperty::isDescendantOf(const QtProperty* ancestor) const
{
    for (const QtProperty* parent : m_parents) {
        if (parent == ancestor || parent->isDescendantOf(ancestor))
            return true;
    }
    return false;
}

void QtProperty::notifyChanged()
{
    if (!m_destroying && m_manager)
        emit m_manager->propertyChanged(this);
}
