#include "QtVariantEditorFactory.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cfloat>
#include <climits>

#include "DPropertyCheckBox.h"
#include "DPropertyColorEditor.h"
#include "DPropertyFontEditor.h"
#include "DPropertyLocale.h"
#include "DPropertySpinBox.h"

namespace {

const int kDoubleDecimals = 2;
// Set on a spin box while it holds text the user typed and has not finished.
const char* const kTypedProperty = "zorvelTypedEntry";

template <class SpinBox, class Number>
void setBounds(SpinBox* spin, const QVariant& minimum, const QVariant& maximum, Number lowest, Number highest)
{
    spin->setRange(minimum.isValid() ? minimum.value<Number>() : lowest,
                   maximum.isValid() ? maximum.value<Number>() : highest);
}

} // namespace

QtVariantEditorFactory::QtVariantEditorFactory(QObject* parent)
    : QtAbstractEditorFactory<QtVariantPropertyManager>(parent)
{
}

QtVariantEditorFactory::~QtVariantEditorFactory()
{
    const QList<const QWidget*> editors = m_propertyOf.keys();
    for (const QWidget* editor : editors)
        delete editor;
}

void QtVariantEditorFactory::connectPropertyManager(QtVariantPropertyManager* manager)
{
    connect(manager, &QtVariantPropertyManager::valueChanged, this, &QtVariantEditorFactory::onValueChanged);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this, &QtVariantEditorFactory::onPropertyDestroyed);
}

void QtVariantEditorFactory::disconnectPropertyManager(QtVariantPropertyManager* manager)
{
    disconnect(manager, &QtVariantPropertyManager::valueChanged, this, &QtVariantEditorFactory::onValueChanged);
    disconnect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
               &QtVariantEditorFactory::onPropertyDestroyed);
}

QWidget* QtVariantEditorFactory::createEditor(QtVariantPropertyManager* manager, QtProperty* property, QWidget* parent)
{
    QWidget* editor = makeEditor(manager->propertyType(property), manager, property, parent);
    if (!editor)
        return nullptr;
    // The cell's own text must not show through; a check box lets the cell's
    // own check box show.
    editor->setAutoFillBackground(!qobject_cast<DPropertyCheckBox*>(editor));
    track(editor, property);
    showValue(editor, manager, property);
    return editor;
}

QWidget* QtVariantEditorFactory::makeEditor(int type, const QtVariantPropertyManager* manager,
                                            const QtProperty* property, QWidget* parent)
{
    const QVariant minimum = manager->attributeValue(property, QStringLiteral("minimum"));
    const QVariant maximum = manager->attributeValue(property, QStringLiteral("maximum"));
    if (type == QtVariantPropertyManager::enumTypeId()) {
        QComboBox* box = new QComboBox(parent);
        box->addItems(manager->attributeValue(property, QStringLiteral("enumNames")).toStringList());
        connect(box, qOverload<int>(&QComboBox::activated), this, [this, box](int index) { commit(box, index); });
        return box;
    }
    switch (type) {
    case QVariant::Bool: {
        DPropertyCheckBox* box = new DPropertyCheckBox(parent);
        // Clicked, not toggled: showing a value toggles the box too, and
        // must not write it back.
        connect(box, &QCheckBox::clicked, this, [this, box](bool on) { commit(box, on); });
        return box;
    }
    case QVariant::Int: {
        QSpinBox* spin = new DPropertySpinBox<QSpinBox>(parent);
        spin->setLocale(DPropertyLocale::numbers());
        setBounds(spin, minimum, maximum, INT_MIN, INT_MAX);
        spin->setKeyboardTracking(false);
        connect(spin, qOverload<int>(&QSpinBox::valueChanged), this, [this, spin](int v) { commit(spin, v); });
        commitTypedEntries(spin);
        return spin;
    }
    case QVariant::Double: {
        QDoubleSpinBox* spin = new DPropertySpinBox<QDoubleSpinBox>(parent);
        spin->setLocale(DPropertyLocale::numbers());
        spin->setDecimals(kDoubleDecimals);
        setBounds(spin, minimum, maximum, -DBL_MAX, DBL_MAX);
        spin->setKeyboardTracking(false);
        connect(spin, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                [this, spin](double v) { commit(spin, v); });
        commitTypedEntries(spin);
        return spin;
    }
    case QVariant::String: {
        QLineEdit* edit = new QLineEdit(parent);
        // A line editor holds 32767 characters unless told otherwise; a longer
        // text would be cut by the first edit.
        edit->setMaxLength(INT_MAX);
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
            if (!edit->isModified())
                return;
            edit->setModified(false);
            commit(edit, edit->text());
        });
        return edit;
    }
    case QVariant::Color: {
        DPropertyColorEditor* cell = new DPropertyColorEditor(parent);
        connect(cell, &DPropertyDialogEditor::valueChosen, this, [this, cell](const QVariant& v) { commit(cell, v); });
        return cell;
    }
    case QVariant::Font: {
        DPropertyFontEditor* cell = new DPropertyFontEditor(parent);
        connect(cell, &DPropertyDialogEditor::valueChosen, this, [this, cell](const QVariant& v) { commit(cell, v); });
        return cell;
    }
    default:
        return nullptr;
    }
}

void QtVariantEditorFactory::commitTypedEntries(QAbstractSpinBox* spin)
{
    // A spin box signals only a value that differs from the one it shows, but
    // what it shows may stand for more than one value (a manager may show one
    // value for several that differ): a number the user typed is committed
    // when the user finishes, and the manager decides whether it is a change.
    // Leaving a spin box without typing commits nothing.
    QLineEdit* text = spin->findChild<QLineEdit*>();
    if (!text)
        return;
    connect(text, &QLineEdit::textEdited, spin, [spin] { spin->setProperty(kTypedProperty, true); });
    connect(spin, &QAbstractSpinBox::editingFinished, this, [this, spin] {
        if (!spin->property(kTypedProperty).toBool())
            return;
        spin->setProperty(kTypedProperty, false);
        commit(spin, spin->property("value"));
    });
}

void QtVariantEditorFactory::track(QWidget* editor, QtProperty* property)
{
    m_editors[property].append(editor);
    m_propertyOf.insert(editor, property);
    // Only the pointer is used once the editor is being destroyed.
    connect(editor, &QObject::destroyed, this, [this, editor] { forget(editor); });
}

void QtVariantEditorFactory::forget(QWidget* editor)
{
    QtProperty* property = m_propertyOf.take(editor);
    auto it = m_editors.find(property);
    if (it == m_editors.end())
        return;
    it->removeAll(editor);
    if (it->isEmpty())
        m_editors.erase(it);
}

void QtVariantEditorFactory::commit(QWidget* editor, const QVariant& value)
{
    // An editor whose property has gone writes nothing.
    QtProperty* property = m_propertyOf.value(editor);
    if (QtVariantPropertyManager* manager = propertyManager(property))
        manager->setValue(property, value);
}

void QtVariantEditorFactory::showValue(QWidget* editor, const QtVariantPropertyManager* manager,
                                       const QtProperty* property)
{
    // A property without one value to show (its manager shows a text of its
    // own in its place) opens its editor on that text: empty, with the text
    // where a value would stand.
    const QVariant value = manager->value(property);
    const QString placeholder = value.isValid() ? QString() : manager->valueText(property);
    const QSignalBlocker quiet(editor);
    if (QCheckBox* box = qobject_cast<QCheckBox*>(editor)) {
        box->setChecked(value.toBool());
    } else if (QAbstractSpinBox* spin = qobject_cast<QAbstractSpinBox*>(editor)) {
        if (value.isValid())
            spin->setProperty("value", value);
        else
            spin->clear();
        if (QLineEdit* text = spin->findChild<QLineEdit*>())
            text->setPlaceholderText(placeholder);
    } else if (QLineEdit* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(value.toString());
        edit->setPlaceholderText(placeholder);
        edit->setModified(false);
    } else if (QComboBox* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(value.isValid() ? value.toInt() : -1);
    } else if (DPropertyDialogEditor* cell = qobject_cast<DPropertyDialogEditor*>(editor)) {
        cell->setValue(value, manager->valueText(property), manager->valueIcon(property));
    }
}

void QtVariantEditorFactory::onValueChanged(QtProperty* property, const QVariant&)
{
    QtVariantPropertyManager* manager = propertyManager(property);
    if (!manager)
        return;
    const QList<QWidget*> editors = m_editors.value(property);
    for (QWidget* editor : editors)
        showValue(editor, manager, property);
}

void QtVariantEditorFactory::onPropertyDestroyed(QtProperty* property)
{
    const QList<QWidget*> editors = m_editors.take(property);
    for (QWidget* editor : editors)
        m_propertyOf.remove(editor);
}
