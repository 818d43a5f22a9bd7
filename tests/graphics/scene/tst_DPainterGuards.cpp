// The scope guards that paint routines use to keep the painter as they found it.
#include <QPainter>
#include <QtTest>

#include "DPainterAntiScale.h"
#include "DRestorePainter.h"
#include "DRestorePenBrush.h"

class tst_DPainterGuards : public QObject
{
    Q_OBJECT

private slots:
    void restorePenBrush();
    void restorePainter();
    void antiScale_data();
    void antiScale();
    void antiScaleDrawsAtScreenSize();
};

void tst_DPainterGuards::restorePenBrush()
{
    QImage image(10, 10, QImage::Format_ARGB32);
    QPainter painter(&image);
    const QPen pen(Qt::red, 3, Qt::DashLine);
    const QBrush brush(Qt::blue, Qt::Dense3Pattern);
    painter.setPen(pen);
    painter.setBrush(brush);
    {
        DRestorePenBrush guard(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::green);
        painter.translate(4, 4);
    }
    QCOMPARE(painter.pen(), pen);
    QCOMPARE(painter.brush(), brush);
    // Only pen and brush: the transform stays as it was left.
    QCOMPARE(painter.transform(), QTransform::fromTranslate(4, 4));
}

void tst_DPainterGuards::restorePainter()
{
    QImage image(10, 10, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setPen(Qt::red);
    {
        DRestorePainter guard(painter);
        painter.setPen(Qt::blue);
        painter.scale(3, 3);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setOpacity(0.5);
    }
    QCOMPARE(painter.pen().color(), QColor(Qt::red));
    QVERIFY(painter.transform().isIdentity());
    QVERIFY(!painter.testRenderHint(QPainter::Antialiasing));
    QCOMPARE(painter.opacity(), 1.0);
}

void tst_DPainterGuards::antiScale_data()
{
    QTest::addColumn<QTransform>("transform");
    QTest::newRow("zoom 4") << QTransform().translate(30, 40).scale(4, 4);
    QTest::newRow("zoom 0.5") << QTransform().translate(-10, 5).scale(0.5, 0.5);
    QTest::newRow("uneven") << QTransform().scale(2, 3);
    QTest::newRow("rotated") << QTransform().translate(50, 50).rotate(30).scale(2, 2);
}

void tst_DPainterGuards::antiScale()
{
    QFETCH(QTransform, transform);
    QImage image(10, 10, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setTransform(transform);
    const QPointF origin = transform.map(QPointF(0, 0));
    {
        DPainterAntiScale guard(painter);
        const QTransform t = painter.transform();
        // The origin still lands where the transform put it...
        QVERIFY(QLineF(t.map(QPointF(0, 0)), origin).length() < 1e-9);
        // ... and one unit is one device pixel again, in both directions.
        QVERIFY(qAbs(QLineF(t.map(QPointF(0, 0)), t.map(QPointF(1, 0))).length() - 1.0) < 1e-9);
        QVERIFY(qAbs(QLineF(t.map(QPointF(0, 0)), t.map(QPointF(0, 1))).length() - 1.0) < 1e-9);
    }
    QCOMPARE(painter.transform(), transform);
}

void tst_DPainterGuards::antiScaleDrawsAtScreenSize()
{
    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(4, 4);
    painter.translate(10, 10); // the mark's place: device (40, 40)
    {
        DPainterAntiScale guard(painter);
        painter.fillRect(QRectF(0, 0, 6, 6), Qt::black);
    }
    painter.end();
    int black = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                ++black;
    QCOMPARE(black, 36);
    QCOMPARE(image.pixel(40, 40), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(45, 45), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(46, 46), qRgb(255, 255, 255));
}

QTEST_MAIN(tst_DPainterGuards)
#include "tst_DPainterGuards.moc"
