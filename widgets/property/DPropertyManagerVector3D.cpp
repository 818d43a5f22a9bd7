#include "DPropertyManagerVector3D.h"

#include <QScopedValueRollback>

#include <cfloat>
#include <cmath>

#include "DPropertyLocale.h"
#include "DWidgetPropertyBrowser.h"
#include "QtVariantProperty.h"
#include "QtVariantPropertyManager.h"

namespace {

bool isFinite(const QVector3D& v)
{
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

// What stands between x and y in the text of a vector: where a comma is the
// decimal point, a comma between the numbers would run them together.
QString componentSeparator(const QLocale& locale)
{
    return locale.decimalPoint() == QLatin1Char(',') ? QStringLiteral("; ") : QStringLiteral(", ");
}

} // namespace

DPropertyManagerVector3D::DPropertyManagerVector3D(QtVariantPropertyManager* subPropertyManager, QObject* parent)
    : QtAbstractPropertyManager(parent)
    , m_subPropertyManager(subPropertyManager)
{
    if (subPropertyManager) {
        connect(subPropertyManager, &QtVariantPropertyManager::valueChanged, this,
                &DPropertyManagerVector3D::onDoubleChanged);
        connect(subPropertyManager, &QtAbstractPropertyManager::propertyDestroyed, this,
                &DPropertyManagerVector3D::onPropertyDestroyed);
    }
}

DPropertyManagerVector3D::~DPropertyManagerVector3D()
{
    clear();
}

bool DPropertyManagerVector3D::hasValue(const QtProperty* property) const
{
    return m_values.contains(property);
}

QString DPropertyManagerVector3D::valueText(const QtProperty* property) const
{
    if (!m_values.contains(property))
        return tr("undefined");
    if (isPropertyVarious(property))
        return s_VARIOUS;
    return valueToText(m_values.value(property).value);
}

QVector3D DPropertyManagerVector3D::value(const QtProperty* property) const
{
    return m_values.value(property).value;
}

bool DPropertyManagerVector3D::fitsFloat(double value)
{
    return std::isfinite(value) && std::fabs(value) <= double(FLT_MAX);
}

QString DPropertyManagerVector3D::valueToText(const QVector3D& value)
{
    const QLocale locale = DPropertyLocale::numbers();
    return QStringLiteral("(%1%2%3)")
        .arg(locale.toString(double(value.x()), 'f', 2), componentSeparator(locale),
             locale.toString(double(value.y()), 'f', 2));
}

void DPropertyManagerVector3D::setValue(QtProperty* property, const QVector3D& value)
{
    auto it = m_values.find(property);
    if (it == m_values.end() || !isFinite(value))
        return;
    // A various row still holds the vector of an earlier selection; entering
    // that very vector must reach the items as well.
    if (it->isSet && it->value == value && !isPropertyVarious(property))
        return;
    it->value = value;
    it->isSet = true;
    showComponent(m_xOf.value(property), value.x());
    showComponent(m_yOf.value(property), value.y());
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

void DPropertyManagerVector3D::onDoubleChanged(QtProperty* subProperty, const QVariant& value)
{
    if (m_showingComponents || value.type() != QVariant::Double)
        return;
    QtProperty* owner = m_ownerOfX.value(subProperty);
    const bool isX = owner != nullptr;
    if (!owner)
        owner = m_ownerOfY.value(subProperty);
    if (!owner)
        return;
    QVector3D vector = m_values.value(owner).value;
    if (!fitsFloat(value.toDouble())) {
        // Out of a component's range: the sub-row shows the component again.
        showComponent(subProperty, isX ? vector.x() : vector.y());
        return;
    }
    if (isX)
        vector.setX(float(value.toDouble()));
    else
        vector.setY(float(value.toDouble()));
    setValue(owner, vector);
}

void DPropertyManagerVector3D::onPropertyDestroyed(QtProperty* subProperty)
{
    if (const QtProperty* owner = m_ownerOfX.take(subProperty)) {
        m_xOf[owner] = nullptr;
    } else if (const QtProperty* owner = m_ownerOfY.take(subProperty)) {
        m_yOf[owner] = nullptr;
    }
}

void DPropertyManagerVector3D::initializeProperty(QtProperty* property)
{
    m_values.insert(property, Data());
    if (!m_subPropertyManager)
        return;
    addComponent(property, tr("X"), m_xOf, m_ownerOfX);
    addComponent(property, tr("Y"), m_yOf, m_ownerOfY);
}

void DPropertyManagerVector3D::uninitializeProperty(QtProperty* property)
{
    deleteComponent(property, m_xOf, m_ownerOfX);
    deleteComponent(property, m_yOf, m_ownerOfY);
    m_values.remove(property);
    setPropertyVarious(property, false);
}

void DPropertyManagerVector3D::addComponent(QtProperty* row, const QString& name,
                                            QMap<const QtProperty*, QtProperty*>& componentOf,
                                            QMap<const QtProperty*, QtProperty*>& ownerOf)
{
    QtVariantProperty* component = m_subPropertyManager->addProperty(QVariant::Double, name);
    component->setValue(0.0);
    componentOf.insert(row, component);
    ownerOf.insert(component, row);
    row->addSubProperty(component);
}

void DPropertyManagerVector3D::deleteComponent(const QtProperty* row, QMap<const QtProperty*, QtProperty*>& componentOf,
                                               QMap<const QtProperty*, QtProperty*>& ownerOf)
{
    QtProperty* component = componentOf.take(row);
    if (!component)
        return;
    ownerOf.remove(component);
    delete component;
}

void DPropertyManagerVector3D::showComponent(QtProperty* subProperty, float component)
{
    if (!subProperty || !m_subPropertyManager)
        return;
    const QScopedValueRollback<bool> showing(m_showingComponents, true);
    m_subPropertyManager->setValue(subProperty, double(component));
}
