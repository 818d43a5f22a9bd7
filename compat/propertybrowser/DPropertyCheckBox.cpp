#include "DPropertyCheckBox.h"

DPropertyCheckBox::DPropertyCheckBox(QWidget* parent)
    : QCheckBox(parent)
{
}

bool DPropertyCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void DPropertyCheckBox::paintEvent(QPaintEvent*)
{
}
