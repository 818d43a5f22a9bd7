#include "DQuickEditorAdapterComboBoxInt.h"

void DQuickEditorAdapterComboBoxInt::onTextChanged(const QString& text)
{
    // A text that is no number (an empty box) writes 0.
    propertyChanged(QVariant(text.toInt()));
}
