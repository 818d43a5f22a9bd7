// The real Zorvelshot's capture overlay where Qt's coordinates are not the
// display's pixels: a 2560 x 1600 screen that Qt scales (run with
// QT_SCALE_FACTOR 2 and 1.5, which the program inherits) and the right-hand one
// of two monitors. The test drives the program as a user does, with xdotool in
// the display's own pixels, over a screen of random noise, and checks what the
// program shows and saves pixel by pixel against it.
#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

#include "DFullScreenSelector.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemRectangleWindow.h"
#include "DLocalInstancePeer.h"
#include "DNoiseImage.h"
#include "DOverlayLayout.h"
#include "DProgramProcess.h"
#include "DUserActions.h"
#include "DX11TestDisplay.h"

namespace {

QString number(int value)
{
    return QString::number(value);
}

// A window's place and size as the display has them.
QRect windowGeometry(const QString& window)
{
    QHash<QString, int> values;
    for (const QString& line : xdotoolLines({"getwindowgeometry", "--shell", window}))
        values[line.section('=', 0, 0)] = line.section('=', 1).toInt();
    return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
}

// Whether a colour is the noise's under the overlay's veil (40 % left), to
// within the rounding of the dimming.
bool isDimmed(QRgb shown, QRgb noise)
{
    const qreal kept = 1.0 - DFullScreenSelector::DimOpacity;
    return qAbs(qRed(shown) - qRound(qRed(noise) * kept)) <= 1
        && qAbs(qGreen(shown) - qRound(qGreen(noise) * kept)) <= 1
        && qAbs(qBlue(shown) - qRound(qBlue(noise) * kept)) <= 1;
}

// The colour of the raised frames on top of the overlay's two bars, in their
// middle rows.
const QRgb BarFrame = qRgb(185, 196, 202);

} // namespace

class tst_OverlayOnDesktops : public QObject
{
    Q_OBJECT

private:
    // A point of the overlay (its own logical coordinates, as its widgets are
    // laid out) in the display's pixels.
    QPoint onDisplay(const QPointF& overlayPoint) const
    {
        return m_monitor.topLeft()
            + QPoint(int(std::floor(overlayPoint.x() * m_ratio)), int(std::floor(overlayPoint.y() * m_ratio)));
    }

    // Where the overlay's buttons will be once its bars are in, in the display's pixels.
    void measureButtons()
    {
        const DOverlayLayout layout = measureOverlayLayout(m_screen, m_monitor.size());
        for (auto button = layout.buttons.cbegin(); button != layout.buttons.cend(); ++button)
            m_buttons[button.key()] = onDisplay(button.value());
        m_mainBarTop = layout.mainBarTop;
        m_subBarTop = layout.subBarTop;
    }

    // Whether the bar whose frame's top row is `top` (overlay coordinates)
    // stands still there: the middle rows of the frame show its colour (its
    // edges are thicker or thinner with the scale).
    bool barIsIn(int top)
    {
        for (qreal row : {2.0, 3.0}) {
            const QPoint at = onDisplay(QPointF(10.5, top + row));
            const QImage pixel = m_display.grab(QRect(at, QSize(1, 1)));
            if (pixel.isNull() || (pixel.pixel(0, 0) & 0xFFFFFF) != (BarFrame & 0xFFFFFF))
                return false;
        }
        return true;
    }

    void click(const QString& button)
    {
        QVERIFY2(m_buttons.contains(button), qPrintable(button));
        QVERIFY(clickAt(m_buttons.value(button)));
    }

    void drag(const QPoint& from, const QPoint& to) { QVERIFY(dragPointer(from, to)); }

    // The program with its main window on screen, moved onto the monitor under
    // test: the window's id, or an empty text.
    QString startShown()
    {
        m_program.reset(startProgramShown(m_programPath, m_output->path()));
        const QString window = waitForVisibleWindow(*m_program, "Zorvelshot");
        if (window.isEmpty())
            return QString();
        // Without a window manager the window goes where it is told at once.
        const QPoint place = m_monitor.topLeft() + QPoint(m_monitor.width() / 3, m_monitor.height() / 3);
        xdotool({"windowmove", "--sync", window, number(place.x()), number(place.y())});
        return window;
    }

    // The share of the monitor's pixels that show the noise under the veil, in
    // the worst of a 4 x 4 grid of tiles: an overlay that is shifted, scaled or
    // covers only a part of the monitor fails in some tile.
    double worstTileDimmed(QString& where)
    {
        const QImage shown = m_display.grab(m_monitor);
        if (shown.isNull())
            return 0.0;
        double worst = 1.0;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                const QRect tile(column * shown.width() / 4, row * shown.height() / 4, shown.width() / 4,
                                 shown.height() / 4);
                int matching = 0;
                for (int y = tile.top(); y <= tile.bottom(); ++y) {
                    for (int x = tile.left(); x <= tile.right(); ++x)
                        matching += isDimmed(shown.pixel(x, y), m_noise.pixel(m_monitor.topLeft() + QPoint(x, y)));
                }
                const double share = double(matching) / (tile.width() * tile.height());
                if (share < worst) {
                    worst = share;
                    where = QString("tile %1,%2 (%3 dimmed)").arg(column).arg(row).arg(share);
                }
            }
        }
        return worst;
    }

    // Presses the main window's mode key; the overlay's window once it covers
    // the monitor, or an empty text.
    QString startCapture(const QString& window, const QString& key)
    {
        if (!xdotool({"windowfocus", "--sync", window}) || !xdotool({"key", key}))
            return QString();
        return waitForVisibleWindow(*m_program, "Zorvel is Capturing");
    }

    // The program shown, its overlay up for rectangles and `area` (display
    // pixels) swept as a piece, with the main bar in.
    void sweepAPiece(const QRect& area)
    {
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY2(!startCapture(window, "alt+r").isEmpty(), "the overlay never showed");
        drag(area.topLeft(), area.bottomRight());
        QVERIFY(QTest::qWaitFor([this]() { return barIsIn(m_mainBarTop); }, 10000));
    }

    // The one file the program wrote into the output folder, once it is there.
    QImage savedImage() { return savedImageIn(m_output->path()); }

    // A rectangle of the overlay (its own logical coordinates) in the display's
    // pixels, kept on the monitor.
    QRect onDisplay(const QRectF& overlayRect) const
    {
        return QRect(onDisplay(overlayRect.topLeft()), onDisplay(overlayRect.bottomRight()))
            .intersected(m_monitor);
    }

    // The pixels of `area` (display pixels) that do not show the noise itself.
    int pixelsNotNoise(const QRect& area)
    {
        const QImage shown = m_display.grab(area);
        return shown.isNull() ? -1 : pixelsDiffering(m_noise, area, shown, QPoint(0, 0));
    }

    // Where the grips of the piece under `onPiece` are drawn within `area`
    // (display pixels): the pixels that change when the piece is deselected
    // by a click on `away` (an empty place) and selected again. The piece is
    // selected and the pointer on `away` afterwards; an empty rectangle when
    // nothing changed.
    QRect gripsDrawnIn(const QRect& area, const QPoint& onPiece, const QPoint& away)
    {
        if (!clickAt(onPiece) || !xdotool({"mousemove", number(away.x()), number(away.y())}))
            return QRect();
        // The screen settles: the same twice in a row.
        QImage selected = m_display.grab(area);
        (void)QTest::qWaitFor([&]() {
            const QImage again = m_display.grab(area);
            const bool same = again == selected;
            selected = again;
            return same;
        }, 5000);
        if (!clickAt(away))
            return QRect();
        QImage deselected;
        (void)QTest::qWaitFor([&]() {
            deselected = m_display.grab(area);
            return deselected != selected;
        }, 5000);
        QRect changed;
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) {
                if (selected.pixel(x, y) != deselected.pixel(x, y))
                    changed |= QRect(area.topLeft() + QPoint(x, y), QSize(1, 1));
            }
        }
        if (!clickAt(onPiece) || !xdotool({"mousemove", number(away.x()), number(away.y())})
            || !QTest::qWaitFor([&]() { return m_display.grab(area) == selected; }, 5000))
            return QRect();
        return changed;
    }

    // Selects the piece with a click at `onPiece` (display pixels) and sets
    // its stroke width to 0 in the quick-editor strip beside it, as a user
    // types it there; `field` is where the strip's field is (overlay
    // coordinates, measured before the program started).
    void takeTheFrameAway(const QPoint& onPiece, const QPointF& field)
    {
        QVERIFY2(!field.isNull(), "the strip shows no stroke width");
        QVERIFY(clickAt(onPiece));
        QVERIFY(clickAt(onDisplay(field)));
        QVERIFY(xdotool({"key", "ctrl+a"}));
        QVERIFY(xdotool({"type", "0"}));
    }

    // Save or Clipboard on the main bar once it is in; what the user gets.
    QImage output(const QString& button)
    {
        if (!QTest::qWaitFor([this]() { return barIsIn(m_mainBarTop); }, 10000)) {
            qWarning("the main bar did not come in");
            return QImage();
        }
        click(button);
        return button == "toolButtonSave" ? savedImage() : pastedImage();
    }

    QString m_programPath;
    QScopedPointer<QProcess> m_program;
    QScreen* m_screen = nullptr;
    // The monitor under test in the display's pixels, and Qt's scale on it.
    QRect m_monitor;
    qreal m_ratio = 1.0;
    DX11TestDisplay m_display;
    QImage m_noise;
    QScopedPointer<QTemporaryDir> m_output;
    QHash<QString, QPoint> m_buttons;
    int m_mainBarTop = 0;
    int m_subBarTop = 0;

private slots:
    void initTestCase()
    {
        m_programPath = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/bin/Zorvelshot";
        QVERIFY2(QFileInfo(m_programPath).isExecutable(), qPrintable(m_programPath));
        QVERIFY(QGuiApplication::platformName() == QLatin1String("xcb"));
        // The right-hand monitor when there are two.
        const QList<QScreen*> screens = QGuiApplication::screens();
        m_screen = *std::max_element(screens.begin(), screens.end(), [](QScreen* a, QScreen* b) {
            return a->geometry().x() < b->geometry().x();
        });
        m_ratio = m_screen->devicePixelRatio();
        // Qt keeps a screen's origin in the display's pixels and scales its
        // size; the display's own size has the last word over the rounding.
        const QRect logical = m_screen->geometry();
        m_monitor = QRect(logical.topLeft(), logical.size() * m_ratio)
                        .intersected(QRect(QPoint(0, 0), m_display.rootSize()));
        QVERIFY2(m_ratio > 1.0 || screens.count() > 1, "neither scaled nor two monitors");
        measureButtons();
        m_noise = m_display.paintRootNoise(20261210);
        QVERIFY(!m_noise.isNull());
    }

    void init()
    {
        m_output.reset(new QTemporaryDir);
        QVERIFY(m_output->isValid());
    }

    void cleanup() { endProgram(m_program); }

    void regionIsTheSweptPixels_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("save") << "toolButtonSave";
        QTest::newRow("clipboard") << "toolButtonClipboard";
    }

    // The overlay covers the whole monitor with the screenshot one to one
    // under the veil; the rectangle the pointer sweeps is what comes out.
    void regionIsTheSweptPixels()
    {
        QFETCH(QString, button);
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        const QString overlay = startCapture(window, "alt+r");
        QVERIFY2(!overlay.isEmpty(), "the overlay never showed");
        // Exactly the monitor; a scale that maps no whole number of logical
        // pixels onto it may round the window's size up, off the display.
        QCOMPARE(windowGeometry(overlay).intersected(QRect(QPoint(0, 0), m_display.rootSize())), m_monitor);
        QString where;
        QVERIFY2(QTest::qWaitFor([&]() { return worstTileDimmed(where) > 0.9; }, 10000), qPrintable(where));

        // Odd places and sizes: no scale maps them onto whole logical pixels.
        const QRect area(m_monitor.topLeft() + QPoint(301, 157), QSize(203, 141));
        drag(area.topLeft(), area.bottomRight());
        const QImage image = output(button);
        QCOMPARE(image.size(), area.size());
        // Inside the outline that marks the piece: the screen's own pixels.
        QCOMPARE(pixelsDiffering(m_noise, area.adjusted(2, 2, -2, -2), image, QPoint(2, 2)), 0);
    }

    // The sub-tool bar comes in above the main bar, its buttons answer, and a
    // line lands where the pointer drew it, on odd pixels too.
    void lineDrawnAfterTheCaptureIsSaved()
    {
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY2(!startCapture(window, "alt+r").isEmpty(), "the overlay never showed");
        const QRect area(m_monitor.topLeft() + QPoint(101, 121), QSize(251, 161));
        drag(area.topLeft(), area.bottomRight());
        QVERIFY(QTest::qWaitFor([this]() { return barIsIn(m_mainBarTop); }, 10000));
        click("toolButtonDraw");
        QVERIFY2(QTest::qWaitFor([this]() { return barIsIn(m_subBarTop); }, 10000), "the sub-tool bar did not come in");
        click("toolButtonDrawLine");
        // Away from the piece's edges and middle, where the pointer snaps.
        const QPoint from = area.topLeft() + QPoint(52, 42);
        const QPoint to = from + QPoint(121, 0);
        drag(from, to);
        click("toolButtonSave");
        const QImage saved = savedImage();
        QCOMPARE(saved.size(), area.size());
        // The line's middle row is the line's colour all along; rows away
        // from it are the screen.
        const int row = from.y() - area.top();
        int offTheLine = 0;
        for (int x = from.x() - area.left() + 3; x <= to.x() - area.left() - 3; ++x)
            offTheLine += (saved.pixel(x, row) & 0xFFFFFF) != 0x3B3B3Bu;
        QCOMPARE(offTheLine, 0);
        for (int away : {-20, 20}) {
            const QRect band(from.x(), from.y() + away, to.x() - from.x() + 1, 1);
            QCOMPARE(pixelsDiffering(m_noise, band, saved, band.topLeft() - area.topLeft()), 0);
        }
    }

    // The drawn cursor is repainted where it is drawn. The window prompt
    // paints the whole window it highlights, cursor and label included; moving
    // on inside the window repaints only around the cursor, and nothing of the
    // cross or its label may be left where it was. Beside the right edge the
    // label stays on the monitor.
    void drawnCursorLeavesNothingBehind()
    {
        // A window over the lower two thirds of the monitor, its full width.
        const int third = m_monitor.height() / 3;
        const QRect frame(m_monitor.topLeft() + QPoint(0, third), QSize(m_monitor.width(), m_monitor.height() - third));
        const QImage content = noiseImage(frame.size(), 5151);
        const quint32 target = m_display.createPictureWindow(frame, content, "Trail target");
        QVERIFY(target);
        const auto destroyTarget = qScopeGuard([&]() { m_display.destroyWindow(target); });
        const auto shownInWindow = [&](const QRect& area) {
            const QImage shown = m_display.grab(area);
            return shown.isNull() ? -1
                                  : pixelsDiffering(content, area.translated(-frame.topLeft()), shown, QPoint(0, 0));
        };
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY2(!startCapture(window, "alt+w").isEmpty(), "the overlay never showed");

        // Onto the window: it is highlighted and painted with the cursor on it.
        const qreal top = third / m_ratio;
        const QPointF first(300.5, top + 150.5);
        const QRect aroundFirst = onDisplay(QRectF(first - QPointF(40, 40), first + QPointF(240, 90)));
        const QPoint firstOnDisplay = onDisplay(first);
        QVERIFY(xdotool({"mousemove", number(firstOnDisplay.x()), number(firstOnDisplay.y())}));
        const QRect band = aroundFirst.translated(0, aroundFirst.height() + 20);
        QVERIFY2(QTest::qWaitFor([&]() { return shownInWindow(band) == 0 && shownInWindow(aroundFirst) > 0; }, 10000),
                 "the window was never highlighted with the cursor on it");

        // On inside the window, near its right edge, where the label has no
        // room on the right of the cursor.
        const qreal right = m_monitor.width() / m_ratio;
        const QPointF last(right - 50.5, (m_monitor.height() / m_ratio + top) / 2 + 100.5);
        const QPoint lastOnDisplay = onDisplay(last);
        QVERIFY(xdotool({"mousemove", number(lastOnDisplay.x()), number(lastOnDisplay.y())}));
        const QRect leftOfLast = onDisplay(QRectF(last - QPointF(250, 80), last + QPointF(-25, 80)));
        QVERIFY2(QTest::qWaitFor([&]() { return shownInWindow(leftOfLast) > 0; }, 10000),
                 "the label never showed beside the right edge");
        QCOMPARE(shownInWindow(aroundFirst), 0);
        // Right of the cross's arm, up to the window's outline at the edge:
        // nothing of the label.
        const QRect rightOfLast =
            onDisplay(QRectF(last + QPointF(25, -80), QPointF(right, last.y() + 80))).adjusted(0, 0, -4, 0);
        QCOMPARE(shownInWindow(rightOfLast), 0);
    }

    // A grip is hit where its glyph is drawn, up to the glyph's corner, and a
    // drag of it leaves nothing of the grip or the cursor where they were.
    void gripIsHitAndRepaintedWhereItIsDrawn()
    {
        const QRect area(m_monitor.topLeft() + QPoint(201, 181), QSize(301, 201));
        sweepAPiece(area);
        if (QTest::currentTestFailed())
            return;
        // The grip in the middle of the bottom edge: a bar across the edge.
        const QPoint away = area.bottomRight() + QPoint(150, 170);
        const QPoint base(area.center().x(), area.bottom());
        const QRect band(base - QPoint(30, 15), QSize(61, 31));
        // The clicks on the piece far from its edges and its middle, where
        // they would snap and show guide lines.
        const QRect glyph = gripsDrawnIn(band, area.topLeft() + QPoint(area.width() / 4, area.height() / 4), away);
        QVERIFY2(glyph.contains(base) && glyph.width() > glyph.height() && glyph.height() < band.height(),
                 qPrintable(QString("%1 x %2 at %3, %4")
                                .arg(glyph.width())
                                .arg(glyph.height())
                                .arg(glyph.x())
                                .arg(glyph.y())));

        // Pressed on the glyph's corner and dragged down.
        const QPoint offset(0, 40);
        QVERIFY(dragPointer(glyph.bottomRight(), glyph.bottomRight() + offset));
        QVERIFY(xdotool({"mousemove", number(away.x()), number(away.y())}));
        // Where the grip and the cursor on it were, the piece now shows the
        // screen: nothing of either is left.
        const QRect oldPlace(base - QPoint(45, 25), QSize(91, 51));
        (void)QTest::qWaitFor([&]() { return pixelsNotNoise(oldPlace) == 0; }, 5000);
        QCOMPARE(pixelsNotNoise(oldPlace), 0);

        click("toolButtonSave");
        // As far down as the pointer went, to within the snap to the edge
        // where the press began.
        const QImage saved = savedImage();
        QCOMPARE(saved.width(), area.width());
        QVERIFY2(qAbs(saved.height() - (area.height() + offset.y())) <= glyph.height(),
                 qPrintable(QString::number(saved.height())));
    }

    // The guide line shown where the pointer snaps to a piece's edge is
    // repainted away whole once the pointer leaves the edge: nothing of it
    // stays on the white the pieces stand on once the main bar is in.
    void snapLineLeavesNothingBehind()
    {
        const QRect area(m_monitor.topLeft() + QPoint(201, 181), QSize(301, 201));
        sweepAPiece(area);
        if (QTest::currentTestFailed())
            return;
        // A band across the piece's left edge, above the piece, far from the
        // pointer and its label: only the white, or the guide line.
        const QRect band(area.left() - 6, m_monitor.top() + 40, 13, area.top() - m_monitor.top() - 60);
        const auto notWhite = [&]() {
            const QImage shown = m_display.grab(band);
            if (shown.isNull())
                return -1;
            int count = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    count += (shown.pixel(x, y) & 0xFFFFFF) != 0xFFFFFFu;
            return count;
        };
        QVERIFY2(QTest::qWaitFor([&]() { return notWhite() == 0; }, 10000), "the pieces never stood on white");
        // Below the piece, on the column of its left edge: the pointer snaps
        // to it and the line runs across the whole screen.
        const QPoint onEdge(area.left(), area.bottom() + 120);
        QVERIFY(xdotool({"mousemove", number(onEdge.x()), number(onEdge.y())}));
        QVERIFY2(QTest::qWaitFor([&]() { return notWhite() >= band.height(); }, 10000), "no guide line showed");
        // Away from every edge and middle of the piece.
        const QPoint away = area.bottomRight() + QPoint(150, 110);
        QVERIFY(xdotool({"mousemove", number(away.x()), number(away.y())}));
        (void)QTest::qWaitFor([&]() { return notWhite() == 0; }, 5000);
        QCOMPARE(notWhite(), 0);
    }

    void pieceWithoutFrameIsTheScreensPixels_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QString>("button");
        QTest::newRow("rectangle, saved") << "rectangle" << "toolButtonSave";
        QTest::newRow("rectangle, copied") << "rectangle" << "toolButtonClipboard";
        QTest::newRow("polygon, saved") << "polygon" << "toolButtonSave";
        QTest::newRow("window, copied") << "window" << "toolButtonClipboard";
    }

    // With its stroke width set to 0 a piece is the screen's pixels, opaque
    // up to its edges, whichever way it was picked and put out.
    void pieceWithoutFrameIsTheScreensPixels()
    {
        QFETCH(QString, piece);
        QFETCH(QString, button);
        const QPoint origin = m_monitor.topLeft();
        // Odd places and sizes: no scale maps them onto whole logical pixels.
        const QRect area(origin + QPoint(301, 157), QSize(203, 141));
        const QPolygon corners({origin + QPoint(301, 201), origin + QPoint(601, 201), origin + QPoint(601, 401),
                                origin + QPoint(451, 401), origin + QPoint(301, 301)});
        const QRect frame(origin + QPoint(523, 211), QSize(87, 59));
        const QImage content = noiseImage(frame.size(), 2727);
        QScopedPointer<DGraphicsItem> probe;
        if (piece == "rectangle") {
            auto* rectangle = new DGraphicsItemRectangleWindow;
            rectangle->setBoundary(QRectF(area.translated(-origin)).adjusted(0, 0, -1, -1));
            probe.reset(rectangle);
        } else if (piece == "polygon") {
            auto* polygon = new DGraphicsItemPolygon;
            for (const QPoint& corner : corners)
                polygon->addPoint(QVector3D(corner - origin));
            polygon->close();
            polygon->updateCache();
            probe.reset(polygon);
        } else {
            auto* window = new DGraphicsItemRectangle;
            window->setBoundary(QRectF(frame.translated(-origin)).translated(-0.5, -0.5));
            probe.reset(window);
        }
        const QPointF field = measureStrokeWidthField(m_screen, m_monitor.size(), probe.take());

        quint32 target = 0;
        if (piece == "window") {
            target = m_display.createPictureWindow(frame, content, "Capture target");
            QVERIFY(target);
        }
        const auto destroyTarget = qScopeGuard([&]() {
            if (target)
                m_display.destroyWindow(target);
        });
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        const QString key = piece == "rectangle" ? "alt+r" : piece == "polygon" ? "alt+p" : "alt+w";
        QVERIFY2(!startCapture(window, key).isEmpty(), "the overlay never showed");
        QPoint inside;
        if (piece == "rectangle") {
            drag(area.topLeft(), area.bottomRight());
            inside = area.topLeft() + QPoint(area.width() / 4, area.height() / 4);
        } else if (piece == "polygon") {
            for (const QPoint& corner : corners)
                QVERIFY(xdotool({"mousemove", number(corner.x()), number(corner.y()), "click", "1"}));
            QVERIFY(xdotool({"click", "3"}));
            inside = corners.boundingRect().topLeft() + QPoint(80, 40);
        } else {
            QVERIFY(xdotool({"mousemove", number(frame.center().x()), number(frame.center().y())}));
            QVERIFY(xdotool({"click", "1"}));
            inside = frame.topLeft() + QPoint(frame.width() / 4, frame.height() / 4);
        }
        QVERIFY(QTest::qWaitFor([this]() { return barIsIn(m_mainBarTop); }, 10000));
        takeTheFrameAway(inside, field);
        const QImage image = output(button);
        QVERIFY(!image.isNull());
        if (piece == "polygon") {
            const QRect bounds = corners.boundingRect();
            const int margin = (image.width() - bounds.width()) / 2;
            QCOMPARE(image.size(), bounds.size() + QSize(2 * margin, 2 * margin));
            QCOMPARE(polygonPixelsWrong(m_noise, corners, image, bounds.topLeft() - QPoint(margin, margin)), 0);
            return;
        }
        const QImage& screen = piece == "window" ? content : m_noise;
        const QRect pixels = piece == "window" ? content.rect() : area;
        QCOMPARE(image.size(), pixels.size());
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                wrong += image.pixel(x, y) != screen.pixel(pixels.topLeft() + QPoint(x, y));
        QCOMPARE(wrong, 0);
    }

    void windowOfOnePixelIsCaptured_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("button");
        QTest::newRow("1 x 1, saved") << QSize(1, 1) << "toolButtonSave";
        QTest::newRow("1 x 1, copied") << QSize(1, 1) << "toolButtonClipboard";
        QTest::newRow("1 x 40, saved") << QSize(1, 40) << "toolButtonSave";
        QTest::newRow("40 x 1, copied") << QSize(40, 1) << "toolButtonClipboard";
    }

    // Every window the tree lists gives a piece of its size, the thinnest
    // included.
    void windowOfOnePixelIsCaptured()
    {
        QFETCH(QSize, size);
        QFETCH(QString, button);
        // On an odd pixel, which a screen scaled by 2 or 1.5 puts half way
        // into one of Qt's.
        const QRect frame(m_monitor.topLeft() + QPoint(601, 403), size);
        const quint32 target = m_display.createWindow(frame, qRgb(200, 30, 90), "Thin target");
        QVERIFY(target);
        const auto destroyTarget = qScopeGuard([&]() { m_display.destroyWindow(target); });
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        const QPoint beside = frame.topLeft() + QPoint(80, 80);
        QVERIFY(xdotool({"mousemove", number(beside.x()), number(beside.y())}));
        QVERIFY2(!startCapture(window, "alt+w").isEmpty(), "the overlay never showed");
        // Onto the window's one pixel: it is highlighted, its size beside the cursor.
        QVERIFY(xdotool({"mousemove", number(frame.x()), number(frame.y())}));
        QVERIFY(QTest::qWaitFor([&]() {
            const QImage shown = m_display.grab(frame);
            return !shown.isNull() && (shown.pixel(0, 0) & 0xFFFFFF) != (qRgb(80, 12, 36) & 0xFFFFFF);
        }, 10000));
        QVERIFY(xdotool({"click", "1"}));
        const QImage image = output(button);
        QCOMPARE(image.size(), size);
    }

    // Picking a window picks that window's pixels, up to its last pixel.
    void windowIsThatWindowsPixels()
    {
        const QRect frame(m_monitor.topLeft() + QPoint(523, 211), QSize(321, 243));
        const QImage content = noiseImage(frame.size(), 4242);
        const quint32 target = m_display.createPictureWindow(frame, content, "Capture target");
        QVERIFY(target);
        // The pointer rests on the window: it is highlighted from the start.
        QVERIFY(xdotool({"mousemove", number(frame.center().x()), number(frame.center().y())}));
        const QString window = startShown();
        QVERIFY2(!window.isEmpty(), "the main window never showed");
        QVERIFY(xdotool({"mousemove", number(frame.center().x()), number(frame.center().y())}));
        QVERIFY2(!startCapture(window, "alt+w").isEmpty(), "the overlay never showed");
        // Then onto its last pixel, which lies half way into a pixel of Qt's
        // coordinates on a screen scaled by 2 or 1.5.
        QVERIFY(xdotool({"mousemove", number(frame.right()), number(frame.bottom())}));
        // Highlighted: the window shows undimmed through the veil, at its place
        // (a band along its top, clear of the label beside the pointer).
        const QRect band(frame.topLeft() + QPoint(4, 4), QSize(frame.width() - 8, 40));
        QVERIFY(QTest::qWaitFor(
            [&]() {
                const QImage shown = m_display.grab(band);
                return !shown.isNull()
                    && pixelsDiffering(content, band.translated(-frame.topLeft()), shown, QPoint(0, 0)) == 0;
            },
            10000));
        QVERIFY(xdotool({"click", "1"}));
        const QImage saved = output("toolButtonSave");
        m_display.destroyWindow(target);
        QCOMPARE(saved.size(), frame.size());
        QCOMPARE(pixelsDiffering(content, content.rect().adjusted(2, 2, -2, -2), saved, QPoint(2, 2)), 0);
    }
};

// Plain X rendering: the GL integration's one-time set-up allocates memory that
// is never given back, which the leak checker would report against this test.
int main(int argc, char** argv)
{
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    tst_OverlayOnDesktops test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_OverlayOnDesktops.moc"
