// The overlay's own prompts and items: picking a window from the window tree,
// the captured rectangle and the arrow.
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include "DCreatePromptArrow.h"
#include "DCreatePromptRectangleWindow.h"
#include "DCreatePromptWindow.h"
#include "DCursor.h"
#include "DGraphicsItemArrow.h"
#include "DGripFactoryManager.h"
#include "DGraphicsItemRectangleWindow.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGrip.h"
#include "DNoiseImage.h"
#include "DSceneFixture.h"

namespace {

// The screen the fixture's page stands for: 800 x 600 with its top-left at
// `origin` in global screen pixels, a window "Notes" of 640 x 480 and an
// unnamed one beside it.
DWidgetData screenTree(const QPoint& origin)
{
    DWidgetData tree;
    tree.rectangle = QRect(origin, QSize(800, 600));
    DWidgetData notes;
    notes.rectangle = QRect(origin + QPoint(100, 50), QSize(640, 480));
    notes.title = "Notes";
    tree.addChild(notes);
    DWidgetData unnamed;
    unnamed.rectangle = QRect(origin + QPoint(745, 10), QSize(40, 30));
    tree.children.append(unnamed);
    return tree;
}

// A screen with one named window.
DWidgetData oneWindowTree(const QRect& screen, const QRect& window, const QString& title)
{
    DWidgetData tree;
    tree.rectangle = screen;
    DWidgetData child;
    child.rectangle = window;
    child.title = title;
    tree.addChild(child);
    return tree;
}

} // namespace

class tst_DCreatePromptWindow : public QObject
{
    Q_OBJECT

private:
    // Starts a window prompt on the fixture's canvas with the pointer at `at`.
    DCreatePromptWindow* startWindowPrompt(DSceneFixture& fixture, const DWidgetData& tree, const QPointF& at)
    {
        QCursor::setPos(fixture.viewport()->mapToGlobal(fixture.toViewport(at)));
        auto* prompt = new DCreatePromptWindow;
        prompt->setBackgroundImage(m_shot);
        prompt->setWidgetData(tree);
        prompt->start(fixture.canvas.data());
        return prompt;
    }

    QPixmap m_shot = QPixmap::fromImage(noiseImage(QSize(800, 600), 7));

private slots:
    void highlightFollowsThePointer_data()
    {
        QTest::addColumn<QPoint>("origin");
        QTest::newRow("first screen") << QPoint(0, 0);
        QTest::newRow("second screen") << QPoint(1280, 0);
    }

    void highlightFollowsThePointer()
    {
        QFETCH(QPoint, origin);
        DSceneFixture fixture;
        // The pointer starts over the window: it is highlighted at once.
        DCreatePromptWindow* prompt = startWindowPrompt(fixture, screenTree(origin), QPointF(150, 100));
        DGraphicsItemRectangle* sample = prompt->sample();
        QVERIFY(sample);
        // The scene starts at the screen's origin; the piece covers exactly
        // the window's pixels, to the outer edges of the first and the last
        // one (scene points are the centres of the screenshot's pixels).
        QCOMPARE(sample->boundary(), QRectF(99.5, 49.5, 640, 480));
        QCOMPARE(fixture.scene()->cursor().text(), QString("Title: Notes\nSize: 640 x 480"));
        QVERIFY(sample->fillImage());
        QCOMPARE(sample->fillImage()->pixmap().cacheKey(), m_shot.cacheKey());

        // An unnamed window, then no window at all: the whole screen, untitled.
        fixture.move(QPointF(760, 20));
        QCOMPARE(sample->boundary(), QRectF(744.5, 9.5, 40, 30));
        QCOMPARE(fixture.scene()->cursor().text(), QString("Title: \nSize: 40 x 30"));
        fixture.move(QPointF(20, 580));
        QCOMPARE(sample->boundary(), QRectF(-0.5, -0.5, 800, 600));
        QCOMPARE(fixture.scene()->cursor().text(), QString("Title: \nSize: 800 x 600"));

        // The last pixel row and column of the window still belong to it.
        fixture.move(QPointF(739, 529));
        QCOMPARE(fixture.scene()->cursor().text(), QString("Title: Notes\nSize: 640 x 480"));
        // A left click captures what is highlighted.
        QSignalSpy finished(prompt, &DCreatePrompt::finished);
        fixture.click(QPointF(739, 529));
        QCOMPARE(finished.count(), 1);
        DGraphicsLayer* layer = fixture.scene()->activeLayer();
        QCOMPARE(layer->items().count(), 1);
        QCOMPARE(layer->items().first()->sceneBoundary(), QRectF(99.5, 49.5, 640, 480));
        QCOMPARE(fixture.scene()->cursor().text(), QString());
        QCOMPARE(fixture.scene()->cursor().graphicsCount(), 0);
    }

    void movesWithinOneWindowChangeNothing()
    {
        DSceneFixture fixture;
        DCreatePromptWindow* prompt = startWindowPrompt(fixture, screenTree(QPoint(0, 0)), QPointF(150, 100));
        DGraphicsItemRectangle* sample = prompt->sample();
        const auto image = sample->fillImage();
        fixture.scene()->cursor().updateText("marked");
        fixture.move(QPointF(300, 300));
        fixture.move(QPointF(600, 200));
        // The same image holder: the sample was not touched again.
        QCOMPARE(sample->fillImage(), image);
        QCOMPARE(fixture.scene()->cursor().text(), QString("marked"));
    }

    void pointOutsideTheScreenKeepsTheHighlight()
    {
        DSceneFixture fixture;
        const DWidgetData tree = oneWindowTree(QRect(0, 0, 400, 300), QRect(10, 10, 100, 80), "Small");
        DCreatePromptWindow* prompt = startWindowPrompt(fixture, tree, QPointF(50, 50));
        fixture.move(QPointF(600, 500));
        QCOMPARE(prompt->sample()->boundary(), QRectF(9.5, 9.5, 100, 80));
        QCOMPARE(fixture.scene()->cursor().text(), QString("Title: Small\nSize: 100 x 80"));
        QCOMPARE(prompt->lastHit().rectangle, QRect(10, 10, 100, 80));
    }

    void everyWindowGivesAPieceOfItsSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("one pixel") << QSize(1, 1);
        QTest::newRow("one pixel wide") << QSize(1, 40);
        QTest::newRow("one pixel high") << QSize(40, 1);
        QTest::newRow("two by two") << QSize(2, 2);
        QTest::newRow("ordinary") << QSize(121, 93);
    }

    // Whatever its size, a window picked gives a piece of that size; with its
    // frame taken away (stroke width 0) the piece is the screen's pixels,
    // opaque up to its edges.
    void everyWindowGivesAPieceOfItsSize()
    {
        QFETCH(QSize, size);
        DSceneFixture fixture;
        const QRect window(QPoint(201, 151), size);
        DCreatePromptWindow* prompt =
            startWindowPrompt(fixture, oneWindowTree(QRect(0, 0, 800, 600), window, "Thin"), QPointF(201, 151));
        QCOMPARE(prompt->lastHit().rectangle, window);
        fixture.click(QPointF(201, 151));
        const QList<DGraphicsItem*> items = fixture.scene()->activeLayer()->items();
        QCOMPARE(items.count(), 1);
        QImage framed;
        fixture.scene()->renderContentTo(framed);
        QCOMPARE(framed.size(), size);

        items.first()->setStrokeWidth(0);
        QImage piece;
        fixture.scene()->renderContentTo(piece);
        QCOMPARE(piece.size(), size);
        const QImage shot = m_shot.toImage();
        int wrong = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                wrong += piece.pixel(x, y) != shot.pixel(window.topLeft() + QPoint(x, y));
        QCOMPARE(wrong, 0);
    }

    // A rectangle swept from one pixel to another covers both whole: without
    // its frame it holds the screen's pixels, opaque up to its edges; its
    // frame takes the outermost pixels whole and leaves the next ones.
    void capturedRectangleHoldsItsPixelsWhole()
    {
        DGraphicsScene scene;
        auto* piece = new DGraphicsItemRectangleWindow;
        piece->setBoundary(QRectF(30, 20, 50, 40));
        piece->setFillImage(m_shot, QPixmap());
        scene.addPersistenItem(piece, false);
        const QImage shot = m_shot.toImage();
        const QRect swept(QPoint(30, 20), QPoint(80, 60));

        QImage framed;
        scene.renderContentTo(framed);
        QCOMPARE(framed.size(), swept.size());
        const QRgb stroke = qRgb(0x3B, 0x3B, 0x3B);
        for (int x = 1; x < swept.width() - 1; ++x) {
            QCOMPARE(framed.pixel(x, 0), stroke);
            QCOMPARE(framed.pixel(x, swept.height() - 1), stroke);
            QCOMPARE(framed.pixel(x, 1), shot.pixel(swept.topLeft() + QPoint(x, 1)));
        }

        piece->setStrokeWidth(0);
        QImage piecePixels;
        scene.renderContentTo(piecePixels);
        QCOMPARE(piecePixels.size(), swept.size());
        int wrong = 0;
        for (int y = 0; y < swept.height(); ++y)
            for (int x = 0; x < swept.width(); ++x)
                wrong += piecePixels.pixel(x, y) != shot.pixel(swept.topLeft() + QPoint(x, y));
        QCOMPARE(wrong, 0);
    }

    void titleIsTakenAsItIs()
    {
        DSceneFixture fixture;
        startWindowPrompt(fixture, oneWindowTree(QRect(0, 0, 800, 600), QRect(10, 10, 100, 80), "50%1 off %2"),
                          QPointF(50, 50));
        QCOMPARE(fixture.scene()->cursor().text(), QString("Title: 50%1 off %2\nSize: 100 x 80"));
    }

    void rightClickAndEscapeCancel_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("right click") << false;
        QTest::newRow("escape") << true;
    }

    void rightClickAndEscapeCancel()
    {
        QFETCH(bool, escape);
        DSceneFixture fixture;
        DCreatePromptWindow* prompt = startWindowPrompt(fixture, screenTree(QPoint(0, 0)), QPointF(150, 100));
        QSignalSpy cancelled(prompt, &DCreatePrompt::cancelled);
        if (escape)
            QTest::keyClick(fixture.viewport(), Qt::Key_Escape);
        else
            fixture.click(QPointF(150, 100), Qt::RightButton);
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(fixture.scene()->activeLayer()->items().isEmpty());
        QCOMPARE(fixture.transientItems(), 0);
        QVERIFY(!fixture.scene()->cursor().isSystemCursorHidden());
    }

    void rectanglePromptMakesCapturedRectangles()
    {
        DSceneFixture fixture;
        auto* prompt = new DCreatePromptRectangleWindow;
        prompt->setFillImage(m_shot);
        prompt->start(fixture.canvas.data());
        fixture.drag(QPointF(10, 20), QPointF(110, 70));
        DGraphicsItem* piece = fixture.scene()->activeLayer()->items().first();
        QCOMPARE(piece->metaObject()->className(), "DGraphicsItemRectangleWindow");
        QVERIFY(piece->fillImage());
    }

    // The library copies items through their meta-object: both kinds keep
    // their class, and the arrow is edited with the line's grips.
    void copiesKeepTheClass()
    {
        for (const QMetaObject* meta : {&DGraphicsItemArrow::staticMetaObject,
                                        &DGraphicsItemRectangleWindow::staticMetaObject}) {
            const QByteArray name = meta->className();
            QVERIFY(meta->indexOfConstructor(name + "(DGraphicsItem*)") >= 0);
            QVERIFY(meta->indexOfConstructor(name + "()") >= 0);
        }
        DGraphicsItemArrow arrow;
        arrow.setLine(QVector3D(0, 0, 0), QVector3D(100, 0, 0));
        QScopedPointer<DGraphicsItem> copy(arrow.clone());
        QCOMPARE(copy->metaObject()->className(), "DGraphicsItemArrow");
        QCOMPARE(static_cast<DGraphicsItemArrow*>(copy.data())->line(), arrow.line());
        const QList<const QMetaObject*> lineGrips = DGripFactoryManager::instance()->find(&DGraphicsItemLine::staticMetaObject);
        QVERIFY(!lineGrips.isEmpty());
        QCOMPARE(DGripFactoryManager::instance()->find(&DGraphicsItemArrow::staticMetaObject), lineGrips);
    }

    void arrowHead()
    {
        const QVector<QLineF> head = DGraphicsItemArrow::headStrokes(QLineF(0, 0, 100, 0));
        QCOMPARE(head.count(), 2);
        QList<QPointF> tips;
        for (const QLineF& stroke : head) {
            QCOMPARE(stroke.p1(), QPointF(100, 0));
            QVERIFY(qAbs(stroke.length() - 7.0) < 1e-9);
            tips << stroke.p2();
        }
        std::sort(tips.begin(), tips.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        QVERIFY(qAbs(tips[0].x() - 93.938) < 0.01 && qAbs(tips[0].y() + 3.5) < 1e-9);
        QVERIFY(qAbs(tips[1].x() - 93.938) < 0.01 && qAbs(tips[1].y() - 3.5) < 1e-9);
        QVERIFY(DGraphicsItemArrow::headStrokes(QLineF(5, 5, 5, 5)).isEmpty());
    }

    void arrowPaintsItsHead_data()
    {
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<bool>("inked");
        QTest::newRow("arrow") << QPointF(100, 40) << true;
        QTest::newRow("start is end") << QPointF(20, 40) << false;
    }

    void arrowPaintsItsHead()
    {
        QFETCH(QPointF, end);
        QFETCH(bool, inked);
        DGraphicsItemArrow arrow;
        arrow.setStrokeWidth(1);
        arrow.setLine(QVector3D(20, 40, 0), QVector3D(float(end.x()), float(end.y()), 0));
        QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        arrow.paint(&painter, nullptr, nullptr);
        painter.end();
        int inkedPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inkedPixels += qAlpha(image.pixel(x, y)) > 0;
        QCOMPARE(inkedPixels > 0, inked);
        if (inked) {
            auto inkNear = [&image](int x, int y) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (qAlpha(image.pixel(x + dx, y + dy)) > 0)
                            return true;
                return false;
            };
            // The ends of the two strokes, off the line on either side; the
            // head is open, nothing between them is filled.
            QVERIFY(inkNear(94, 36));
            QVERIFY(inkNear(94, 43));
            QCOMPARE(qAlpha(image.pixel(95, 38)), 0);
            QCOMPARE(qAlpha(image.pixel(60, 30)), 0);
        }
    }

    // The document is as large as its items' boundaries. An arrow at its edge,
    // a short one above all (its head reaches back past its start point), is
    // rendered exactly as in a roomier document: nothing of its head is cut off.
    void arrowAtTheDocumentEdgeKeepsItsHead_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<int>("width");
        QTest::newRow("short") << QLineF(50, 50, 52, 50) << 2;
        QTest::newRow("short, upwards") << QLineF(50, 50, 50, 47) << 2;
        QTest::newRow("short, slanted, wide") << QLineF(50, 50, 53, 54) << 6;
        QTest::newRow("one unit, thin") << QLineF(50, 50, 49, 50) << 1;
        QTest::newRow("long, level") << QLineF(10, 30, 90, 30) << 2;
        QTest::newRow("long, slanted") << QLineF(10, 10, 80, 47) << 3;
    }

    void arrowAtTheDocumentEdgeKeepsItsHead()
    {
        QFETCH(QLineF, line);
        QFETCH(int, width);
        auto makeArrow = [&] {
            auto* arrow = new DGraphicsItemArrow;
            arrow->setStrokeWidth(unsigned(width));
            arrow->setLine(QVector3D(line.p1()), QVector3D(line.p2()));
            return arrow;
        };
        DGraphicsScene alone;
        DGraphicsItemArrow* arrow = makeArrow();
        alone.addPersistenItem(arrow, false);
        QImage atEdge;
        alone.renderContentTo(atEdge);
        QVERIFY(!atEdge.isNull());

        // The same arrow with room around it: an invisible rectangle widens the
        // document by a whole number of units, so the pixels line up.
        const int room = 20;
        DGraphicsScene roomy;
        roomy.addPersistenItem(makeArrow(), false);
        auto* frame = new DGraphicsItemRectangle;
        frame->setStrokeWidth(0);
        frame->setBoundary(arrow->sceneBoundary().adjusted(-room, -room, room, room));
        roomy.addPersistenItem(frame, false);
        QImage withRoom;
        roomy.renderContentTo(withRoom);
        QCOMPARE(withRoom.size(), atEdge.size() + QSize(2 * room, 2 * room));

        int inked = 0;
        for (int y = 0; y < withRoom.height(); ++y) {
            for (int x = 0; x < withRoom.width(); ++x) {
                const int alpha = qAlpha(withRoom.pixel(x, y));
                if (alpha == 0)
                    continue;
                ++inked;
                const QPoint p(x - room, y - room);
                if (!atEdge.rect().contains(p))
                    QFAIL(qPrintable(QString("ink at (%1, %2) lies outside the document").arg(p.x()).arg(p.y())));
                QCOMPARE(qAlpha(atEdge.pixel(p)), alpha);
            }
        }
        QVERIFY(inked > 0);
        // Both tips of the head are inked in the document.
        const QPointF origin = arrow->sceneBoundary().topLeft() - QPointF(0.5, 0.5);
        for (const QLineF& stroke : DGraphicsItemArrow::headStrokes(line)) {
            const QPoint tip = (stroke.p2() - origin).toPoint();
            QVERIFY(atEdge.rect().contains(tip));
            QVERIFY(qAlpha(atEdge.pixel(tip)) > 0);
        }
    }

    // Moving an arrow repaints all of it where it was: its head leaves no trace
    // on the screen (read from what the window shows, not repainted afresh).
    void movedArrowLeavesNoTrace()
    {
        DSceneFixture fixture;
        fixture.setZoom(4.0);
        QWidget* window = fixture.canvas->window();
        auto shown = [&](const QPointF& scenePos) {
            const QPoint at = fixture.viewport()->mapTo(window, fixture.toViewport(scenePos));
            return window->screen()->grabWindow(window->winId()).toImage().pixel(at);
        };
        auto* arrow = new DGraphicsItemArrow;
        // Short: its head reaches back past its start point.
        arrow->setLine(QVector3D(40, 40, 0), QVector3D(42, 40, 0));
        fixture.scene()->addPersistenItem(arrow, false);
        // The whole page is painted again, as after a zoom or a new background,
        // so the head is on the screen in full.
        fixture.scene()->invalidate(fixture.scene()->sceneRect(), QGraphicsScene::BackgroundLayer);
        const QPointF tip = DGraphicsItemArrow::headStrokes(arrow->line()).first().p2();
        QTRY_VERIFY(shown(tip) != qRgb(255, 255, 255));

        // A step aside, as a drag of its grip does it.
        arrow->setCenter(arrow->center() + QVector3D(0, 15, 0));
        QTRY_VERIFY(shown(tip + QPointF(0, 15)) != qRgb(255, 255, 255));
        QCOMPARE(shown(tip), qRgb(255, 255, 255));
    }

    // The head widens what the arrow covers, nothing else: its place, snap
    // points, shape and grips are those of a line with the same ends.
    void arrowIsEditedAsItsLine()
    {
        DGraphicsScene scene;
        auto* arrow = new DGraphicsItemArrow;
        auto* line = new DGraphicsItemLine;
        for (DGraphicsItemLine* item : {static_cast<DGraphicsItemLine*>(arrow), line}) {
            item->setLine(QVector3D(30, 40, 0), QVector3D(33, 44, 0));
            scene.addPersistenItem(item, false);
        }
        QVERIFY(arrow->boundary().contains(line->boundary()));
        QCOMPARE(arrow->center(), line->center());
        QCOMPARE(arrow->snapPoints(), line->snapPoints());
        QCOMPARE(arrow->shape(), line->shape());
        arrow->setCenter(QVector3D(200, 100, 0));
        line->setCenter(QVector3D(200, 100, 0));
        QCOMPARE(arrow->startPoint(), line->startPoint());
        QCOMPARE(arrow->endPoint(), line->endPoint());

        QScopedPointer<QList<DGrip*>> arrowGrips(arrow->createGrips());
        QScopedPointer<QList<DGrip*>> lineGrips(line->createGrips());
        QVERIFY(arrowGrips && lineGrips);
        QCOMPARE(arrowGrips->count(), lineGrips->count());
        for (int i = 0; i < lineGrips->count(); ++i)
            QCOMPARE(arrowGrips->at(i)->basePoint(), lineGrips->at(i)->basePoint());
        qDeleteAll(*arrowGrips);
        qDeleteAll(*lineGrips);
    }

    void arrowPromptDrawsArrows()
    {
        DSceneFixture fixture;
        (new DCreatePromptArrow)->start(fixture.canvas.data());
        fixture.drag(QPointF(10, 20), QPointF(110, 70));
        DGraphicsItem* arrow = fixture.scene()->activeLayer()->items().first();
        QCOMPARE(arrow->metaObject()->className(), "DGraphicsItemArrow");
        QCOMPARE(static_cast<DGraphicsItemArrow*>(arrow)->line(), QLineF(10, 20, 110, 70));
    }
};

QTEST_MAIN(tst_DCreatePromptWindow)
#include "tst_DCreatePromptWindow.moc"
