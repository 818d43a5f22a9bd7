#pragma once

#include <QMap>
#include <QVariant>

#include "QtAbstractPropertyManager.h"

class QtVariantProperty;

// Properties whose value is a QVariant of one fixed type: bool, int, double,
// string, colour or font. Int and double properties take the attributes
// "minimum" and "maximum", which bound the value; other attributes are
// ignored. A property made by addProperty(name) alone has no type and no
// value: a heading for sub-properties.
class QtVariantPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtVariantPropertyManager(QObject* parent = nullptr);
    ~QtVariantPropertyManager() override;

    using QtAbstractPropertyManager::addProperty;
    // A new property of the given QVariant type; null for a type this manager
    // does not support.
    QtVariantProperty* addProperty(int propertyType, const QString& name = QString());
    bool isPropertyTypeSupported(int propertyType) const;

    // QVariant::Invalid for a property of another manager or without a type.
    int propertyType(const QtProperty* property) const;
    QVariant value(const QtProperty* property) const;
    QVariant attributeValue(const QtProperty* property, const QString& attribute) const;

    bool hasValue(const QtProperty* property) const override;
    QString valueText(const QtProperty* property) const override;

public slots:
    // Converts the value to the property's type and bounds it. A value that
    // does not convert, a double that is not finite, a property of another
    // manager: nothing changes. A new value emits propertyChanged, then
    // valueChanged; an equal one emits nothing.
    virtual void setValue(QtProperty* property, const QVariant& value);
    virtual void setAttribute(QtProperty* property, const QString& attribute, const QVariant& value);

signals:
    void valueChanged(QtProperty* property, const QVariant& value);

protected:
    void initializeProperty(QtProperty* property) override;
    void uninitializeProperty(QtProperty* property) override;
    QtProperty* createProperty() override;

private:
    struct Data
    {
        int type = QVariant::Invalid;
        QVariant value;
        QVariant minimum;
        QVariant maximum;
    };

    // The value converted to the type and bounded, or an invalid QVariant
    // when it cannot be read as one.
    static QVariant normalized(const Data& data, const QVariant& value);
    static bool sameValue(int type, const QVariant& a, const QVariant& b);
    void storeValue(QtProperty* property, Data& data, const QVariant& value);

    QMap<const QtProperty*, Data> m_data;
    int m_typeOfNextProperty = QVariant::Invalid;
};
