#include <QtTest>

#include "DFakeOnScreenWindowList.h"
#include "DWidgetData.h"
#include "DWidgetDataBuilder.h"

// The window tree built from a given window list: clipping, order, truncation
// and the hit test.
class tst_DWidgetData : public QObject
{
    Q_OBJECT

private:
    const QRect screen { 0, 0, 800, 600 };

    static QStringList titles(const DWidgetData& node)
    {
        QStringList result;
        for (const DWidgetData& child : node.children)
            result << child.title;
        return result;
    }

private slots:
    void defaultNode()
    {
        DWidgetData node;
        QCOMPARE(node.identifier, 0);
        QVERIFY(node.rectangle.isNull());
        QVERIFY(node.title.isNull());
        QVERIFY(node.pixmap.isNull());
        QVERIFY(node.children.isEmpty());
    }

    void containsIncludesBorder_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("top-left") << QPoint(10, 20) << true;
        QTest::newRow("last column and row") << QPoint(109, 69) << true;
        QTest::newRow("one past right") << QPoint(110, 30) << false;
        QTest::newRow("one past bottom") << QPoint(30, 70) << false;
        QTest::newRow("left of it") << QPoint(9, 30) << false;
    }
    void containsIncludesBorder()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        DWidgetData node;
        node.rectangle = QRect(10, 20, 100, 50);
        QCOMPARE(node.contains(point), inside);
    }

    void assignmentTakesEverythingOver()
    {
        DWidgetData source;
        source.identifier = 7;
        source.rectangle = QRect(1, 2, 3, 4);
        source.title = "Editor";
        source.pixmap = QPixmap(2, 2);
        DWidgetData child;
        child.rectangle = QRect(1, 2, 1, 1);
        source.addChild(child);

        DWidgetData target;
        target = source;
        QCOMPARE(target.identifier, 7);
        QCOMPARE(target.rectangle, QRect(1, 2, 3, 4));
        QCOMPARE(target.title, QString("Editor"));
        QCOMPARE(target.pixmap.size(), QSize(2, 2));
        QCOMPARE(target.children.size(), 1);

        DWidgetData& self = target;
        target = self;
        QCOMPARE(target.identifier, 7);
        QCOMPARE(target.children.size(), 1);
    }

    void addChildClipsTheArgument()
    {
        DWidgetData root;
        root.rectangle = screen;
        DWidgetData child;
        child.rectangle = QRect(-50, 500, 200, 300);
        root.addChild(child);
        QCOMPARE(child.rectangle, QRect(0, 500, 150, 100));
        QCOMPARE(root.children.size(), 1);
        QCOMPARE(root.children.first().rectangle, QRect(0, 500, 150, 100));
    }

    void addChildDropsWhatLiesOffScreen()
    {
        DWidgetData root;
        root.rectangle = screen;
        DWidgetData child;
        child.rectangle = QRect(800, 0, 100, 100);
        root.addChild(child);
        QVERIFY(root.children.isEmpty());
    }

    void findChildByIdentifier()
    {
        DWidgetData root;
        root.rectangle = screen;
        DWidgetData child;
        child.rectangle = QRect(0, 0, 10, 10);
        child.identifier = 42;
        root.addChild(child);
        QVERIFY(root.findChild(42));
        QVERIFY(!root.findChild(41));
    }

    void noListGivesTheRootAlone()
    {
        DFakeOnScreenWindowList list;
        list.addNamed("Ignored", QRectF(0, 0, 10, 10));
        list.available = false;
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        QCOMPARE(root.rectangle, screen);
        QVERIFY(root.children.isEmpty());
        const DWidgetHit hit = root.findWidgetFromPoint(QPoint(5, 5));
        QCOMPARE(hit.node, &root);
        QCOMPARE(hit.rectangle, screen);
    }

    void namedFirstThenUnnamedEachFrontToBack()
    {
        DFakeOnScreenWindowList list;
        list.addUnnamed(QRectF(0, 0, 50, 50));
        list.addNamed("Front", QRectF(10, 10, 100, 100));
        list.addUnnamed(QRectF(5, 5, 60, 60));
        list.addNamed("", QRectF(20, 20, 100, 100));
        list.addNamed("Back", QRectF(30, 30, 100, 100));
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        QCOMPARE(titles(root), QStringList({ "Front", "", "Back", "", "" }));
        QCOMPARE(root.children.at(3).rectangle, QRect(0, 0, 50, 50));
        QCOMPARE(root.children.at(4).rectangle, QRect(5, 5, 60, 60));
    }

    void windowsAreClippedToTheScreen_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("named") << true;
        QTest::newRow("unnamed") << false;
    }
    void windowsAreClippedToTheScreen()
    {
        QFETCH(bool, named);
        DFakeOnScreenWindowList list;
        const QRectF partlyOff(700, -40, 300, 200);
        const QRectF whollyOnOtherScreen(820, 0, 300, 200);
        if (named) {
            list.addNamed("Partly", partlyOff);
            list.addNamed("Other screen", whollyOnOtherScreen);
        } else {
            list.addUnnamed(partlyOff);
            list.addUnnamed(whollyOnOtherScreen);
        }
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        QCOMPARE(root.children.size(), 1);
        QCOMPARE(root.children.first().rectangle, QRect(700, 0, 100, 160));
    }

    void screenWithAnOffset()
    {
        DFakeOnScreenWindowList list;
        list.addNamed("Right", QRectF(1200, 100, 200, 100));
        list.addNamed("Left", QRectF(100, 100, 200, 100));
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, QRect(800, 0, 1024, 768));
        QCOMPARE(titles(root), QStringList({ "Right" }));
        QCOMPARE(root.findWidgetFromPoint(QPoint(1300, 150)).node->title, QString("Right"));
        QVERIFY(!root.findWidgetFromPoint(QPoint(150, 150)).node);
    }

    void boundsAreTruncatedTowardZero_data()
    {
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("fractions") << QRectF(10.9, 20.5, 99.9, 50.99) << QRect(10, 20, 99, 50);
        QTest::newRow("negative origin") << QRectF(-0.7, -3.2, 100.4, 100.4) << QRect(0, 0, 100, 97);
    }
    void boundsAreTruncatedTowardZero()
    {
        QFETCH(QRectF, bounds);
        QFETCH(QRect, expected);
        DFakeOnScreenWindowList list;
        list.addNamed("W", bounds);
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        QCOMPARE(root.children.size(), 1);
        // The negative origin truncates to (0, -3) before clipping: x -0.7 -> 0, y -3.2 -> -3.
        QCOMPARE(root.children.first().rectangle, expected);
    }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QRect>("rectangle");
        QTest::newRow("front named window") << QPoint(50, 50) << "Front" << QRect(40, 40, 100, 100);
        QTest::newRow("last pixel of front window") << QPoint(139, 139) << "Front" << QRect(40, 40, 100, 100);
        QTest::newRow("back named window beside") << QPoint(145, 145) << "Back" << QRect(0, 0, 300, 300);
        QTest::newRow("named beats unnamed in front") << QPoint(20, 20) << "Back" << QRect(0, 0, 300, 300);
        QTest::newRow("unnamed where nothing named") << QPoint(450, 450) << "" << QRect(400, 400, 100, 100);
        QTest::newRow("root elsewhere") << QPoint(700, 10) << "" << QRect(0, 0, 800, 600);
        QTest::newRow("last pixel of the screen") << QPoint(799, 599) << "" << QRect(0, 0, 800, 600);
    }
    void hitTest()
    {
        QFETCH(QPoint, point);
        QFETCH(QString, title);
        QFETCH(QRect, rectangle);
        DFakeOnScreenWindowList list;
        list.addUnnamed(QRectF(0, 0, 100, 100));
        list.addNamed("Front", QRectF(40, 40, 100, 100));
        list.addNamed("Back", QRectF(0, 0, 300, 300));
        list.addUnnamed(QRectF(400, 400, 100, 100));
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        const DWidgetHit hit = root.findWidgetFromPoint(point);
        QVERIFY(hit.node);
        QCOMPARE(hit.node->title, title);
        QCOMPARE(hit.rectangle, rectangle);
        QCOMPARE(hit.node->rectangle, rectangle);
    }

    void hitTestOutsideTheScreenFindsNothing()
    {
        DFakeOnScreenWindowList list;
        list.addNamed("W", QRectF(0, 0, 100, 100));
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        const DWidgetHit hit = root.findWidgetFromPoint(QPoint(800, 10));
        QVERIFY(!hit.node);
        QVERIFY(hit.rectangle.isNull());
        QVERIFY(hit == DWidgetHit());
    }

    void copiesKeepTheirChildren()
    {
        DFakeOnScreenWindowList list;
        list.addNamed("W", QRectF(0, 0, 100, 100));
        DWidgetData root;
        DWidgetDataBuilder::buildWithHierarchy(root, screen);
        DWidgetData copy = root;
        root.children.clear();
        QCOMPARE(copy.children.size(), 1);
        QCOMPARE(copy.findWidgetFromPoint(QPoint(1, 1)).node->title, QString("W"));
    }
};

QTEST_MAIN(tst_DWidgetData)
#include "tst_DWidgetData.moc"
