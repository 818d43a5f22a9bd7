#pragma once

#include <QHash>
#include <QList>
#include <QVariant>

#include "QtAbstractEditorFactory.h"
#include "QtVariantPropertyManager.h"

class QAbstractSpinBox;

// Editors for the properties of variant managers: a check box over the cell
// for bool, spin boxes for int and double (bounded by "minimum" and
// "maximum", in the browser's locale), a line edit for text, a list for an
// enumeration, and cells with a dialog for colour and font. An editor writes
// through the manager and follows the value while it is open. Spin boxes and
// the line edit commit what the user typed when the user finishes, not at
// every keystroke, even when it equals the value shown; one the user left
// untouched commits nothing. A property whose manager has no value to give
// opens its editor empty, showing the property's text in place of a value.
class QtVariantEditorFactory : public QtAbstractEditorFactory<QtVariantPropertyManager>
{
    Q_OBJECT
public:
    explicit QtVariantEditorFactory(QObject* parent = nullptr);
    ~QtVariantEditorFactory() override;

protected:
    void connectPropertyManager(QtVariantPropertyManager* manager) override;
    QWidget* createEditor(QtVariantPropertyManager* manager, QtProperty* property, QWidget* parent) override;
    void disconnectPropertyManager(QtVariantPropertyManager* manager) override;

private:
    QWidget* makeEditor(int type, const QtVariantPropertyManager* manager, const QtProperty* property,
                        QWidget* parent);
    void commitTypedEntries(QAbstractSpinBox* spin);
    void track(QWidget* editor, QtProperty* property);
    void forget(QWidget* editor);
    void commit(QWidget* editor, const QVariant& value);
    static void showValue(QWidget* editor, const QtVariantPropertyManager* manager, const QtProperty* property);
    void onValueChanged(QtProperty* property, const QVariant& value);
    void onPropertyDestroyed(QtProperty* property);

    QHash<const QtProperty*, QList<QWidget*>> m_editors;
    QHash<const QWidget*, QtProperty*> m_propertyOf;
};
