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
// shutter dot, readable from 16 px up; drawn on a square of `s` pixels.
void drawAppMark(QPainter& p, qreal s)
{
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
}

QImage appIcon(int size)
{
    return paintedImage(size, size, [size](QPainter& p) { drawAppMark(p, size); });
}

// The mark as a vector drawing, for the desktop's scalable icon. Its strokes
// scale with the tile from 17 px up, so one drawing serves every size.
QByteArray appIconSvg()
{
    const int size = 128;
    return paintedSvg(size, size, QStringLiteral("Zorvelshot"), [size](QPainter& p) { drawAppMark(p, size); });
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

// A small plus of two strokes in the current pen, as the pointer's cross-hair.
void crossHair(QPainter& p, const QPointF& centre, qreal half)
{
    p.drawLine(centre - QPointF(0, half), centre + QPointF(0, half));
    p.drawLine(centre - QPointF(half, 0), centre + QPointF(half, 0));
}

// Round dots on the corners of a shape: the points a user clicked.
void cornerDots(QPainter& p, const QPolygonF& shape, const QColor& color, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    for (const QPointF& corner : shape)
        p.drawEllipse(corner, radius, radius);
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
        crossHair(p, QPointF(44, 39), 6);
    });
}

QImage modePolygon()
{
    return screenModeIcon([](QPainter& p) {
        const QPolygonF shape({QPointF(14, 40), QPointF(20, 16), QPointF(36, 22), QPointF(50, 14), QPointF(46, 42)});
        pickedArea(p);
        p.drawPolygon(shape);
        cornerDots(p, shape, kAccent, 2.5);
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

// The mark at the sizes that icon themes ask for (App16.png is also the tray
// icon, App48.png the window icon), and as the desktop's scalable icon.
const bool kAppIconsRegistered = [] {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        ImageCatalog::instance().add(QStringLiteral("App%1.png").arg(size), [size] { return appIcon(size); });
    ImageCatalog::instance().addVector(QStringLiteral("App.svg"), [] { return appIconSvg(); });
    return true;
}();
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

// ---------------------------------------------------------------------------
// Capture overlay: the sub-tool bar (36 x 36, light drawings for the dark,
// translucent bar) and the main bar (32 x 32, for the light bar).

namespace overlay_images {

const QColor kPaper(0xF4, 0xF6, 0xF8);
const QColor kPaperDim(0xB8, 0xC2, 0xCC);
const QColor kPick(0x6C, 0xC0, 0xFF);
const QColor kInk(0x33, 0x3D, 0x48);
const QColor kBlue(0x2F, 0x7D, 0xD1);
const QColor kRed(0xD2, 0x3B, 0x2F);
const QColor kGreen(0x2E, 0x9A, 0x4F);

QImage subToolIcon(const std::function<void(QPainter&)>& drawing)
{
    return paintedImage(36, 36, drawing);
}

// A capture shape: a dimmed screen with the picked area bright, outlined in
// the pick colour.
QImage captureIcon(const std::function<void(QPainter&)>& picked)
{
    return subToolIcon([&picked](QPainter& p) {
        p.setPen(QPen(kPaperDim, 1.5));
        p.setBrush(QColor(0x5A, 0x66, 0x72));
        p.drawRoundedRect(QRectF(2.5, 5.5, 31, 25), 2.5, 2.5);
        p.setPen(QPen(kPick, 1.8));
        p.setBrush(kPaper);
        picked(p);
    });
}

QImage captureRectangle()
{
    return captureIcon([](QPainter& p) {
        p.drawRect(QRectF(8.5, 10.5, 19, 14));
        p.setPen(roundPen(Qt::white, 1.5));
        mainwindow_images::crossHair(p, QPointF(27.5, 24.5), 3.5);
    });
}

QImage capturePolygon()
{
    return captureIcon([](QPainter& p) {
        const QPolygonF shape({QPointF(7, 24), QPointF(11, 10), QPointF(20, 14), QPointF(29, 9), QPointF(27, 26)});
        p.drawPolygon(shape);
        mainwindow_images::cornerDots(p, shape, kPick, 1.8);
    });
}

QImage captureWindow()
{
    return captureIcon([](QPainter& p) {
        p.drawRect(QRectF(7.5, 10.5, 21, 15));
        p.fillRect(QRectF(8.4, 11.4, 19.2, 3.6), kPick);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(25.5, 13.2), 1.1, 1.1);
    });
}

// A drawing tool: the shape in white with a small pencil-tip accent.
QImage drawIcon(const std::function<void(QPainter&)>& shape)
{
    return subToolIcon([&shape](QPainter& p) {
        p.setPen(roundPen(kPaper, 2.4));
        p.setBrush(Qt::NoBrush);
        shape(p);
    });
}

QImage drawLine()
{
    return drawIcon([](QPainter& p) { p.drawLine(QPointF(7, 29), QPointF(29, 7)); });
}

QImage drawArrow()
{
    return drawIcon([](QPainter& p) {
        p.drawLine(QPointF(7, 29), QPointF(28, 8));
        p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(28, 8), QPointF(28, 19)}));
    });
}

QImage drawPolyline()
{
    return drawIcon([](QPainter& p) {
        const QPolygonF line({QPointF(5, 27), QPointF(13, 11), QPointF(21, 24), QPointF(31, 8)});
        p.drawPolyline(line);
        mainwindow_images::cornerDots(p, line, kPick, 2.2);
    });
}

QImage drawRectangle()
{
    return drawIcon([](QPainter& p) { p.drawRect(QRectF(6.5, 9.5, 23, 17)); });
}

QImage drawPolygon()
{
    return drawIcon([](QPainter& p) {
        p.drawPolygon(QPolygonF({QPointF(18, 5), QPointF(31, 15), QPointF(26, 30), QPointF(10, 30), QPointF(5, 15)}));
    });
}

QImage drawText()
{
    return subToolIcon([](QPainter& p) {
        QFont font;
        font.setPixelSize(26);
        font.setBold(true);
        font.setFamily(QStringLiteral("Serif"));
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRectF(0, 0, 30, 34), Qt::AlignCenter, QStringLiteral("T"));
        p.setPen(roundPen(kPick, 2));
        p.drawLine(QPointF(30, 8), QPointF(30, 28));
    });
}

QImage mainToolIcon(const std::function<void(QPainter&)>& drawing)
{
    return paintedImage(32, 32, drawing);
}

// A round badge with a plus, in the lower right corner of a main-bar icon.
void plusBadge(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(24, 24), 6.5, 6.5);
    p.setPen(roundPen(Qt::white, 2));
    mainwindow_images::crossHair(p, QPointF(24, 24), 3.5);
}

QImage addCapture()
{
    return mainToolIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 2, Qt::DashLine));
        p.setBrush(QColor(0x2F, 0x7D, 0xD1, 50));
        p.drawRect(QRectF(3, 4, 20, 16));
        plusBadge(p);
    });
}

QImage addAnnotation()
{
    return mainToolIcon([](QPainter& p) {
        // A pencil, slanted, its tip at the lower left.
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(0xF2, 0xC1, 0x4E));
        p.drawPolygon(QPolygonF({QPointF(7, 21), QPointF(19, 4), QPointF(24, 8), QPointF(12, 25)}));
        p.setBrush(QColor(0xE9, 0xD3, 0xB0));
        p.drawPolygon(QPolygonF({QPointF(7, 21), QPointF(12, 25), QPointF(5, 28)}));
        plusBadge(p);
    });
}

QImage deleteItems()
{
    return mainToolIcon([](QPainter& p) {
        p.setPen(roundPen(kRed, 4));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
    });
}

QImage printer()
{
    return mainToolIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9.5, 3.5, 13, 9));
        p.setBrush(QColor(0x8C, 0x98, 0xA4));
        p.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9.5, 19.5, 13, 9));
        p.setPen(QPen(kBlue, 1.2));
        p.drawLine(QPointF(12, 23.5), QPointF(20, 23.5));
        p.drawLine(QPointF(12, 26), QPointF(18, 26));
    });
}

QImage saveToFile()
{
    return mainToolIcon([](QPainter& p) {
        // A floppy disk.
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(4.5, 4.5), QPointF(23.5, 4.5), QPointF(27.5, 8.5), QPointF(27.5, 27.5),
                                 QPointF(4.5, 27.5)}));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8.5, 4.5, 13, 8));
        p.drawRect(QRectF(8.5, 17.5, 15, 10));
        p.setBrush(kInk);
        p.drawRect(QRectF(16.5, 6, 3, 5));
    });
}

QImage saveToClipboard()
{
    return mainToolIcon([](QPainter& p) {
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(0xB0, 0x7A, 0x4A));
        p.drawRoundedRect(QRectF(5.5, 5.5, 21, 24), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8.5, 9.5, 15, 17));
        p.setBrush(QColor(0x9A, 0xA4, 0xAE));
        p.drawRoundedRect(QRectF(11.5, 3.5, 9, 5), 1.5, 1.5);
        p.setPen(QPen(kBlue, 1.2));
        for (qreal y : {14.0, 18.0, 22.0})
            p.drawLine(QPointF(11, y), QPointF(21, y));
    });
}

QImage discardAndExit()
{
    return mainToolIcon([](QPainter& p) {
        // An open door with an arrow leaving through it.
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(QColor(0xE4, 0xE8, 0xEC));
        p.drawRect(QRectF(4.5, 3.5, 14, 25));
        p.setBrush(QColor(0x8C, 0x98, 0xA4));
        p.drawPolygon(QPolygonF({QPointF(4.5, 3.5), QPointF(12.5, 6.5), QPointF(12.5, 30.5), QPointF(4.5, 28.5)}));
        p.setPen(roundPen(kRed, 2.6));
        p.drawLine(QPointF(15, 16), QPointF(28, 16));
        p.drawPolyline(QPolygonF({QPointF(23, 11), QPointF(28, 16), QPointF(23, 21)}));
    });
}

ImageRegistration rCaptureRect("SubToolCaptureRect.png", [] { return captureRectangle(); });
ImageRegistration rCapturePolygon("SubToolCapturePolygon.png", [] { return capturePolygon(); });
ImageRegistration rCaptureWindow("SubToolCaptureWindow.png", [] { return captureWindow(); });
ImageRegistration rLine("SubToolLine.png", [] { return drawLine(); });
ImageRegistration rArrow("SubToolArrow.png", [] { return drawArrow(); });
ImageRegistration rPolyline("SubToolPolyline.png", [] { return drawPolyline(); });
ImageRegistration rRectangle("SubToolRect.png", [] { return drawRectangle(); });
ImageRegistration rPolygon("SubToolPolygon.png", [] { return drawPolygon(); });
ImageRegistration rText("SubToolText.png", [] { return drawText(); });
ImageRegistration rAddCapture("ToolAddCapture.png", [] { return addCapture(); });
ImageRegistration rAddAnnotation("ToolAddAnnotation.png", [] { return addAnnotation(); });
ImageRegistration rDelete("delete.png", [] { return deleteItems(); });
ImageRegistration rPrint("ToolPrint.png", [] { return printer(); });
ImageRegistration rSave("ToolSaveToFile.png", [] { return saveToFile(); });
ImageRegistration rClipboard("ToolSaveToClipboard.png", [] { return saveToClipboard(); });
ImageRegistration rExit("dexit.png", [] { return discardAndExit(); });

} // namespace overlay_images
