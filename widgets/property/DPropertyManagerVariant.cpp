#include "DPropertyManagerVariant.h"

#include "DWidgetPropertyBrowser.h"

DPropertyManagerVariant::DPropertyManagerVariant(QObject* parent)
    : QtVariantPropertyManager(parent)
{
}

DPropertyManagerVariant::~DPropertyManagerVariant()
{
    clear();
}

QString DPropertyManagerVariant::valueText(const QtProperty* property) const
{
    if (isPropertyVarious(property))
        return s_VARIOUS;
    return QtVariantPropertyManager::valueText(property);
}

QIcon DPropertyManagerVariant::valueIcon(const QtProperty* property) const
{
    if (isPropertyVarious(property))
        return QIcon();
    return QtVariantPropertyManager::valueIcon(property);
}

QVariant DPropertyManagerVariant::value(const QtProperty* property) const
{
    if (isPropertyVarious(property))
        return QVariant();
    return QtVariantPropertyManager::value(property);
}

void DPropertyManagerVariant::setValue(QtProperty* property, const QVariant& value)
{
    const QVariant held = QtVariantPropertyManager::value(property);
    QtVariantPropertyManager::setValue(property, value);
    if (!isPropertyVarious(property) || QtVariantPropertyManager::value(property) != held)
        return;
    // Nothing changed in the manager: either the value is the one held, or it
    // could not be read. Only the first is an entry.
    QVariant entered = value;
    if (entered.convert(propertyType(property)) && entered == held) {
        emit propertyChanged(property);
        emit valueChanged(property, held);
    }
}

void DPropertyManagerVariant::uninitializeProperty(QtProperty* property)
{
    setPropertyVarious(property, false);
    QtVariantPropertyManager::uninitializeProperty(property);
}
