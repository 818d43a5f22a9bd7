#include "DGraphicsItemRectangleWindow.h"

#include "DRestorePainter.h"

DGraphicsItemRectangleWindow::DGraphicsItemRectangleWindow(DGraphicsItem* parent)
    : DGraphicsItemRectangle(parent)
{
}

void DGraphicsItemRectangleWindow::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    DRestorePainter restore(*painter);
    DGraphicsItem::paint(painter, option, widget);
    // The corners are the centres of the outermost pixels swept: the piece
    // covers those pixels whole, and its outline runs along their outer edges.
    drawRectangle(painter, rectangle().adjusted(-0.5, -0.5, 0.5, 0.5));
}
