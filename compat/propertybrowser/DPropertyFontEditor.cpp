#include "DPropertyFontEditor.h"

#include <QFontDialog>

DPropertyFontEditor::DPropertyFontEditor(QWidget* parent)
    : DPropertyDialogEditor(parent)
{
}

QVariant DPropertyFontEditor::choose(const QVariant& current)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, current.value<QFont>(), window(), tr("Select Font"));
    return accepted ? QVariant(font) : QVariant();
}
