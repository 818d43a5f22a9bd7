#pragma once

#include <QIcon>
#include <QVariant>
#include <QWidget>

class QLabel;
class QToolButton;

// An editor cell that shows a value's text, beside its picture when it has
// one, and offers a "..." button which asks for a new value in a dialog. A
// subclass runs the dialog.
class DPropertyDialogEditor : public QWidget
{
    Q_OBJECT
public:
    explicit DPropertyDialogEditor(QWidget* parent = nullptr);

    // Shows the value with its text and picture; emits nothing.
    void setValue(const QVariant& value, const QString& text, const QIcon& icon);

signals:
    // The user chose a value in the dialog.
    void valueChosen(const QVariant& value);

protected:
    // Runs the dialog; an invalid QVariant when the user cancels.
    virtual QVariant choose(const QVariant& current) = 0;

private:
    void onChoose();

    QVariant m_value;
    QLabel* m_swatch;
    QLabel* m_text;
    QToolButton* m_button;
};
