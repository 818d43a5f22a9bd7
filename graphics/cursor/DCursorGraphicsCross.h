#pragma once

#include "DCursorGraphics.h"

// A cross-hair that inverts what lies under it, with a dark rounded label.
class DCursorGraphicsCross : public DCursorGraphics
{
public:
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QString& text, const QRectF& labelRect) const override;
};
