#ifndef DGRAPHICSITEMRECTANGLEWINDOW_H
#define DGRAPHICSITEMRECTANGLEWINDOW_H

#include "DGraphicsItemRectangle.h"

// A captured rectangle of the screen, swept from the pixel at one corner to
// the pixel at the other: it covers those pixels whole. Being a class of its
// own, it keeps its name through the copies the library makes through the
// meta-object.
class DGraphicsItemRectangleWindow : public DGraphicsItemRectangle
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit DGraphicsItemRectangleWindow(DGraphicsItem* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
};

#endif // DGRAPHICSITEMRECTANGLEWINDOW_H
