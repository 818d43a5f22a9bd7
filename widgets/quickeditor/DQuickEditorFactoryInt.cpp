#include "DQuickEditorFactoryInt.h"

#include <QComboBox>
#include <QIntValidator>
#include <QSpinBox>

#include "DMetaProperty.h"
#include "DQuickEditorAdapterComboBoxInt.h"
#include "DQuickEditorAdapterSpinBox.h"

namespace {
const QString kItems = QStringLiteral("items");
const QString kMinimum = QStringLiteral("minimum");
const QString kMaximum = QStringLiteral("maximum");
const QString kSpinStep = QStringLiteral("spinStep");

// A combo box of the listed numbers; with limits the user may also type one.
QWidget* createComboBox(DQuickEditorWidget* strip, const DMetaProperty& property, const QVariant& value)
{
    const QMap<QString, QVariant>& options = property.options();
    QComboBox* box = new QComboBox;
    for (const QVariant& item : options.value(kItems).toList())
        box->addItem(QString::number(item.toInt()));
    box->setMaxVisibleItems(box->count());

    // Editable first: a combo box that is not editable drops its validator.
    const bool limited = options.contains(kMinimum) || options.contains(kMaximum);
    box->setEditable(limited);
    QIntValidator* validator = new QIntValidator(box);
    if (options.contains(kMinimum))
        validator->setBottom(options.value(kMinimum).toInt());
    if (options.contains(kMaximum))
        validator->setTop(options.value(kMaximum).toInt());
    box->setValidator(validator);
    if (limited)
        box->setEditText(value.toString());
    else
        box->setCurrentIndex(box->findText(QString::number(value.toInt())));
    box->setFixedWidth(DQuickEditorFactoryAbstract::editorWidth(property));
    box->setToolTip(property.label());

    auto* adapter = new DQuickEditorAdapterComboBoxInt(box, strip, property);
    QObject::connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), adapter,
                     [adapter, box](int index) { adapter->onTextChanged(box->itemText(index)); });
    QObject::connect(box, &QComboBox::editTextChanged, adapter, &DQuickEditorAdapterComboBoxInt::onTextChanged);
    return box;
}

QWidget* createSpinBox(DQuickEditorWidget* strip, const DMetaProperty& property, const QVariant& value)
{
    const QMap<QString, QVariant>& options = property.options();
    QSpinBox* spin = new QSpinBox;
    if (options.contains(kMinimum))
        spin->setMinimum(options.value(kMinimum).toInt());
    if (options.contains(kMaximum))
        spin->setMaximum(options.value(kMaximum).toInt());
    if (options.contains(kSpinStep))
        spin->setSingleStep(options.value(kSpinStep).toInt());
    spin->setValue(value.toInt());
    spin->setFixedWidth(DQuickEditorFactoryAbstract::editorWidth(property));
    spin->setToolTip(property.label());

    auto* adapter = new DQuickEditorAdapterSpinBox(spin, strip, property);
    QObject::connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), adapter,
                     &DQuickEditorAdapterSpinBox::onValueChanged);
    return spin;
}
}

DQuickEditorFactoryInt::DQuickEditorFactoryInt()
    : DQuickEditorFactoryAbstract(QVariant::Int)
{
}

QWidget* DQuickEditorFactoryInt::createEditor(DQuickEditorWidget* strip, const DMetaProperty& property,
                                              const QVariant& value)
{
    if (property.options().contains(kItems))
        return createComboBox(strip, property, value);
    return createSpinBox(strip, property, value);
}
