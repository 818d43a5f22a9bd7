// The grab and the window tree on a 2560 x 1600 screen that Qt scales (run with
// QT_SCALE_FACTOR 2 and 1.5): both in the display's own pixels, so that picking
// a window in the tree picks that window's pixels in the screenshot.
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "DConfigCapture.h"
#include "DGrabbingMainDialog.h"
#include "DLinuxPlatformServices.h"
#include "DX11TestDisplay.h"

namespace {

// A window of one colour.
class SolidWidget : public QWidget
{
public:
    explicit SolidWidget(QRgb colour)
        : m_colour(colour)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(m_colour)); }

private:
    QRgb m_colour;
};

// Pixels of `image` in `area` that are not `colour`.
int otherThan(const QImage& image, const QRect& area, QRgb colour)
{
    int other = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            other += (image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF);
    }
    return other;
}

} // namespace

class tst_DMainDialogScaled : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The grab reads the real display: its pixels and its windows.
        installLinuxPlatformServices();
        QSettings*& settings = DSingleton<DConfigCapture>::instance()->m_pSettings;
        delete settings;
        settings = new QSettings(m_dir.filePath("scaled.ini"), QSettings::IniFormat);
        QVERIFY(QGuiApplication::primaryScreen()->devicePixelRatio() > 1.0);
        QCOMPARE(DX11TestDisplay().rootSize(), QSize(2560, 1600));
    }

    void treeAndScreenshotAgree()
    {
        DX11TestDisplay display;
        const QImage noise = display.paintRootNoise(77);
        QVERIFY(!noise.isNull());
        const QRgb inside = qRgb(200, 30, 90);
        const QRgb corner = qRgb(20, 160, 60);
        const QRect insideRect(1000, 600, 400, 300);
        const QRect cornerRect(2400, 1500, 300, 200);
        display.createWindow(insideRect, inside, "Zorvel inside");
        // Partly off the screen: the tree keeps the part on it.
        display.createWindow(cornerRect, corner, "Zorvel corner");
        // A window of this scaled application, placed and drawn by Qt.
        const QRgb own = qRgb(40, 70, 220);
        SolidWidget widget(own);
        widget.setWindowTitle("Zorvel scaled widget");
        widget.setGeometry(100, 100, 200, 150);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget, 20000));
        QTest::qWait(200);

        GrabbingMainDialog window;
        window.capture(DD::Window);
        QTRY_COMPARE_WITH_TIMEOUT(window.m_nGrabs, 1, 10000);

        QCOMPARE(window.m_screenRect, QRect(0, 0, 2560, 1600));
        QCOMPARE(window.m_tree.rectangle, window.m_screenRect);
        QCOMPARE(window.m_screenshot.size(), QSize(2560, 1600));
        QCOMPARE(window.m_screenshot.devicePixelRatio(), 1.0);
        const QImage shot = window.m_screenshot.toImage();

        DWidgetHit hit = window.m_tree.findWidgetFromPoint(insideRect.center());
        QVERIFY(hit.node);
        QCOMPARE(hit.node->title, QString("Zorvel inside"));
        QCOMPARE(hit.rectangle, insideRect);
        QCOMPARE(otherThan(shot, hit.rectangle, inside), 0);

        hit = window.m_tree.findWidgetFromPoint(QPoint(2500, 1550));
        QVERIFY(hit.node);
        QCOMPARE(hit.node->title, QString("Zorvel corner"));
        QCOMPARE(hit.rectangle, QRect(2400, 1500, 160, 100));
        QCOMPARE(otherThan(shot, hit.rectangle, corner), 0);

        // The application's own window: its place in the display's pixels.
        const qreal ratio = widget.devicePixelRatioF();
        hit = window.m_tree.findWidgetFromPoint(QPoint(200, 175) * ratio);
        QVERIFY(hit.node);
        QCOMPARE(hit.node->title, QString("Zorvel scaled widget"));
        QVERIFY(qAbs(hit.rectangle.width() - 200 * ratio) <= 1 && qAbs(hit.rectangle.height() - 150 * ratio) <= 1);
        QCOMPARE(otherThan(shot, hit.rectangle, own), 0);

        // Elsewhere the screenshot is the desktop behind, pixel for pixel.
        int wrong = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QPoint p(x, y);
                if (window.m_tree.findWidgetFromPoint(p).node != &window.m_tree)
                    continue;
                wrong += (shot.pixel(p) & 0xFFFFFF) != (noise.pixel(p) & 0xFFFFFF);
            }
        }
        QCOMPARE(wrong, 0);
    }
};

QTEST_MAIN(tst_DMainDialogScaled)
#include "tst_DMainDialogScaled.moc"
