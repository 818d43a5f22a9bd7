#pragma once

#include "DQuickEditorFactoryAbstract.h"

// The quick editor of QVariant::Color properties: a colour button with a drop-down
// colour board, opened at the colour last chosen for the property.
class DQuickEditorFactoryColor : public DQuickEditorFactoryAbstract
{
public:
    DQuickEditorFactoryColor();

    QWidget* createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                          const QVariant& value) override;
};
