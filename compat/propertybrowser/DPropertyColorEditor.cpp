#include "DPropertyColorEditor.h"

#include <QColorDialog>

DPropertyColorEditor::DPropertyColorEditor(QWidget* parent)
    : DPropertyDialogEditor(parent)
{
}

QVariant DPropertyColorEditor::choose(const QVariant& current)
{
    const QColor colour = QColorDialog::getColor(current.value<QColor>(), window(), tr("Select Color"),
                                                 QColorDialog::ShowAlphaChannel);
    return colour.isValid() ? QVariant(colour) : QVariant();
}
