#pragma once

#include "DQuickEditorFactoryAbstract.h"

// The quick editor of QVariant::Font properties: a font box.
class DQuickEditorFactoryFont : public DQuickEditorFactoryAbstract
{
public:
    DQuickEditorFactoryFont();

    QWidget* createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                          const QVariant& value) override;
};
