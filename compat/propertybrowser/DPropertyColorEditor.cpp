#include "DPropertyColorEditor.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {
const int kSwatchSize = 12;
}

DPropertyColorEditor::DPropertyColorEditor(QWidget* parent)
    : DPropertyDialogEditor(parent)
{
}

QPixmap DPropertyColorEditor::swatch(const QVariant& value) const
{
    const QColor colour = value.value<QColor>();
    if (!colour.isValid())
        return QPixmap();
    QPixmap pixmap(kSwatchSize, kSwatchSize);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.fillRect(pixmap.rect(), colour);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

QVariant DPropertyColorEditor::choose(const QVariant& current)
{
    const QColor colour = QColorDialog::getColor(current.value<QColor>(), window(), tr("Select Color"),
                                                 QColorDialog::ShowAlphaChannel);
    return colour.isValid() ? QVariant(colour) : QVariant();
}
