#ifndef DMETAPROPERTYLIST_H
#define DMETAPROPERTYLIST_H

#include <QList>

#include "DMetaProperty.h"

// The editable properties of one item class: the shown entries, in the order
// editors are built, and the entries a subclass hid (kept so that a further
// subclass can bring them back).
class DMetaPropertyList
{
public:
    DMetaProperty& addProperty(const QMetaObject& meta, const char* name, const QString& label,
                               const QFlags<DMetaProperty::EditorFlag>& flags, int width);
    DMetaProperty& addProperty(const QMetaObject& meta, const char* name, const QString& label,
                               const QPixmap& icon, const QFlags<DMetaProperty::EditorFlag>& flags);

    bool hide(const char* name);
    bool unhide(const char* name);
    // Keeps the shown entries that other shows too, in this list's order.
    void intersect(const DMetaPropertyList& other);

    const QList<DMetaProperty>& shown() const { return m_shown; }
    const QList<DMetaProperty>& hidden() const { return m_hidden; }

private:
    QList<DMetaProperty> m_shown;
    QList<DMetaProperty> m_hidden;
};

#endif // DMETAPROPERTYLIST_H
