// What the items put on the page: stroke, fill, outlines, images and text.
#include <QPainter>
#include <QtTest>

#include "DGraphicsItemImage.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemPolyline.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"

namespace {

const QRgb kStroke = qRgb(0x3B, 0x3B, 0x3B);
const QRgb kFill = qRgb(0x91, 0xB8, 0xC3);
const QRgb kWhite = qRgb(255, 255, 255);

// Paints the item alone, without antialiasing, on a white image, as a view
// at zoom 1 would.
QImage paintAlone(DGraphicsItem* item, const QSize& size = QSize(200, 160))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setTransform(item->sceneTransform());
    item->paint(&painter, nullptr, nullptr);
    return image;
}

int countColour(const QImage& image, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour)
                ++n;
    return n;
}

} // namespace

class tst_DGraphicsItemPaint : public QObject
{
    Q_OBJECT

private slots:
    void rectangleStrokeAndFill();
    void rectangleWithoutStroke();
    void rectangleFillImage();
    void rectangleBelowOnePixel();
    void line();
    void nullLineNotPainted();
    void openPolylineNeverFilled();
    void polygonFill();
    void image();
    void text();
    void transientItemInSceneShiftsHalfPixel();
};

void tst_DGraphicsItemPaint::rectangleStrokeAndFill()
{
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(20, 20, 100, 60));
    QImage image = paintAlone(&item);
    // A pen of width 2 centred on the edge at y = 20 covers rows 19 and 20.
    QCOMPARE(image.pixel(70, 20), kStroke);
    QCOMPARE(image.pixel(70, 19), kStroke);
    QCOMPARE(image.pixel(70, 17), kWhite);
    QCOMPARE(image.pixel(70, 22), kWhite);
    QCOMPARE(image.pixel(70, 50), kWhite);

    item.setFill(true);
    image = paintAlone(&item);
    QCOMPARE(image.pixel(70, 50), kFill);
    QCOMPARE(image.pixel(70, 20), kStroke);

    item.setStrokeColor(Qt::red);
    item.setStrokeWidth(6);
    image = paintAlone(&item);
    QCOMPARE(image.pixel(70, 22), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(70, 50), kFill);
}

void tst_DGraphicsItemPaint::rectangleWithoutStroke()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
    item->setBoundary(QRectF(20, 20, 100, 60));
    item->setStrokeWidth(0);
    scene.addPersistenItem(item, false);
    const QRect top(20, 18, 100, 4);

    QCOMPARE(countColour(paintAlone(item), top, kStroke), 0);

    // Selected: a one-pixel dotted outline in the stroke colour.
    item->setSelected(true);
    const QImage image = paintAlone(item);
    const int onEdge = countColour(image, QRect(20, 20, 100, 1), kStroke);
    QVERIFY2(onEdge > 20 && onEdge < 80, qPrintable(QString::number(onEdge)));
    QCOMPARE(countColour(image, QRect(22, 18, 96, 2), kStroke), 0);
    QCOMPARE(countColour(image, QRect(22, 21, 96, 2), kStroke), 0);

    // The outline stays one pixel wide at any zoom.
    QImage zoomed(400, 320, QImage::Format_ARGB32);
    zoomed.fill(Qt::white);
    {
        QPainter painter(&zoomed);
        painter.scale(2, 2);
        item->paint(&painter, nullptr, nullptr);
    }
    QCOMPARE(countColour(zoomed, QRect(44, 38, 192, 2), kStroke), 0);
    QVERIFY(countColour(zoomed, QRect(40, 40, 200, 1), kStroke) > 20);
    QCOMPARE(countColour(zoomed, QRect(44, 41, 192, 2), kStroke), 0);

    // A transient item without a stroke shows the outline too.
    DGraphicsItemRectangle sample;
    sample.setBoundary(QRectF(20, 20, 100, 60));
    sample.setStrokeWidth(0);
    QVERIFY(countColour(paintAlone(&sample), QRect(20, 20, 100, 1), kStroke) > 20);
}

void tst_DGraphicsItemPaint::rectangleFillImage()
{
    // Left half red, right half blue.
    QImage fill(200, 160, QImage::Format_ARGB32);
    fill.fill(Qt::blue);
    QPainter(&fill).fillRect(QRect(0, 0, 100, 160), Qt::red);
    DGraphicsItemRectangle item;
    item.setBoundary(QRectF(20, 20, 160, 120));
    item.setFillImage(QPixmap::fromImage(fill));
    const QImage image = paintAlone(&item);
    QCOMPARE(image.pixel(60, 80), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(140, 80), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(60, 20), kStroke);
}

void tst_DGraphicsItemPaint::rectangleBelowOnePixel()
{
    DGraphicsItemRectangle item;
    item.setFill(true);
    item.setBoundary(QRectF(20, 20, 0.5, 20));
    QCOMPARE(countColour(paintAlone(&item), QRect(0, 0, 200, 160), kWhite), 200 * 160);
    item.setBoundary(QRectF(20, 20, 30, 0));
    QCOMPARE(countColour(paintAlone(&item), QRect(0, 0, 200, 160), kWhite), 200 * 160);
    item.setBoundary(QRectF(20, 20, 2, 20));
    QVERIFY(countColour(paintAlone(&item), QRect(0, 0, 200, 160), kWhite) < 200 * 160);
}

void tst_DGraphicsItemPaint::line()
{
    DGraphicsItemLine item;
    item.setFill(true);
    item.setLine(QVector3D(10, 50, 0), QVector3D(150, 50, 0));
    const QImage image = paintAlone(&item);
    QCOMPARE(image.pixel(80, 50), kStroke);
    QCOMPARE(image.pixel(80, 49), kStroke);
    QCOMPARE(image.pixel(80, 53), kWhite);
    QCOMPARE(image.pixel(80, 46), kWhite);
}

void tst_DGraphicsItemPaint::nullLineNotPainted()
{
    DGraphicsItemLine item;
    item.setStrokeWidth(10);
    item.setLine(QVector3D(50, 50, 0), QVector3D(50, 50, 0));
    QCOMPARE(countColour(paintAlone(&item), QRect(0, 0, 200, 160), kWhite), 200 * 160);
}

void tst_DGraphicsItemPaint::openPolylineNeverFilled()
{
    DGraphicsItemPolyline item;
    item.setFillColor(Qt::green);
    item.addPoint(QVector3D(20, 20, 0));
    item.addPoint(QVector3D(150, 20, 0));
    item.addPoint(QVector3D(150, 140, 0));
    QVERIFY(item.isFill());
    QImage image = paintAlone(&item);
    QCOMPARE(image.pixel(85, 20), kStroke);
    QCOMPARE(image.pixel(130, 40), kWhite);

    item.close();
    item.updateCache();
    image = paintAlone(&item);
    QCOMPARE(image.pixel(130, 40), qRgb(0, 255, 0));
}

void tst_DGraphicsItemPaint::polygonFill()
{
    DGraphicsItemPolygon item;
    item.addPoint(QVector3D(20, 20, 0));
    item.addPoint(QVector3D(150, 20, 0));
    item.addPoint(QVector3D(150, 140, 0));
    // Drawn closed while it is being drawn.
    QImage image = paintAlone(&item);
    QCOMPARE(image.pixel(85, 80), kStroke);
    item.close();
    item.updateCache();
    image = paintAlone(&item);
    QCOMPARE(image.pixel(130, 40), kWhite);
    QCOMPARE(image.pixel(85, 80), kStroke);

    item.setFill(true);
    item.updateCache();
    image = paintAlone(&item);
    QCOMPARE(image.pixel(130, 40), kFill);

    // The painter's own brush never fills a polygon, and is given back.
    item.setFill(false);
    QImage plain(200, 160, QImage::Format_ARGB32);
    plain.fill(Qt::white);
    QPainter painter(&plain);
    painter.setBrush(Qt::magenta);
    item.paint(&painter, nullptr, nullptr);
    QCOMPARE(painter.brush().color(), QColor(Qt::magenta));
    painter.end();
    QCOMPARE(plain.pixel(130, 40), kWhite);
}

void tst_DGraphicsItemPaint::image()
{
    QImage source(30, 20, QImage::Format_ARGB32);
    source.fill(qRgb(10, 200, 30));
    DGraphicsItemImage item;
    item.setImage(QPixmap::fromImage(source));
    item.setTranslation(QVector3D(40, 50, 0), false);
    const QImage image = paintAlone(&item);
    QCOMPARE(image.pixel(41, 51), qRgb(10, 200, 30));
    QCOMPARE(image.pixel(68, 68), qRgb(10, 200, 30));
    QCOMPARE(image.pixel(39, 51), kWhite);
    QCOMPARE(image.pixel(71, 60), kWhite);
}

void tst_DGraphicsItemPaint::text()
{
    DGraphicsScene scene;
    DGraphicsItemText* item = new DGraphicsItemText;
    item->setBoundary(QRectF(20, 20, 0, 0));
    QFont font;
    font.setPointSize(28);
    font.setBold(true);
    item->setFont(font);
    item->setTextColor(QColor(200, 0, 0));
    item->setPlainText("WWW");
    scene.addPersistenItem(item, false);
    const QRectF r = item->rectangle();
    QVERIFY(r.width() > 20 && r.height() > 20);

    QImage image = paintAlone(item, QSize(400, 200));
    const QRect area = r.toRect();
    QVERIFY(countColour(image, area, qRgb(200, 0, 0)) > 20);
    // Without a stroke, a persistent unselected text has no frame.
    QCOMPARE(countColour(image, area, kStroke), 0);

    item->setSelected(true);
    image = paintAlone(item, QSize(400, 200));
    QVERIFY(countColour(image, QRect(area.left(), area.top(), area.width(), 1), kStroke) > 5);
}

void tst_DGraphicsItemPaint::transientItemInSceneShiftsHalfPixel()
{
    DGraphicsScene scene;
    DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
    item->setStrokeWidth(1);
    item->setBoundary(QRectF(20, 20, 100, 60));
    scene.addActiveItem(item);
    // Shifted by half a pixel, a one-pixel stroke on y = 20 fills row 20 exactly.
    const QImage image = paintAlone(item);
    QCOMPARE(image.pixel(70, 20), kStroke);
    QCOMPARE(image.pixel(70, 19), kWhite);
    QCOMPARE(image.pixel(70, 21), kWhite);
}

QTEST_MAIN(tst_DGraphicsItemPaint)
#include "tst_DGraphicsItemPaint.moc"
