#include "DQuickEditorAdapterFont.h"

void DQuickEditorAdapterFont::onCurrentFontChanged(const QFont& font)
{
    propertyChanged(QVariant(font));
}
