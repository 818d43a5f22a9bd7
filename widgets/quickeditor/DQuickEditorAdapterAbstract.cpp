#include "DQuickEditorAdapterAbstract.h"

#include <QWidget>

#include "DQuickEditorWidget.h"

DQuickEditorAdapterAbstract::DQuickEditorAdapterAbstract(QWidget* editor, DQuickEditorWidget* strip,
                                                         const DMetaProperty& property)
    : QObject(editor)
    , m_pStrip(strip)
    , m_property(property)
{
}

void DQuickEditorAdapterAbstract::propertyChanged(const QVariant& value)
{
    if (m_pStrip)
        m_pStrip->propertyChanged(m_property, value);
}
