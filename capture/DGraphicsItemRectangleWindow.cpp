#include "DGraphicsItemRectangleWindow.h"

DGraphicsItemRectangleWindow::DGraphicsItemRectangleWindow(DGraphicsItem* parent)
    : DGraphicsItemRectangle(parent)
{
}

void DGraphicsItemRectangleWindow::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    DGraphicsItemRectangle::paint(painter, option, widget);
}
