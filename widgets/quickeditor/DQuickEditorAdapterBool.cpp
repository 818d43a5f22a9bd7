#include "DQuickEditorAdapterBool.h"

void DQuickEditorAdapterBool::onClicked(bool checked)
{
    propertyChanged(QVariant(checked));
}
