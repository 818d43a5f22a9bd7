#include "DQuickEditorAdapterSpinBox.h"

void DQuickEditorAdapterSpinBox::onValueChanged(int value)
{
    propertyChanged(QVariant(value));
}
