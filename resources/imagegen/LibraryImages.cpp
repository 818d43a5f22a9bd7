// Images of libZorvelKit: editor icons, colour templates and tray menu icons.
// All are 16x16 line drawings in the kit's dark grey.
#include "ImageCatalog.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kInk(0x3B, 0x3B, 0x3B);

// A one-pixel outline, whatever the painter's scale.
QPen hairline(const QColor& color)
{
    QPen pen(color, 1);
    pen.setCosmetic(true);
    return pen;
}

QImage letterIcon(bool bold, bool italic)
{
    return paintedImage(16, 16, [bold, italic](QPainter& p) {
        if (bold) {
            // A heavy capital B built from two bowls.
            QPainterPath path;
            path.addRoundedRect(QRectF(4, 2, 7, 6), 2.5, 2.5);
            path.addRoundedRect(QRectF(4, 8, 8, 6), 2.5, 2.5);
            p.setPen(QPen(kInk, 2.4));
            p.drawPath(path);
            p.fillRect(QRectF(3, 2, 2.4, 12), kInk);
        } else if (italic) {
            // A slanted capital I with serifs.
            p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(9.5, 2.5), QPointF(6.5, 13.5));
            p.drawLine(QPointF(7, 2.5), QPointF(12, 2.5));
            p.drawLine(QPointF(4, 13.5), QPointF(9, 13.5));
        }
    });
}

// A colour template: a symbol on top and a colour bar below it, which the colour
// button repaints with the current colour.
QImage colorTemplate(void (*symbol)(QPainter&))
{
    return paintedImage(16, 16, [symbol](QPainter& p) {
        symbol(p);
        p.fillRect(QRectF(1, 13, 14, 3), Qt::black);
    });
}

void textSymbol(QPainter& p)
{
    p.setPen(roundPen(kInk, 1.6));
    p.drawPolyline(QPolygonF({QPointF(3, 11), QPointF(8, 1.5), QPointF(13, 11)}));
    p.drawLine(QPointF(5, 7.5), QPointF(11, 7.5));
}

void fillSymbol(QPainter& p)
{
    // A tipped paint bucket.
    QPainterPath bucket;
    bucket.moveTo(2, 6);
    bucket.lineTo(7, 1);
    bucket.lineTo(12, 6);
    bucket.lineTo(7, 11);
    bucket.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0x91, 0xB8, 0xC3));
    p.drawPath(bucket);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(13.5, 9), 1.2, 1.8);
}

void lineSymbol(QPainter& p)
{
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2.5, 10.5), QPointF(13.5, 2));
}

QImage colorsIcon()
{
    // Four swatches in a square: the "more colours" button.
    return paintedImage(16, 16, [](QPainter& p) {
        const QColor colors[4] = {QColor(0xE0, 0x3A, 0x3A), QColor(0xF2, 0xC0, 0x2E),
                                  QColor(0x3C, 0xA5, 0x5C), QColor(0x36, 0x6C, 0xD9)};
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRect(1 + (i % 2) * 7, 1 + (i / 2) * 7, 7, 7), colors[i]);
        p.setPen(hairline(kInk));
        p.drawRect(QRect(1, 1, 13, 13));
    }, false);
}

QImage mainWindowIcon()
{
    return paintedImage(16, 16, [](QPainter& p) {
        p.setPen(hairline(kInk));
        p.setBrush(Qt::white);
        p.drawRect(QRect(1, 2, 13, 11));
        p.fillRect(QRect(1, 2, 14, 3), QColor(0x36, 0x6C, 0xD9));
    }, false);
}

QImage enterKeyIcon()
{
    return paintedImage(16, 16, [](QPainter& p) {
        p.setPen(roundPen(kInk, 1.5));
        p.drawPolyline(QPolygonF({QPointF(13, 2.5), QPointF(13, 9), QPointF(3, 9)}));
        p.drawPolyline(QPolygonF({QPointF(6, 6), QPointF(3, 9), QPointF(6, 12)}));
    });
}

QImage exitIcon()
{
    return paintedImage(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(2.5, 3, 11, 11), 120 * 16, 300 * 16);
        p.drawLine(QPointF(8, 1.5), QPointF(8, 8));
    });
}

ImageRegistration r1("font-bold.png", [] { return letterIcon(true, false); });
ImageRegistration r2("font-italic.png", [] { return letterIcon(false, true); });
ImageRegistration r3("colors.png", colorsIcon);
ImageRegistration r4("template_color_text.png", [] { return colorTemplate(textSymbol); });
ImageRegistration r5("template_color_fill.png", [] { return colorTemplate(fillSymbol); });
ImageRegistration r6("template_color_line.png", [] { return colorTemplate(lineSymbol); });
ImageRegistration r7("mainwindow.png", mainWindowIcon);
ImageRegistration r8("enterkey.png", enterKeyIcon);
ImageRegistration r9("exit.png", exitIcon);

} // namespace
