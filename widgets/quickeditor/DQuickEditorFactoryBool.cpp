#include "DQuickEditorFactoryBool.h"

#include <QIcon>
#include <QToolButton>

#include "DMetaProperty.h"
#include "DQuickEditorAdapterBool.h"

DQuickEditorFactoryBool::DQuickEditorFactoryBool()
    : DQuickEditorFactoryAbstract(QVariant::Bool)
{
}

QWidget* DQuickEditorFactoryBool::createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                                               const QVariant& value)
{
    QToolButton* button = new QToolButton;
    button->setText(property.label());
    button->setToolTip(property.label());
    button->setAutoRaise(true);
    button->setIcon(QIcon(property.icon()));
    button->setCheckable(true);
    button->setChecked(value.toBool());

    auto* adapter = new DQuickEditorAdapterBool(button, strip, property);
    QObject::connect(button, &QToolButton::clicked, adapter, &DQuickEditorAdapterBool::onClicked);
    return button;
}
