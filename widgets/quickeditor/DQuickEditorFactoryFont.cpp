#include "DQuickEditorFactoryFont.h"

#include <QFontComboBox>

#include "DMetaProperty.h"
#include "DQuickEditorAdapterFont.h"
#include "DQuickEditorWidget.h"

DQuickEditorFactoryFont::DQuickEditorFactoryFont()
    : DQuickEditorFactoryAbstract(QVariant::Font)
{
}

QWidget* DQuickEditorFactoryFont::createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                                               const QVariant& value)
{
    QFontComboBox* box = new QFontComboBox(strip);
    box->setCurrentFont(value.canConvert<QFont>() ? value.value<QFont>() : QFont());
    box->setFixedWidth(editorWidth(property));
    box->setToolTip(property.label());

    auto* adapter = new DQuickEditorAdapterFont(box, strip, property);
    QObject::connect(box, &QFontComboBox::currentFontChanged, adapter,
                     &DQuickEditorAdapterFont::onCurrentFontChanged);
    return box;
}
