#pragma once

#include "DQuickEditorFactoryAbstract.h"

// The quick editor of QVariant::Int properties: a combo box of the numbers
// in the property's "items" option, else a spin box.
class DQuickEditorFactoryInt : public DQuickEditorFactoryAbstract
{
public:
    DQuickEditorFactoryInt();

    QWidget* createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                          const QVariant& value) override;
};
