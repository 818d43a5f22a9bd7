#include "DQuickEditorAdapterColor.h"

DQuickEditorAdapterColor::DQuickEditorAdapterColor(QWidget* editor, DQuickEditorWidget* strip,
                                                   const DMetaProperty& property, const QVariant& current)
    : DQuickEditorAdapterAbstract(editor, strip, property)
    , m_current(current)
{
}

void DQuickEditorAdapterColor::onDataSelected(const QVariant& value)
{
    m_current = value;
    propertyChanged(m_current);
}

void DQuickEditorAdapterColor::onDefaultDataSelected()
{
    propertyChanged(m_current);
}
