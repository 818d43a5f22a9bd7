#pragma once

#include <QVariant>

#include "QtProperty.h"

class QtVariantPropertyManager;

// A property of a QtVariantPropertyManager: its value and attributes are kept
// by the manager and reached through it.
class QtVariantProperty : public QtProperty
{
public:
    ~QtVariantProperty() override;

    QVariant value() const;
    int propertyType() const;
    QVariant attributeValue(const QString& attribute) const;

    void setValue(const QVariant& value);
    void setAttribute(const QString& attribute, const QVariant& value);

protected:
    explicit QtVariantProperty(QtVariantPropertyManager* manager);

private:
    friend class QtVariantPropertyManager;

    QtVariantPropertyManager* m_variantManager;
};
