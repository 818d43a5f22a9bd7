// Which monitor holds a window, from Qt's logical coordinates to the display's
// physical pixels; run once unscaled and once with QT_SCALE_FACTOR=2 on the
// offscreen screen (800 x 600 physical pixels at the origin).
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include "DFakeScreenGrabber.h"
#include "DX11ScreenGrabber.h"

class tst_DScreenGrabber : public QObject
{
    Q_OBJECT

private:
    static QScreen* screen() { return QGuiApplication::primaryScreen(); }
    // The logical point Qt gives for a physical one on the offscreen screen.
    static QPoint logical(const QPoint& physical) { return physical / screen()->devicePixelRatio(); }

private slots:
    void initTestCase()
    {
        const qreal expectedRatio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? 2.0 : 1.0;
        QCOMPARE(screen()->devicePixelRatio(), expectedRatio);
        QCOMPARE(screen()->geometry().size() * expectedRatio, QSize(800, 600));
    }

    void monitorShowingThePoint_data()
    {
        QTest::addColumn<QList<QRect>>("monitors");
        QTest::addColumn<QPoint>("physicalPoint");
        QTest::addColumn<QRect>("expected");
        const QList<QRect> halves{QRect(0, 0, 400, 600), QRect(400, 0, 400, 600)};
        QTest::newRow("left half") << halves << QPoint(100, 100) << halves.at(0);
        QTest::newRow("right half") << halves << QPoint(500, 100) << halves.at(1);
        QTest::newRow("last pixel of the left half") << halves << QPoint(398, 598) << halves.at(0);
        // A point that no monitor holds: the one at the screen's origin.
        const QList<QRect> gap{QRect(400, 0, 400, 300), QRect(0, 0, 300, 300)};
        QTest::newRow("in a gap: the monitor at the origin") << gap << QPoint(350, 500) << gap.at(1);
        // Nor is any at the origin: the nearest.
        const QList<QRect> apart{QRect(10, 10, 200, 200), QRect(500, 0, 300, 600)};
        QTest::newRow("in a gap: the nearest") << apart << QPoint(450, 100) << apart.at(1);
        QTest::newRow("no monitors: the screen") << QList<QRect>() << QPoint(100, 100) << QRect(0, 0, 800, 600);
    }
    void monitorShowingThePoint()
    {
        QFETCH(QList<QRect>, monitors);
        QFETCH(QPoint, physicalPoint);
        QFETCH(QRect, expected);
        DFakeScreenGrabber grabber(monitors);
        QCOMPARE(grabber.monitorShowing(screen(), logical(physicalPoint)), expected);
    }

    void platformGrabberWithoutXKnowsNothing()
    {
        // Offscreen, the platform's own grabber has no display to read.
        const DX11ScreenGrabber platform;
        QVERIFY(platform.monitors().isEmpty());
        QVERIFY(platform.grab(QRect(0, 0, 10, 10)).isNull());
    }
};

QTEST_MAIN(tst_DScreenGrabber)
#include "tst_DScreenGrabber.moc"
