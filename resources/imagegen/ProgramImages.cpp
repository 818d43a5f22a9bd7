// Images of the program Zorvelshot.
#include "ImageCatalog.h"

#include <QPainter>

// ---------------------------------------------------------------------------
// Main window, tray menu and instant panel.
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>

namespace mainwindow_images {

const QColor kLight(0xF1, 0xEF, 0xEC);
const QColor kAccent(0x3A, 0x8E, 0xE6);
const QColor kFrame(0xE8, 0xE8, 0xE8);

// The application's mark: a dark rounded tile with a viewfinder and a red
// shutter dot, readable from 16 px up.
QImage appIcon(int size)
{
    return paintedImage(size, size, [size](QPainter& p) {
        const qreal s = size;
        QLinearGradient tile(0, 0, 0, s);
        tile.setColorAt(0, QColor(0x4A, 0x5A, 0x70));
        tile.setColorAt(1, QColor(0x22, 0x2A, 0x36));
        p.setPen(Qt::NoPen);
        p.setBrush(tile);
        p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);
        QPen corner(Qt::white, qMax(1.2, s / 14), Qt::SolidLine, Qt::SquareCap);
        p.setPen(corner);
        const qreal a = s * 0.22, b = s * 0.78, l = s * 0.18;
        p.drawPolyline(QPolygonF({QPointF(a, a + l), QPointF(a, a), QPointF(a + l, a)}));
        p.drawPolyline(QPolygonF({QPointF(b - l, a), QPointF(b, a), QPointF(b, a + l)}));
        p.drawPolyline(QPolygonF({QPointF(b, b - l), QPointF(b, b), QPointF(b - l, b)}));
        p.drawPolyline(QPolygonF({QPointF(a + l, b), QPointF(a, b), QPointF(a, b - l)}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE5, 0x3B, 0x2F));
        p.drawEllipse(QPointF(s / 2, s / 2), s * 0.11, s * 0.11);
    });
}

// A bold text in the given pixel size, for the title strip's drawings.
QFont boldFont(int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QImage brand()
{
    return paintedImage(180, 48, [](QPainter& p) {
        p.drawImage(QPointF(8, 8), appIcon(32));
        p.setFont(boldFont(22));
        p.setPen(kLight);
        p.drawText(QRectF(48, 0, 132, 48), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Zorvelshot"));
    });
}

// A light glyph in a ring, for the dark title strip.
QImage ringGlyph(const QString& glyph)
{
    return paintedImage(18, 18, [&glyph](QPainter& p) {
        p.setPen(QPen(kLight, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, 15, 15));
        p.setFont(boldFont(11));
        p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, glyph);
    });
}

// Mode icons: 64 x 64 drawings. The capture modes of a part of the screen
// draw on a light screen, with the picked area in the accent colour.
QImage modeIcon(const std::function<void(QPainter&)>& drawing)
{
    return paintedImage(64, 64, drawing);
}

QImage screenModeIcon(const std::function<void(QPainter&)>& drawing)
{
    return modeIcon([&drawing](QPainter& p) {
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
        p.setBrush(QColor(0xFA, 0xFA, 0xFA));
        p.drawRoundedRect(QRectF(4, 8, 56, 44), 4, 4);
        drawing(p);
    });
}

void pickedArea(QPainter& p)
{
    p.setPen(QPen(kAccent, 2, Qt::DashLine));
    p.setBrush(QColor(0x3A, 0x8E, 0xE6, 60));
}

QImage modeRectangle()
{
    return screenModeIcon([](QPainter& p) {
        pickedArea(p);
        p.drawRect(QRectF(14, 17, 30, 22));
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(44, 33), QPointF(44, 45));
        p.drawLine(QPointF(38, 39), QPointF(50, 39));
    });
}

QImage modePolygon()
{
    return screenModeIcon([](QPainter& p) {
        const QPolygonF shape({QPointF(14, 40), QPointF(20, 16), QPointF(36, 22), QPointF(50, 14), QPointF(46, 42)});
        pickedArea(p);
        p.drawPolygon(shape);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        for (const QPointF& corner : shape)
            p.drawEllipse(corner, 2.5, 2.5);
    });
}

QImage modeWindow()
{
    return screenModeIcon([](QPainter& p) {
        p.setPen(QPen(kAccent, 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(12, 16, 40, 28));
        p.fillRect(QRectF(13, 17, 39, 7), kAccent);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(47, 20.5), 2, 2);
    });
}

QImage modeScrolling()
{
    return modeIcon([](QPainter& p) {
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(14, 4, 30, 56));
        p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 2));
        for (int y = 12; y < 56; y += 7)
            p.drawLine(QPointF(19, y), QPointF(39, y));
        p.setPen(roundPen(kAccent, 3));
        p.drawLine(QPointF(52, 14), QPointF(52, 50));
        p.drawPolyline(QPolygonF({QPointF(47, 19), QPointF(52, 13), QPointF(57, 19)}));
        p.drawPolyline(QPolygonF({QPointF(47, 45), QPointF(52, 51), QPointF(57, 45)}));
    });
}

QImage modeFullScreen()
{
    return modeIcon([](QPainter& p) {
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 2));
        p.setBrush(QColor(0x3A, 0x8E, 0xE6, 90));
        p.drawRoundedRect(QRectF(4, 8, 56, 38), 3, 3);
        p.setBrush(QColor(0x50, 0x50, 0x50));
        p.drawRect(QRectF(28, 46, 8, 6));
        p.drawRoundedRect(QRectF(18, 52, 28, 4), 2, 2);
        p.setPen(roundPen(Qt::white, 2.5));
        p.drawPolyline(QPolygonF({QPointF(10, 20), QPointF(10, 14), QPointF(16, 14)}));
        p.drawPolyline(QPolygonF({QPointF(48, 14), QPointF(54, 14), QPointF(54, 20)}));
        p.drawPolyline(QPolygonF({QPointF(54, 34), QPointF(54, 40), QPointF(48, 40)}));
        p.drawPolyline(QPolygonF({QPointF(16, 40), QPointF(10, 40), QPointF(10, 34)}));
    });
}

// Double chevron: down to unfold the options, up to fold them away.
QImage moreChevron(bool down)
{
    return paintedImage(24, 24, [down](QPainter& p) {
        p.setPen(roundPen(QColor(0x50, 0x50, 0x50), 2.2));
        for (qreal y : {7.0, 13.0}) {
            if (down)
                p.drawPolyline(QPolygonF({QPointF(6, y), QPointF(12, y + 5), QPointF(18, y)}));
            else
                p.drawPolyline(QPolygonF({QPointF(6, y + 5), QPointF(12, y), QPointF(18, y + 5)}));
        }
    });
}

// The hover background of the dark buttons: a soft vertical sheen, shifted by
// the style sheets' background offset.
QImage buttonBackground()
{
    QImage image(8, 200, QImage::Format_ARGB32);
    QPainter p(&image);
    QLinearGradient sheen(0, 0, 0, 200);
    sheen.setColorAt(0.0, QColor(0x44, 0x44, 0x44));
    sheen.setColorAt(0.5, QColor(0x5C, 0x5C, 0x5C));
    sheen.setColorAt(1.0, QColor(0x6E, 0x6E, 0x6E));
    p.fillRect(image.rect(), sheen);
    return image;
}

// Menu icons: 16 x 16 outlines filled in a colour of their own.
QImage menuIcon(const QColor& outline, qreal width, const QBrush& fill,
                const std::function<void(QPainter&)>& drawing)
{
    return paintedImage(16, 16, [&](QPainter& p) {
        p.setPen(QPen(outline, width));
        p.setBrush(fill);
        drawing(p);
    });
}

QImage envelope()
{
    return menuIcon(QColor(0x3B, 0x3B, 0x3B), 1.2, QColor(0xFF, 0xF6, 0xD8), [](QPainter& p) {
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
    });
}

QImage formSheet()
{
    return menuIcon(QColor(0x3B, 0x3B, 0x3B), 1.2, Qt::white, [](QPainter& p) {
        p.drawRect(QRectF(2.5, 1.5, 11, 13));
        p.setPen(QPen(kAccent, 1.2));
        for (qreal y : {4.5, 7.5, 10.5})
            p.drawLine(QPointF(5, y), QPointF(11, y));
    });
}

QImage globe()
{
    return menuIcon(QColor(0x1F, 0x5F, 0xA8), 1.1, QColor(0xCF, 0xE4, 0xFA), [](QPainter& p) {
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    });
}

QImage bookmarkRibbon()
{
    return menuIcon(QColor(0x8A, 0x1C, 0x14), 1.1, QColor(0xE5, 0x3B, 0x2F), [](QPainter& p) {
        p.drawPolygon(QPolygonF({QPointF(4, 1.5), QPointF(12, 1.5), QPointF(12, 14.5), QPointF(8, 11), QPointF(4, 14.5)}));
    });
}

ImageRegistration rApp16("App16.png", [] { return appIcon(16); });
ImageRegistration rApp48("App48.png", [] { return appIcon(48); });
ImageRegistration rBrand("ZorvelshotBrand.png", [] { return brand(); });
ImageRegistration rAbout("main_about.png", [] { return ringGlyph(QStringLiteral("i")); });
ImageRegistration rHelp("main_help.png", [] { return ringGlyph(QStringLiteral("?")); });
ImageRegistration rRect("profile-region-rectangle.png", [] { return modeRectangle(); });
ImageRegistration rPoly("profile-region-polygon.png", [] { return modePolygon(); });
ImageRegistration rWindow("profile-window.png", [] { return modeWindow(); });
ImageRegistration rScrolling("profile-scrolling.png", [] { return modeScrolling(); });
ImageRegistration rFull("profile-fullscreen.png", [] { return modeFullScreen(); });
ImageRegistration rMoreShow("Zorvelshot-More-Show.png", [] { return moreChevron(true); });
ImageRegistration rMoreHide("Zorvelshot-More-Hide.png", [] { return moreChevron(false); });
ImageRegistration rButtonBk("buttonbk.png", [] { return buttonBackground(); });
ImageRegistration rMail("mail_post_to.png", [] { return envelope(); });
ImageRegistration rForm("form.png", [] { return formSheet(); });
ImageRegistration rInternet("internet.png", [] { return globe(); });
ImageRegistration rBookmark("bookmark.png", [] { return bookmarkRibbon(); });

} // namespace mainwindow_images

// ---------------------------------------------------------------------------
// About box.
#include <QRadialGradient>

namespace aboutbox_images {

// The application's mark, large, over a soft round shadow.
QImage aboutMark()
{
    const int size = 96;
    return paintedImage(size, size, [size](QPainter& p) {
        QRadialGradient shadow(QPointF(size / 2.0, size * 0.56), size * 0.5);
        shadow.setColorAt(0, QColor(0, 0, 0, 70));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(QRectF(0, size * 0.08, size, size * 0.92));
        p.drawImage(QPointF(12, 8), mainwindow_images::appIcon(72));
    });
}

ImageRegistration rAboutMark("zorvel.png", [] { return aboutMark(); });

} // namespace aboutbox_images
