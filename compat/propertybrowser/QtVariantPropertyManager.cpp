#include "QtVariantPropertyManager.h"

#include <QColor>
#include <QFont>

#include <cmath>

#include "QtVariantProperty.h"

namespace {

const char* const kMinimum = "minimum";
const char* const kMaximum = "maximum";

bool isBoundedType(int type)
{
    return type == QVariant::Int || type == QVariant::Double;
}

QVariant initialValue(int type)
{
    switch (type) {
    case QVariant::Bool:
        return false;
    case QVariant::Int:
        return 0;
    case QVariant::Double:
        return 0.0;
    case QVariant::String:
        return QString();
    case QVariant::Color:
        return QColor();
    case QVariant::Font:
        return QFont();
    default:
        return QVariant();
    }
}

// Converts value to type; an invalid QVariant when it does not convert (or,
// for a double, is not a finite number).
QVariant converted(int type, const QVariant& value)
{
    QVariant result = value;
    if (!result.isValid() || !result.convert(type))
        return QVariant();
    if (type == QVariant::Double && !std::isfinite(result.toDouble()))
        return QVariant();
    return result;
}

// The number within the bounds that are set.
template <class Number>
Number bounded(Number value, const QVariant& minimum, const QVariant& maximum)
{
    if (minimum.isValid())
        value = qMax(value, minimum.value<Number>());
    if (maximum.isValid())
        value = qMin(value, maximum.value<Number>());
    return value;
}

QString colourText(const QColor& colour)
{
    if (!colour.isValid())
        return QString();
    return colour.name(colour.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

QString fontText(const QFont& font)
{
    const QString size = font.pointSizeF() > 0 ? QStringLiteral("%1 pt").arg(font.pointSizeF())
                                               : QStringLiteral("%1 px").arg(font.pixelSize());
    return QStringLiteral("%1, %2").arg(font.family(), size);
}

} // namespace

QtVariantPropertyManager::QtVariantPropertyManager(QObject* parent)
    : QtAbstractPropertyManager(parent)
{
}

QtVariantPropertyManager::~QtVariantPropertyManager()
{
    clear();
}

QtVariantProperty* QtVariantPropertyManager::addProperty(int propertyType, const QString& name)
{
    if (!isPropertyTypeSupported(propertyType))
        return nullptr;
    m_typeOfNextProperty = propertyType;
    QtProperty* property = QtAbstractPropertyManager::addProperty(name);
    m_typeOfNextProperty = QVariant::Invalid;
    return static_cast<QtVariantProperty*>(property);
}

bool QtVariantPropertyManager::isPropertyTypeSupported(int propertyType) const
{
    switch (propertyType) {
    case QVariant::Bool:
    case QVariant::Int:
    case QVariant::Double:
    case QVariant::String:
    case QVariant::Color:
    case QVariant::Font:
        return true;
    default:
        return false;
    }
}

int QtVariantPropertyManager::propertyType(const QtProperty* property) const
{
    return m_data.value(property).type;
}

QVariant QtVariantPropertyManager::value(const QtProperty* property) const
{
    return m_data.value(property).value;
}

QVariant QtVariantPropertyManager::attributeValue(const QtProperty* property, const QString& attribute) const
{
    const Data data = m_data.value(property);
    if (attribute == QLatin1String(kMinimum))
        return data.minimum;
    if (attribute == QLatin1String(kMaximum))
        return data.maximum;
    return QVariant();
}

bool QtVariantPropertyManager::hasValue(const QtProperty* property) const
{
    return propertyType(property) != QVariant::Invalid;
}

QString QtVariantPropertyManager::valueText(const QtProperty* property) const
{
    const Data data = m_data.value(property);
    switch (data.type) {
    case QVariant::Bool:
        return data.value.toBool() ? tr("True") : tr("False");
    case QVariant::Int:
        return QString::number(data.value.toInt());
    case QVariant::Double:
        return QString::number(data.value.toDouble(), 'f', 2);
    case QVariant::String:
        return data.value.toString();
    case QVariant::Color:
        return colourText(data.value.value<QColor>());
    case QVariant::Font:
        return fontText(data.value.value<QFont>());
    default:
        return QString();
    }
}

void QtVariantPropertyManager::setValue(QtProperty* property, const QVariant& value)
{
    auto it = m_data.find(property);
    if (it == m_data.end() || it->type == QVariant::Invalid)
        return;
    const QVariant newValue = normalized(*it, value);
    if (!newValue.isValid() || sameValue(it->type, newValue, it->value))
        return;
    storeValue(property, *it, newValue);
}

void QtVariantPropertyManager::setAttribute(QtProperty* property, const QString& attribute, const QVariant& value)
{
    auto it = m_data.find(property);
    if (it == m_data.end() || !isBoundedType(it->type))
        return;
    const QVariant bound = converted(it->type, value);
    if (!bound.isValid())
        return;
    // The bound just set wins over the other one, as spin boxes do.
    if (attribute == QLatin1String(kMinimum)) {
        it->minimum = bound;
        if (it->maximum.isValid() && it->maximum.toDouble() < bound.toDouble())
            it->maximum = bound;
    } else if (attribute == QLatin1String(kMaximum)) {
        it->maximum = bound;
        if (it->minimum.isValid() && it->minimum.toDouble() > bound.toDouble())
            it->minimum = bound;
    } else {
        return;
    }
    const QVariant inBounds = normalized(*it, it->value);
    if (!sameValue(it->type, inBounds, it->value))
        storeValue(property, *it, inBounds);
}

void QtVariantPropertyManager::initializeProperty(QtProperty* property)
{
    Data data;
    data.type = m_typeOfNextProperty;
    data.value = initialValue(data.type);
    m_data.insert(property, data);
}

void QtVariantPropertyManager::uninitializeProperty(QtProperty* property)
{
    m_data.remove(property);
}

QtProperty* QtVariantPropertyManager::createProperty()
{
    return new QtVariantProperty(this);
}

QVariant QtVariantPropertyManager::normalized(const Data& data, const QVariant& value)
{
    QVariant result = converted(data.type, value);
    if (!result.isValid() || !isBoundedType(data.type))
        return result;
    if (data.type == QVariant::Int)
        return bounded(result.toInt(), data.minimum, data.maximum);
    return bounded(result.toDouble(), data.minimum, data.maximum);
}

bool QtVariantPropertyManager::sameValue(int type, const QVariant& a, const QVariant& b)
{
    switch (type) {
    case QVariant::Double:
        // Exactly: a small step is a change too.
        return a.toDouble() == b.toDouble();
    case QVariant::Color: {
        // The same colour held as HSV or as RGB is the same colour.
        const QColor ca = a.value<QColor>();
        const QColor cb = b.value<QColor>();
        return ca.isValid() == cb.isValid() && (!ca.isValid() || ca.rgba() == cb.rgba());
    }
    default:
        return a == b;
    }
}

void QtVariantPropertyManager::storeValue(QtProperty* property, Data& data, const QVariant& value)
{
    data.value = value;
    const QVariant emitted = value;
    emit propertyChanged(property);
    emit valueChanged(property, emitted);
}
