#include "QtAbstractPropertyManager.h"

#include "QtProperty.h"

QtAbstractPropertyManager::QtAbstractPropertyManager(QObject* parent)
    : QObject(parent)
{
}

QtAbstractPropertyManager::~QtAbstractPropertyManager()
{
    clear();
}

void QtAbstractPropertyManager::clear()
{
    // Each destruction takes the property out of the list, and may take
    // others with it.
    while (!m_properties.isEmpty())
        delete m_properties.first();
}

QtProperty* QtAbstractPropertyManager::addProperty(const QString& name)
{
    QtProperty* property = createProperty();
    if (!property)
        return nullptr;
    property->m_name = name;
    m_properties.append(property);
    initializeProperty(property);
    return property;
}

bool QtAbstractPropertyManager::hasValue(const QtProperty*) const
{
    return true;
}

QString QtAbstractPropertyManager::valueText(const QtProperty*) const
{
    return QString();
}

QIcon QtAbstractPropertyManager::valueIcon(const QtProperty*) const
{
    return QIcon();
}

void QtAbstractPropertyManager::uninitializeProperty(QtProperty*)
{
}

QtProperty* QtAbstractPropertyManager::createProperty()
{
    return new QtProperty(this);
}

void QtAbstractPropertyManager::propertyDestroying(QtProperty* property)
{
    if (!m_properties.contains(property))
        return;
    emit propertyDestroyed(property);
    uninitializeProperty(property);
    m_properties.removeAll(property);
}
