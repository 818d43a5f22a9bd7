#ifndef DGRIPGLYPH_H
#define DGRIPGLYPH_H

#include <QPainterPath>
#include <QVector>

// The stock shapes a grip draws, in screen pixels around the grip's point,
// pointing along +x before the grip rotates them to its direction.
class DGripGlyph
{
public:
    enum enumGlyph {
        Square = 0,
        RoundedBar = 1,
        Triangle = 2,
        Circle = 3
    };

    static DGripGlyph* get();

    // An index outside the stock set gives the square.
    const QPainterPath& getStockGlyph(int glyph) const;

private:
    DGripGlyph();

    QVector<QPainterPath> m_glyphs;
};

#endif // DGRIPGLYPH_H
