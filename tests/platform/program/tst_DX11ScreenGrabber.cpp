// The X11 screen grab against screens of random noise: the test's own display,
// and nested servers with two monitors and with 16-bit colour.
#include <QApplication>
#include <QtTest>

#include "DNestedXServer.h"
#include "DX11ScreenGrabber.h"
#include "DX11TestDisplay.h"

namespace {

// Pixels of `grabbed` that differ from `expected`; the first one in `where`.
int mismatches(const QImage& grabbed, const QImage& expected, QPoint* where = nullptr)
{
    int wrong = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if ((grabbed.pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF)) {
                if (!wrong && where)
                    *where = QPoint(x, y);
                ++wrong;
            }
        }
    }
    return wrong;
}

// Runs `body` with DISPLAY naming `display`, as the grabber reads it.
template <typename Body>
void onDisplay(const QByteArray& display, Body body)
{
    const QByteArray own = qgetenv("DISPLAY");
    qputenv("DISPLAY", display);
    body();
    qputenv("DISPLAY", own);
}

} // namespace

class tst_DX11ScreenGrabber : public QObject
{
    Q_OBJECT

private:
    static void verifyGrab(const QImage& grabbed, const QImage& noise, const QRect& area)
    {
        QCOMPARE(grabbed.size(), area.size());
        QCOMPARE(grabbed.format(), QImage::Format_RGB32);
        QPoint first;
        const int wrong = mismatches(grabbed, noise.copy(area), &first);
        QVERIFY2(wrong == 0, qPrintable(QString("%1 pixels differ, the first at %2,%3")
                                            .arg(wrong).arg(first.x()).arg(first.y())));
        // Opaque pixels, as Qt's RGB32 format wants them.
        QCOMPARE(qAlpha(grabbed.pixel(0, 0)), 255);
    }

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void grabEqualsTheScreen_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::newRow("whole screen") << QRect(0, 0, 1280, 800);
        QTest::newRow("inner part") << QRect(101, 57, 333, 211);
        QTest::newRow("last pixel") << QRect(1279, 799, 1, 1);
    }
    void grabEqualsTheScreen()
    {
        QFETCH(QRect, area);
        DX11TestDisplay display;
        const QImage noise = display.paintRootNoise(4711);
        QVERIFY(!noise.isNull());
        verifyGrab(DX11ScreenGrabber().grab(area), noise, area);
    }

    void oneScreenIsOneMonitor()
    {
        QCOMPARE(DX11ScreenGrabber().monitors(), QList<QRect>{QRect(0, 0, 1280, 800)});
    }

    void areaOffTheDisplayGivesNothing_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::newRow("past the right edge") << QRect(1200, 0, 100, 100);
        QTest::newRow("above the top") << QRect(0, -1, 100, 100);
        QTest::newRow("empty") << QRect(10, 10, 0, 0);
    }
    void areaOffTheDisplayGivesNothing()
    {
        QFETCH(QRect, area);
        QVERIFY(DX11ScreenGrabber().grab(area).isNull());
    }

    void noDisplayGivesNothing()
    {
        onDisplay(":98765", [] {
            QVERIFY(DX11ScreenGrabber().monitors().isEmpty());
            QVERIFY(DX11ScreenGrabber().grab(QRect(0, 0, 10, 10)).isNull());
        });
    }

    void nestedDisplays_data()
    {
        QTest::addColumn<QStringList>("server");
        QTest::addColumn<QList<QRect>>("monitors");
        const QStringList xinerama{"+xinerama", "-extension", "RANDR"};
        QTest::newRow("two monitors side by side")
            << xinerama + QStringList{"-screen", "1280x800", "-screen", "1280x800"}
            << QList<QRect>{QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};
        QTest::newRow("two monitors of different sizes")
            << xinerama + QStringList{"-screen", "1024x768", "-screen", "800x1000"}
            << QList<QRect>{QRect(0, 0, 1024, 768), QRect(1024, 0, 800, 1000)};
        QTest::newRow("16-bit colour") << QStringList{"-screen", "640x480x16"} << QList<QRect>{QRect(0, 0, 640, 480)};
    }
    void nestedDisplays()
    {
        QFETCH(QStringList, server);
        QFETCH(QList<QRect>, monitors);
        DNestedXServer nested(server);
        QVERIFY(nested.isRunning());
        DX11TestDisplay display(nested.display());
        const QImage noise = display.paintRootNoise(2024);
        QVERIFY(!noise.isNull());
        onDisplay(nested.display(), [&] {
            QCOMPARE(DX11ScreenGrabber().monitors(), monitors);
            for (const QRect& monitor : monitors) {
                verifyGrab(DX11ScreenGrabber().grab(monitor), noise, monitor);
                if (QTest::currentTestFailed())
                    return;
            }
        });
    }
};

QTEST_MAIN(tst_DX11ScreenGrabber)
#include "tst_DX11ScreenGrabber.moc"
