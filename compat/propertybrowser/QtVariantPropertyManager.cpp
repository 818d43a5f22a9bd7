#include "QtVariantPropertyManager.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

#include <climits>
#include <cmath>

#include "DPropertyLocale.h"
#include "QtVariantProperty.h"

// Stands for enumerations among the QVariant types.
struct QtEnumPropertyType
{
};
Q_DECLARE_METATYPE(QtEnumPropertyType)

namespace {

const char* const kMinimum = "minimum";
const char* const kMaximum = "maximum";
const char* const kEnumNames = "enumNames";

const int kSwatchSize = 16;
const int kChannelMaximum = 255;

enum ColourPart { Red, Green, Blue, Alpha };
enum FontPart { Family, PointSize, Bold, Italic, Underline, Strikeout };

bool isBoundedType(int type)
{
    return type == QVariant::Int || type == QVariant::Double;
}

QVariant initialValue(int type)
{
    if (type == QtVariantPropertyManager::enumTypeId())
        return 0;
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
    const QLocale locale = DPropertyLocale::numbers();
    // In full: a plain number shows six digits at most.
    const QString points = locale.toString(font.pointSizeF(), 'f', QLocale::FloatingPointShortest);
    const QString size = font.pointSizeF() > 0 ? QStringLiteral("%1 pt").arg(points)
                                               : QStringLiteral("%1 px").arg(locale.toString(font.pixelSize()));
    return QStringLiteral("%1, %2").arg(font.family(), size);
}

int pointSizeOf(const QFont& font)
{
    // A font set in pixels shows the size it comes out in.
    return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
}

// The colour over a chequered ground, which shows through where it is
// translucent, in a thin frame.
QIcon swatch(const QColor& colour)
{
    if (!colour.isValid())
        return QIcon();
    QPixmap pixmap(kSwatchSize, kSwatchSize);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const int square = kSwatchSize / 4;
    for (int y = 0; y < kSwatchSize; y += square) {
        for (int x = (y / square % 2) * square; x < kSwatchSize; x += 2 * square)
            painter.fillRect(x, y, square, square, Qt::lightGray);
    }
    painter.fillRect(pixmap.rect(), colour);
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

// The style's check box, as a check box widget shows the value.
QIcon checkBox(bool checked)
{
    // Without a widget application there is no style to draw with.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QIcon();
    QStyle* style = QApplication::style();
    QStyleOptionButton option;
    option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    option.rect = QRect(0, 0, style->pixelMetric(QStyle::PM_IndicatorWidth),
                        style->pixelMetric(QStyle::PM_IndicatorHeight));
    option.palette = QApplication::palette();
    QPixmap pixmap(option.rect.size());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    painter.end();
    return QIcon(pixmap);
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

int QtVariantPropertyManager::enumTypeId()
{
    return qMetaTypeId<QtEnumPropertyType>();
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
        return propertyType == enumTypeId();
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
    if (attribute == QLatin1String(kEnumNames) && data.type == enumTypeId())
        return data.enumNames;
    return QVariant();
}

bool QtVariantPropertyManager::hasValue(const QtProperty* property) const
{
    return propertyType(property) != QVariant::Invalid;
}

QString QtVariantPropertyManager::valueText(const QtProperty* property) const
{
    const Data data = m_data.value(property);
    if (data.type == enumTypeId())
        return data.enumNames.value(data.value.toInt());
    switch (data.type) {
    case QVariant::Int:
        return DPropertyLocale::numbers().toString(data.value.toInt());
    case QVariant::Double:
        return DPropertyLocale::numbers().toString(data.value.toDouble(), 'f', 2);
    case QVariant::String:
        return data.value.toString();
    case QVariant::Color:
        return colourText(data.value.value<QColor>());
    case QVariant::Font:
        return fontText(data.value.value<QFont>());
    default:
        // A bool shows its check box only.
        return QString();
    }
}

QIcon QtVariantPropertyManager::valueIcon(const QtProperty* property) const
{
    const Data data = m_data.value(property);
    switch (data.type) {
    case QVariant::Bool:
        return checkBox(data.value.toBool());
    case QVariant::Color:
        return swatch(data.value.value<QColor>());
    default:
        return QIcon();
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
    if (QtProperty* owner = it->owner) {
        setValue(owner, withPart(m_data.value(owner), it->part, newValue));
        // A part that its owner's value cannot take shows the owner's again.
        showParts(owner);
        return;
    }
    storeValue(property, *it, newValue);
}

void QtVariantPropertyManager::setAttribute(QtProperty* property, const QString& attribute, const QVariant& value)
{
    auto it = m_data.find(property);
    if (it == m_data.end())
        return;
    if (it->type == enumTypeId() && attribute == QLatin1String(kEnumNames)) {
        it->enumNames = value.toStringList();
        emit propertyChanged(property);
        const QVariant inRange = normalized(*it, it->value);
        if (inRange.isValid() && !sameValue(it->type, inRange, it->value))
            storeValue(property, *it, inRange);
        return;
    }
    if (!isBoundedType(it->type))
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
    addParts(property, data.type);
}

void QtVariantPropertyManager::uninitializeProperty(QtProperty* property)
{
    const Data data = m_data.take(property);
    if (data.owner) {
        auto owner = m_data.find(data.owner);
        if (owner != m_data.end())
            owner->parts.replace(data.part, nullptr);
    }
    for (QtProperty* part : data.parts) {
        if (part) {
            m_data[part].owner = nullptr;
            delete part;
        }
    }
}

QtProperty* QtVariantPropertyManager::createProperty()
{
    return new QtVariantProperty(this);
}

void QtVariantPropertyManager::addParts(QtProperty* owner, int type)
{
    if (type == QVariant::Color) {
        addPart(owner, Red, QVariant::Int, tr("Red"), 0, kChannelMaximum);
        addPart(owner, Green, QVariant::Int, tr("Green"), 0, kChannelMaximum);
        addPart(owner, Blue, QVariant::Int, tr("Blue"), 0, kChannelMaximum);
        addPart(owner, Alpha, QVariant::Int, tr("Alpha"), 0, kChannelMaximum);
    } else if (type == QVariant::Font) {
        addPart(owner, Family, enumTypeId(), tr("Family"), 0, 0);
        m_data[m_data.value(owner).parts.at(Family)].enumNames = QFontDatabase().families();
        addPart(owner, PointSize, QVariant::Int, tr("Point Size"), 1, INT_MAX);
        addPart(owner, Bold, QVariant::Bool, tr("Bold"), 0, 0);
        addPart(owner, Italic, QVariant::Bool, tr("Italic"), 0, 0);
        addPart(owner, Underline, QVariant::Bool, tr("Underline"), 0, 0);
        addPart(owner, Strikeout, QVariant::Bool, tr("Strikeout"), 0, 0);
    } else {
        return;
    }
    showParts(owner);
}

void QtVariantPropertyManager::addPart(QtProperty* owner, int part, int type, const QString& name, int minimum,
                                       int maximum)
{
    QtProperty* property = addProperty(type, name);
    Data& data = m_data[property];
    data.owner = owner;
    data.part = part;
    if (type == QVariant::Int) {
        data.minimum = minimum;
        data.maximum = maximum;
        data.value = minimum;
    }
    m_data[owner].parts.append(property);
    owner->addSubProperty(property);
}

void QtVariantPropertyManager::showParts(const QtProperty* owner)
{
    const Data ownerData = m_data.value(owner);
    if (ownerData.type == QVariant::Font) {
        // A family that is not installed is still the font's: it joins the
        // list it is chosen from.
        const QString family = ownerData.value.value<QFont>().family();
        QtProperty* familyProperty = ownerData.parts.value(Family);
        auto familyPart = m_data.find(familyProperty);
        if (familyPart != m_data.end() && !familyPart->enumNames.contains(family)) {
            familyPart->enumNames.append(family);
            emit propertyChanged(familyProperty);
        }
    }
    for (int part = 0; part < ownerData.parts.count(); ++part) {
        QtProperty* property = ownerData.parts.at(part);
        auto it = m_data.find(property);
        if (it == m_data.end())
            continue;
        const QVariant shown = normalized(*it, partValue(ownerData, part));
        if (shown.isValid() && !sameValue(it->type, shown, it->value))
            storeValue(property, *it, shown);
    }
}

QVariant QtVariantPropertyManager::partValue(const Data& owner, int part) const
{
    if (owner.type == QVariant::Color) {
        const QColor colour = owner.value.value<QColor>();
        const int channels[] = {colour.red(), colour.green(), colour.blue(), colour.alpha()};
        return channels[part];
    }
    const QFont font = owner.value.value<QFont>();
    switch (part) {
    case Family:
        return familyNames(owner).indexOf(font.family());
    case PointSize:
        return pointSizeOf(font);
    case Bold:
        return font.bold();
    case Italic:
        return font.italic();
    case Underline:
        return font.underline();
    default:
        return font.strikeOut();
    }
}

QVariant QtVariantPropertyManager::withPart(const Data& owner, int part, const QVariant& value) const
{
    if (owner.type == QVariant::Color) {
        const QColor colour = owner.value.value<QColor>();
        int channels[] = {colour.red(), colour.green(), colour.blue(), colour.alpha()};
        channels[part] = value.toInt();
        return QColor(channels[Red], channels[Green], channels[Blue], channels[Alpha]);
    }
    QFont font = owner.value.value<QFont>();
    switch (part) {
    case Family:
        font.setFamily(familyNames(owner).value(value.toInt(), font.family()));
        break;
    case PointSize:
        font.setPointSize(value.toInt());
        break;
    case Bold:
        font.setBold(value.toBool());
        break;
    case Italic:
        font.setItalic(value.toBool());
        break;
    case Underline:
        font.setUnderline(value.toBool());
        break;
    default:
        font.setStrikeOut(value.toBool());
        break;
    }
    return font;
}

QStringList QtVariantPropertyManager::familyNames(const Data& owner) const
{
    return m_data.value(owner.parts.value(Family)).enumNames;
}

QVariant QtVariantPropertyManager::normalized(const Data& data, const QVariant& value)
{
    if (data.type == enumTypeId()) {
        // An index into the names, so an enumeration without names has none.
        const QVariant index = converted(QVariant::Int, value);
        if (!index.isValid() || data.enumNames.isEmpty())
            return QVariant();
        return qBound(0, index.toInt(), data.enumNames.count() - 1);
    }
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
    // The sub-properties show their parts of it before anyone hears of it.
    showParts(property);
    emit propertyChanged(property);
    emit valueChanged(property, emitted);
}
