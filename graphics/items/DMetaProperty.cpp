#include "DMetaProperty.h"

#include <QObject>

DMetaProperty::DMetaProperty(const QMetaProperty& property, const QString& label, const QPixmap& icon,
                             const QFlags<EditorFlag>& flags)
    : m_property(property)
    , m_label(label)
    , m_editorFlags(flags)
    , m_width(1)
    , m_icon(icon)
{
}

DMetaProperty::DMetaProperty(const QMetaProperty& property, const QString& label,
                             const QFlags<EditorFlag>& flags, int width)
    : m_property(property)
    , m_label(label)
    , m_editorFlags(flags)
    , m_width(width)
{
}

bool DMetaProperty::operator==(const DMetaProperty& other) const
{
    return qstrcmp(m_property.name(), other.m_property.name()) == 0;
}

bool DMetaProperty::isEnabled(const QObject* object) const
{
    if (m_enableDependency.isEmpty())
        return true;
    const QVariant value = object->property(m_enableDependency.toLatin1().constData());
    if (value.type() == QVariant::Bool)
        return value.toBool();
    return true;
}

void DMetaProperty::setEnableDependency(const char* name)
{
    m_enableDependency = QString::fromLatin1(name);
}

void DMetaProperty::addOption(const QString& key, const QVariant& value)
{
    m_options.insert(key, value);
}
