#include "DQuickEditorFactoryAbstract.h"

#include "DMetaProperty.h"

namespace {
const int kPixelsPerWidthUnit = 20;
}

DQuickEditorFactoryAbstract::DQuickEditorFactoryAbstract(QVariant::Type type)
    : m_type(type)
{
}

DQuickEditorFactoryAbstract::~DQuickEditorFactoryAbstract() = default;

int DQuickEditorFactoryAbstract::editorWidth(const DMetaProperty& property)
{
    return property.width() * kPixelsPerWidthUnit;
}
