#pragma once

#include "DQuickEditorFactoryAbstract.h"

// The quick editor of QVariant::Bool properties: a check button.
class DQuickEditorFactoryBool : public DQuickEditorFactoryAbstract
{
public:
    DQuickEditorFactoryBool();

    QWidget* createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                          const QVariant& value) override;
};
