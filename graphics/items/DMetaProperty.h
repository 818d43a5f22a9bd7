#ifndef DMETAPROPERTY_H
#define DMETAPROPERTY_H

#include <QFlags>
#include <QMap>
#include <QMetaProperty>
#include <QPixmap>
#include <QString>
#include <QVariant>

class QObject;

// How one Qt property of an item class is offered to the user: its label,
// icon, the editors that show it, their limits and an enabling property.
class DMetaProperty
{
public:
    enum EditorFlag {
        QuickEditor = 0x1,
        PropertyBrowser = 0x2,
    };
    Q_DECLARE_FLAGS(EditorFlags, EditorFlag)

    DMetaProperty(const QMetaProperty& property, const QString& label, const QPixmap& icon,
                  const QFlags<EditorFlag>& flags);
    DMetaProperty(const QMetaProperty& property, const QString& label, const QFlags<EditorFlag>& flags,
                  int width);

    // Entries are the same when they describe the same property name.
    bool operator==(const DMetaProperty& other) const;
    bool operator!=(const DMetaProperty& other) const { return !(*this == other); }

    bool isEnabled(const QObject* object) const;
    void setEnableDependency(const char* name);
    void addOption(const QString& key, const QVariant& value);

    const QMetaProperty& property() const { return m_property; }
    const char* name() const { return m_property.name(); }
    const QString& label() const { return m_label; }
    const QString& enableDependency() const { return m_enableDependency; }
    QFlags<EditorFlag> editorFlags() const { return m_editorFlags; }
    int width() const { return m_width; }
    const QMap<QString, QVariant>& options() const { return m_options; }
    const QPixmap& icon() const { return m_icon; }

private:
    QMetaProperty m_property;
    QString m_label;
    QString m_enableDependency;
    QFlags<EditorFlag> m_editorFlags;
    int m_width;
    QMultiMap<QString, QVariant> m_options; // a repeated key keeps both values
    QPixmap m_icon;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DMetaProperty::EditorFlags)

#endif // DMETAPROPERTY_H
