#include "DQuickEditorFactoryColor.h"

#include <QColor>
#include <QToolButton>

#include "DButtonBoardColorWithNoFill.h"
#include "DConfig.h"
#include "DMetaProperty.h"
#include "DQuickEditorAdapterColor.h"

namespace {
// The colour the editor opens with: the one last chosen for a property of
// this name, else the item's own. A stored value that is no colour is passed
// over rather than written into the items.
QVariant initialColor(const DMetaProperty& property, const QVariant& value)
{
    const QVariant recent = DConfig::_instance()->propertyValue(QString::fromLatin1(property.name()));
    const QColor colour = recent.isValid() ? recent.value<QColor>() : QColor();
    if (colour.isValid())
        return colour;
    return value;
}
}

DQuickEditorFactoryColor::DQuickEditorFactoryColor()
    : DQuickEditorFactoryAbstract(QVariant::Color)
{
}

QWidget* DQuickEditorFactoryColor::createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                                                const QVariant& value)
{
    const QVariant initial = initialColor(property, value);
    QToolButton* button = new QToolButton;
    DButtonBoardColor* board = nullptr;
    if (property.options().contains(QStringLiteral("colorNoFill")))
        board = new DButtonBoardColorWithNoFill(button, initial, property.icon());
    else
        board = new DButtonBoardColor(button, initial, property.icon());
    button->setText(property.label());
    button->setToolTip(property.label());
    button->setAutoRaise(true);

    auto* adapter = new DQuickEditorAdapterColor(button, strip, property, initial);
    QObject::connect(board, &DButtonBoard::dataSelected, adapter, &DQuickEditorAdapterColor::onDataSelected);
    QObject::connect(button, &QToolButton::clicked, adapter, &DQuickEditorAdapterColor::onDefaultDataSelected);
    return button;
}
