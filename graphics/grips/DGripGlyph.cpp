#include "DGripGlyph.h"

#include <QPolygonF>

DGripGlyph::DGripGlyph()
{
    QPainterPath square;
    square.addRect(-3, -3, 6, 6);

    QPainterPath bar;
    bar.addRoundedRect(-2, -4, 4, 8, 2.0, 2.0, Qt::AbsoluteSize);

    QPainterPath triangle;
    triangle.addPolygon(QPolygonF({ QPointF(6, 0), QPointF(-3, 5), QPointF(-3, -5), QPointF(6, 0) }));

    QPainterPath circle;
    circle.addEllipse(-3, -3, 6, 6);

    m_glyphs = { square, bar, triangle, circle };
}

DGripGlyph* DGripGlyph::get()
{
    static DGripGlyph instance;
    return &instance;
}

const QPainterPath& DGripGlyph::getStockGlyph(int glyph) const
{
    if (glyph < 0 || glyph >= m_glyphs.size())
        return m_glyphs.at(Square);
    return m_glyphs.at(glyph);
}
