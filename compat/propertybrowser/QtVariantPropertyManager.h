#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <QVariant>

#include "QtAbstractPropertyManager.h"

class QtVariantProperty;

// Properties whose value is a QVariant of one fixed type: bool, int, double,
// string, colour, font, or an enumeration (enumTypeId(): an index into the
// names of its "enumNames" attribute). Int and double properties take the
// attributes "minimum" and "maximum", which bound the value; other attributes
// are ignored. A property made by addProperty(name) alone has no type and no
// value: a heading for sub-properties.
//
// A colour property has the int sub-properties "Red", "Green", "Blue" and
// "Alpha" (0 to 255); a font property has "Family" (an enumeration of the
// installed families), "Point Size" (an int from 1) and the bools "Bold",
// "Italic", "Underline" and "Strikeout". They follow their property's value,
// and setting one sets that part of it; they go with their property.
//
// Numbers are written in the browser's locale (DPropertyLocale); a bool row
// shows a check box, a colour row a swatch beside its text.
class QtVariantPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtVariantPropertyManager(QObject* parent = nullptr);
    ~QtVariantPropertyManager() override;

    // The property type of enumerations.
    static int enumTypeId();

    using QtAbstractPropertyManager::addProperty;
    // A new property of the given QVariant type; null for a type this manager
    // does not support.
    QtVariantProperty* addProperty(int propertyType, const QString& name = QString());
    bool isPropertyTypeSupported(int propertyType) const;

    // QVariant::Invalid for a property of another manager or without a type.
    int propertyType(const QtProperty* property) const;
    // The value an editor opens on; a subclass may have none to give (an
    // invalid QVariant) for a property whose text stands for something else.
    virtual QVariant value(const QtProperty* property) const;
    QVariant attributeValue(const QtProperty* property, const QString& attribute) const;

    bool hasValue(const QtProperty* property) const override;
    QString valueText(const QtProperty* property) const override;
    QIcon valueIcon(const QtProperty* property) const override;

public slots:
    // Converts the value to the property's type and bounds it. A value that
    // does not convert, a double that is not finite, a property of another
    // manager: nothing changes. A new value emits propertyChanged, then
    // valueChanged; an equal one emits nothing. A new value of a
    // sub-property of a colour or font is set as that part of its owner's
    // value (through this function, for the owner).
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
        QStringList enumNames;
        // Of a sub-property of a colour or font: that property, and which
        // part of its value this one is.
        QtProperty* owner = nullptr;
        int part = -1;
        // Of a colour or font: its sub-properties, by part.
        QList<QtProperty*> parts;
    };

    // The value converted to the type and bounded, or an invalid QVariant
    // when it cannot be read as one.
    static QVariant normalized(const Data& data, const QVariant& value);
    static bool sameValue(int type, const QVariant& a, const QVariant& b);
    void storeValue(QtProperty* property, Data& data, const QVariant& value);

    void addParts(QtProperty* owner, int type);
    void addPart(QtProperty* owner, int part, int type, const QString& name, int minimum, int maximum);
    // Sets every sub-property of the owner to its part of the owner's value.
    void showParts(const QtProperty* owner);
    QVariant partValue(const Data& owner, int part) const;
    QVariant withPart(const Data& owner, int part, const QVariant& value) const;
    QStringList familyNames(const Data& owner) const;

    QMap<const QtProperty*, Data> m_data;
    int m_typeOfNextProperty = QVariant::Invalid;
};
