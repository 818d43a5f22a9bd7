#include "DEditorFactoryVector3D.h"

#include <QLineEdit>
#include <QRegularExpression>

#include "DPropertyLocale.h"

DEditorFactoryVector3D::DEditorFactoryVector3D(QObject* parent)
    : QtAbstractEditorFactory<DPropertyManagerVector3D>(parent)
{
}

DEditorFactoryVector3D::~DEditorFactoryVector3D()
{
    // Every editor still open goes with the factory that serves it.
    const QList<QLineEdit*> editors = m_editorObjects.values();
    for (QLineEdit* editor : editors)
        delete editor;
}

bool DEditorFactoryVector3D::readVector(const QString& text, QVector3D* v)
{
    // Numbers as the row shows them, with the decimal point of the browser's
    // locale; a sign before one is its own.
    const QLocale locale = DPropertyLocale::numbers();
    const QString signs = QRegularExpression::escape(QStringLiteral("-+") + locale.negativeSign() +
                                                     locale.positiveSign());
    const QString point = QRegularExpression::escape(locale.decimalPoint());
    const QRegularExpression number(QStringLiteral("([%1]?)(\\d*%2?\\d+)").arg(signs, point),
                                    QRegularExpression::UseUnicodePropertiesOption);
    QRegularExpressionMatchIterator matches = number.globalMatch(text);
    double xy[2];
    for (double& component : xy) {
        if (!matches.hasNext())
            return false;
        const QRegularExpressionMatch match = matches.next();
        bool ok = false;
        component = locale.toDouble(match.captured(2), &ok);
        if (match.captured(1) == QLatin1String("-") || match.captured(1) == locale.negativeSign())
            component = -component;
        // A run of digits too long for a float is no coordinate.
        if (!ok || !DPropertyManagerVector3D::fitsFloat(component))
            return false;
    }
    *v = QVector3D(float(xy[0]), float(xy[1]), 0.0f);
    return true;
}

void DEditorFactoryVector3D::connectPropertyManager(DPropertyManagerVector3D* manager)
{
    connect(manager, &DPropertyManagerVector3D::valueChanged, this, &DEditorFactoryVector3D::onPropertyChanged);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
            &DEditorFactoryVector3D::onPropertyDestroyed);
}

void DEditorFactoryVector3D::disconnectPropertyManager(DPropertyManagerVector3D* manager)
{
    disconnect(manager, &DPropertyManagerVector3D::valueChanged, this, &DEditorFactoryVector3D::onPropertyChanged);
    disconnect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
               &DEditorFactoryVector3D::onPropertyDestroyed);
}

QWidget* DEditorFactoryVector3D::createEditor(DPropertyManagerVector3D* manager, QtProperty* property,
                                              QWidget* parent)
{
    QLineEdit* editor = new QLineEdit(parent);
    editor->setText(manager->valueText(property));
    // A new editor starts with nothing typed: what an editor closed with
    // Escape held is gone with it.
    m_pendingText.remove(property);
    // The cell's own text must not show through.
    editor->setAutoFillBackground(true);
    m_editorOf.insert(property, editor);
    m_propertyOf.insert(editor, property);
    m_editorObjects.insert(editor, editor);
    connect(editor, &QLineEdit::textEdited, this, &DEditorFactoryVector3D::onValueChanged);
    connect(editor, &QLineEdit::editingFinished, this, &DEditorFactoryVector3D::onSetValue);
    connect(editor, &QObject::destroyed, this, &DEditorFactoryVector3D::onEditorDestroyed);
    return editor;
}

void DEditorFactoryVector3D::onPropertyChanged(QtProperty* property, const QVector3D& value)
{
    QLineEdit* editor = m_editorOf.value(property);
    const QString text = DPropertyManagerVector3D::valueToText(value);
    if (editor && editor->text() != text)
        editor->setText(text);
}

void DEditorFactoryVector3D::onSetValue()
{
    QtProperty* property = m_propertyOf.value(m_editorObjects.value(sender()));
    if (!property)
        return;
    const QString text = m_pendingText.take(property);
    QVector3D value;
    if (!readVector(text, &value))
        return;
    if (DPropertyManagerVector3D* manager = propertyManager(property))
        manager->setValue(property, value);
}

void DEditorFactoryVector3D::onValueChanged(const QString& text)
{
    if (QtProperty* property = m_propertyOf.value(m_editorObjects.value(sender())))
        m_pendingText.insert(property, text);
}

void DEditorFactoryVector3D::onEditorDestroyed(QObject* object)
{
    QLineEdit* editor = m_editorObjects.take(object);
    QtProperty* property = m_propertyOf.take(editor);
    if (property && m_editorOf.value(property) == editor)
        m_editorOf.remove(property);
}

void DEditorFactoryVector3D::onPropertyDestroyed(QtProperty* property)
{
    m_editorOf.remove(property);
    m_pendingText.remove(property);
    for (auto it = m_propertyOf.begin(); it != m_propertyOf.end();) {
        if (it.value() == property)
            it = m_propertyOf.erase(it);
        else
            ++it;
    }
}
