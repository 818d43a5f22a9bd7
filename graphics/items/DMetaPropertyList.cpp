#include "DMetaPropertyList.h"

#include <QMetaObject>

namespace {

int indexOfName(const QList<DMetaProperty>& list, const char* name)
{
    for (int i = 0; i < list.size(); ++i) {
        if (qstrcmp(list.at(i).name(), name) == 0)
            return i;
    }
    return -1;
}

} // namespace

DMetaProperty& DMetaPropertyList::addProperty(const QMetaObject& meta, const char* name, const QString& label,
                                              const QFlags<DMetaProperty::EditorFlag>& flags, int width)
{
    m_shown.append(DMetaProperty(meta.property(meta.indexOfProperty(name)), label, flags, width));
    return m_shown.last();
}

DMetaProperty& DMetaPropertyList::addProperty(const QMetaObject& meta, const char* name, const QString& label,
                                              const QPixmap& icon, const QFlags<DMetaProperty::EditorFlag>& flags)
{
    m_shown.append(DMetaProperty(meta.property(meta.indexOfProperty(name)), label, icon, flags));
    return m_shown.last();
}

bool DMetaPropertyList::hide(const char* name)
{
    const int i = indexOfName(m_shown, name);
    if (i < 0)
        return false;
    m_hidden.append(m_shown.takeAt(i));
    return true;
}

bool DMetaPropertyList::unhide(const char* name)
{
    const int i = indexOfName(m_hidden, name);
    if (i < 0)
        return false;
    const DMetaProperty entry = m_hidden.takeAt(i);
    // Back to its declaration place: before the first shown entry declared later.
    int at = m_shown.size();
    for (int k = 0; k < m_shown.size(); ++k) {
        if (m_shown.at(k).property().propertyIndex() > entry.property().propertyIndex()) {
            at = k;
            break;
        }
    }
    m_shown.insert(at, entry);
    return true;
}

void DMetaPropertyList::intersect(const DMetaPropertyList& other)
{
    QList<DMetaProperty> kept;
    for (const DMetaProperty& entry : qAsConst(m_shown)) {
        if (other.m_shown.contains(entry))
            kept.append(entry);
    }
    m_shown = kept;
    m_hidden.clear();
}
