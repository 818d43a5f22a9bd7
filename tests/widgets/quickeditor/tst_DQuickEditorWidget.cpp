#include <QtTest>

#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPropertyAnimation>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <QValidator>

#include <functional>

#include "DButtonBoardColor.h"
#include "DButtonBoardColorWithNoFill.h"
#include "DConfig.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DMetaPropertyList.h"
#include "DQuickEditorFactory.h"
#include "DQuickEditorFactoryAbstract.h"
#include "DQuickEditorWidget.h"
#include "DSceneFixture.h"
#include "DToolButton.h"
#include "DUtility.h"

// An item whose property table a test writes, with one property of each kind
// the strip meets and a count of the writes into it.
class ProbeItem : public DGraphicsItemRectangle
{
    Q_OBJECT
    Q_PROPERTY(int count READ count WRITE setCount)
    Q_PROPERTY(int level READ level WRITE setLevel)
    Q_PROPERTY(int a READ a WRITE setA)
    Q_PROPERTY(int b READ b WRITE setB)
    Q_PROPERTY(int c READ c WRITE setC)
    Q_PROPERTY(int d READ d WRITE setD)
    Q_PROPERTY(int e READ e WRITE setE)
    Q_PROPERTY(bool flag READ flag WRITE setFlag)
    Q_PROPERTY(QColor tint READ tint WRITE setTint)
    Q_PROPERTY(QFont face READ face WRITE setFace)
    Q_PROPERTY(QVector3D where READ where WRITE setWhere)
    Q_PROPERTY(QString name READ name WRITE setName)

public:
    DMetaPropertyList table;
    int writes = 0;

    const DMetaPropertyList& properties() const override { return table; }

    int count() const { return m_count; }
    int level() const { return m_level; }
    int a() const { return m_units[0]; }
    int b() const { return m_units[1]; }
    int c() const { return m_units[2]; }
    int d() const { return m_units[3]; }
    int e() const { return m_units[4]; }
    bool flag() const { return m_flag; }
    QColor tint() const { return m_tint; }
    QFont face() const { return m_face; }
    QVector3D where() const { return m_where; }
    QString name() const { return m_name; }

    void setCount(int v) { ++writes; m_count = v; }
    void setLevel(int v) { ++writes; m_level = v; }
    void setA(int v) { ++writes; m_units[0] = v; }
    void setB(int v) { ++writes; m_units[1] = v; }
    void setC(int v) { ++writes; m_units[2] = v; }
    void setD(int v) { ++writes; m_units[3] = v; }
    void setE(int v) { ++writes; m_units[4] = v; }
    void setFlag(bool v) { ++writes; m_flag = v; }
    void setTint(const QColor& v) { ++writes; m_tint = v; }
    void setFace(const QFont& v) { ++writes; m_face = v; }
    void setWhere(const QVector3D& v) { ++writes; m_where = v; }
    void setName(const QString& v) { ++writes; m_name = v; }

    // Appends a quick-edited entry of the given width to the table.
    DMetaProperty& add(const char* name, int width = 1,
                       DMetaProperty::EditorFlags flags = DMetaProperty::QuickEditor)
    {
        return table.addProperty(staticMetaObject, name, QString::fromLatin1(name).toUpper(), flags, width);
    }

private:
    int m_count = 0;
    int m_level = 0;
    int m_units[5] = {0, 0, 0, 0, 0};
    bool m_flag = false;
    QColor m_tint = Qt::red;
    QFont m_face;
    QVector3D m_where;
    QString m_name;
};

namespace {

// Serves QVariant::Int with a labelled marker; notes its own deletion.
class MarkerFactory : public DQuickEditorFactoryAbstract
{
public:
    explicit MarkerFactory(bool* deleted = nullptr, QVariant::Type type = QVariant::Int)
        : DQuickEditorFactoryAbstract(type), m_deleted(deleted) {}
    ~MarkerFactory() override
    {
        if (m_deleted)
            *m_deleted = true;
    }
    QWidget* createEditor(DQuickEditorWidget*, const DMetaProperty& property, const QVariant&) override
    {
        QWidget* marker = new QWidget;
        marker->setObjectName(QStringLiteral("marker of ") + property.label());
        return marker;
    }

private:
    bool* m_deleted;
};

QVariant recentValue(const QString& name)
{
    return DConfig::_instance()->propertyValue(name);
}

// The number of editors in each row of the strip.
QList<int> rowSizes(const DQuickEditorWidget* strip)
{
    QList<int> sizes;
    for (QLayout* row : strip->subLayouts())
        sizes << row->count();
    return sizes;
}

template <class T>
T* toolAt(const DQuickEditorWidget* strip, int index)
{
    const QList<QWidget*> tools = strip->tools();
    return index < tools.count() ? qobject_cast<T*>(tools.at(index)) : nullptr;
}

DButtonBoardColor* boardOf(QToolButton* button)
{
    return button && button->menu() ? button->menu()->findChild<DButtonBoardColor*>() : nullptr;
}

// Where a scene rectangle shows on the canvas, at the view's zoom.
QRectF shownRect(DCanvas* canvas, const QRectF& scene)
{
    return QRectF(QPointF(canvas->mapFromScene(scene.topLeft())), QPointF(canvas->mapFromScene(scene.bottomRight())));
}

// Two probes side by side, each set up by `setUp` with its index.
QList<ProbeItem*> twoProbes(const std::function<void(ProbeItem*, int)>& setUp)
{
    QList<ProbeItem*> probes;
    for (int i = 0; i < 2; ++i) {
        auto* item = new ProbeItem;
        item->setBoundary(QRectF(100 + 100 * i, 100, 50, 50));
        setUp(item, i);
        probes << item;
    }
    return probes;
}

// Two rectangles side by side in the scene, each set up by `setUp` with its
// index before it joins, selected or not.
QList<DGraphicsItemRectangle*> twoRectangles(DSceneFixture& fixture, bool select,
                                             const std::function<void(DGraphicsItemRectangle*, int)>& setUp = {})
{
    QList<DGraphicsItemRectangle*> items;
    for (int i = 0; i < 2; ++i) {
        auto* item = new DGraphicsItemRectangle;
        item->setBoundary(QRectF(100 + 250 * i, 150, 150, 80));
        if (setUp)
            setUp(item, i);
        fixture.scene()->addPersistenItem(item, select);
        items << item;
    }
    return items;
}

// The strip for the items in this order (the order in which a layer reports
// its selection is its own): the items join the scene unselected.
template <class Item>
DQuickEditorWidget* stripFor(DSceneFixture& fixture, const QList<Item*>& items)
{
    QList<DGraphicsItem*> edited;
    for (Item* item : items) {
        fixture.scene()->addPersistenItem(item, false);
        edited << item;
    }
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    strip->show(edited);
    return strip;
}

} // namespace

class tst_DQuickEditorWidget : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void selectionShowsTheStripAndEmptyHidesIt();
    void textItemGetsItsEightEditorsInTwoRows();
    void replacingAFactoryKeepsItsPlace();
    void typesWithoutFactoryAreSkipped();
    void twoTablesIntersectInTheFirstItemsOrder();
    void rowsWrapAfterSixUnits_data();
    void rowsWrapAfterSixUnits();
    void buildingTheStripWritesNothing();
    void recentColourWinsOverTheItemsColour_data();
    void recentColourWinsOverTheItemsColour();
    void colourBoardWritesAllItems();
    void noFillTurnsTheFillOff();
    void numberComboWritesItsText();
    void numberComboWithoutLimitsShowsTheValuesEntry();
    void spinBoxTakesItsOptions();
    void checkAndFontEditorsWriteAllItems();
    void everyChangeIsRecorded();
    void placedBesideTheSelectionInsideTheCanvas_data();
    void placedBesideTheSelectionInsideTheCanvas();
    void penWidthOfTwoRectanglesOnACanvas();
    void gripDragHidesTheStripUntilItEnds();
    void deletedItemsAreLeftAlone();
    void appendedFactoryServesANewType();
};

void tst_DQuickEditorWidget::init()
{
    DConfig::_instance()->m_pSettings->clear();
}

void tst_DQuickEditorWidget::selectionShowsTheStripAndEmptyHidesIt()
{
    DSceneFixture fixture;
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QVERIFY(strip);
    QCOMPARE(strip->parentWidget(), static_cast<QWidget*>(fixture.canvas.data()));
    QVERIFY(!strip->isVisible());
    QVERIFY(!fixture.canvas->widgetTools().contains(strip));

    auto* item = new DGraphicsItemRectangle;
    item->setBoundary(QRectF(100, 100, 80, 60));
    fixture.scene()->addPersistenItem(item, true);
    QVERIFY(strip->isVisible());
    QCOMPARE(strip->items(), QList<DGraphicsItem*>({item}));
    QVERIFY(strip->animationFading());
    QCOMPARE(strip->animationFading()->endValue().toDouble(), 0.9);
    // A rectangle: stroke colour, stroke width, fill colour.
    QVERIFY(toolAt<QToolButton>(strip, 0));
    QVERIFY(toolAt<QSpinBox>(strip, 1));
    QVERIFY(qobject_cast<DButtonBoardColorWithNoFill*>(boardOf(toolAt<QToolButton>(strip, 2))));
    QVERIFY(!qobject_cast<DButtonBoardColorWithNoFill*>(boardOf(toolAt<QToolButton>(strip, 0))));
    QCOMPARE(strip->tools().count(), 3);
    QVERIFY(strip->content()->styleSheet().contains("background-color: rgb(255, 255, 255)"));

    fixture.scene()->activeLayer()->clearSelection();
    QVERIFY(!strip->isVisible());
}

void tst_DQuickEditorWidget::textItemGetsItsEightEditorsInTwoRows()
{
    DSceneFixture fixture;
    auto* text = new DGraphicsItemText;
    text->setBoundary(QRectF(100, 100, 120, 40));
    QFont font = text->font();
    font.setPointSize(11);
    text->setFont(font);
    fixture.scene()->addPersistenItem(text, true);
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();

    // Stroke colour 1, stroke width 2, fill colour 1, text colour 1 (5 units);
    // the font box's 5 opens the second row: font box, size 3, bold, italic.
    QCOMPARE(rowSizes(strip), QList<int>({4, 4}));
    QCOMPARE(toolAt<QToolButton>(strip, 3)->toolTip(), QString("Text Color"));
    QFontComboBox* family = toolAt<QFontComboBox>(strip, 4);
    QVERIFY(family);
    QCOMPARE(family->width(), 100);
    QComboBox* size = toolAt<QComboBox>(strip, 5);
    QVERIFY(size);
    QCOMPARE(size->width(), 60);
    QCOMPARE(size->currentText(), QString("11"));
    QCOMPARE(toolAt<QToolButton>(strip, 6)->toolTip(), QString("Bold"));
    QVERIFY(!toolAt<QToolButton>(strip, 6)->icon().isNull());
    QCOMPARE(toolAt<QToolButton>(strip, 7)->toolTip(), QString("Italic"));

    // Picking an entry of the size list writes it.
    size->setCurrentIndex(size->findText("24"));
    QCOMPARE(text->fontSize(), 24);
    QCOMPARE(recentValue("fontSize").toInt(), 24);
}

void tst_DQuickEditorWidget::replacingAFactoryKeepsItsPlace()
{
    DQuickEditorFactory* registry = DQuickEditorFactory::instance();
    const QList<DQuickEditorFactoryAbstract*> before = registry->factories();
    bool markerDeleted = false;
    DQuickEditorFactoryAbstract* stock = registry->addFactory(new MarkerFactory(&markerDeleted));
    QVERIFY(stock);
    QCOMPARE(stock->type(), QVariant::Int);
    QCOMPARE(stock, before.at(1));
    QCOMPARE(registry->factories().count(), before.count());
    QCOMPARE(registry->factories().at(1)->type(), QVariant::Int);
    QVERIFY(registry->factories().at(1) != stock);

    {
        DSceneFixture fixture;
        auto* item = new ProbeItem;
        item->add("count");
        item->setBoundary(QRectF(100, 100, 50, 50));
        fixture.scene()->addPersistenItem(item, true);
        QWidget* editor = toolAt<QWidget>(fixture.canvas->quickEditor(), 0);
        QVERIFY(editor);
        QCOMPARE(editor->objectName(), QString("marker of COUNT"));
    }

    // Putting the stock factory back hands ours over; deleting it through
    // the base runs its own destructor.
    DQuickEditorFactoryAbstract* ours = registry->addFactory(stock);
    QVERIFY(ours);
    delete ours;
    QVERIFY(markerDeleted);
    QCOMPARE(registry->factories(), before);
    // Registering a factory that is already in place changes nothing.
    QCOMPARE(registry->addFactory(stock), nullptr);
    QCOMPARE(registry->addFactory(nullptr), nullptr);
    QCOMPARE(registry->factories(), before);
}

void tst_DQuickEditorWidget::typesWithoutFactoryAreSkipped()
{
    DSceneFixture fixture;
    auto* item = new ProbeItem;
    item->add("where", 3);                                   // a vector: no factory
    item->add("name", 3);                                    // a string: no factory
    item->add("count", 2);
    item->add("level", 9, DMetaProperty::PropertyBrowser);   // not for the strip
    item->add("flag", 2);
    item->setBoundary(QRectF(100, 100, 50, 50));
    fixture.scene()->addPersistenItem(item, true);

    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QCOMPARE(strip->tools().count(), 2);
    QVERIFY(toolAt<QSpinBox>(strip, 0));
    QVERIFY(toolAt<QToolButton>(strip, 1));
    // The skipped ones add nothing to the row: 2 + 2 fit in one.
    QCOMPARE(rowSizes(strip), QList<int>({2}));
}

void tst_DQuickEditorWidget::twoTablesIntersectInTheFirstItemsOrder()
{
    DSceneFixture fixture;
    auto* first = new ProbeItem;
    first->add("tint");
    first->add("count");
    first->add("name");
    first->add("flag");
    first->setCount(5);
    first->setFlag(true);
    first->setBoundary(QRectF(100, 100, 50, 50));
    auto* second = new ProbeItem;
    second->add("flag");
    second->add("level");
    second->add("count");
    second->setCount(9);
    second->setFlag(false);
    second->setBoundary(QRectF(200, 100, 50, 50));
    DQuickEditorWidget* strip = stripFor(fixture, QList<ProbeItem*>({first, second}));
    QCOMPARE(strip->items(), QList<DGraphicsItem*>({first, second}));
    QCOMPARE(strip->tools().count(), 2);
    // count, then flag, showing the first item's values.
    QSpinBox* count = toolAt<QSpinBox>(strip, 0);
    QVERIFY(count);
    QCOMPARE(count->value(), 5);
    QToolButton* flag = toolAt<QToolButton>(strip, 1);
    QVERIFY(flag);
    QCOMPARE(flag->toolTip(), QString("FLAG"));
    QVERIFY(flag->isChecked());

    // Real tables: a text item and a line share the stroke colour and width.
    auto* text = new DGraphicsItemText;
    text->setBoundary(QRectF(300, 300, 80, 30));
    auto* line = new DGraphicsItemLine;
    line->setLine(QVector3D(300, 400, 0), QVector3D(400, 450, 0));
    stripFor(fixture, QList<DGraphicsItem*>({text, line}));
    QCOMPARE(strip->tools().count(), 2);
    QCOMPARE(toolAt<QToolButton>(strip, 0)->toolTip(), QString("Stroke Color"));
    QCOMPARE(toolAt<QSpinBox>(strip, 1)->toolTip(), QString("Stroke Width"));
}

void tst_DQuickEditorWidget::rowsWrapAfterSixUnits_data()
{
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("2 2 2 1") << QList<int>({2, 2, 2, 1}) << QList<int>({3, 1});
    // After the wrap the count starts at 0, without the wrapping editor's units.
    QTest::newRow("2 2 2 1 6") << QList<int>({2, 2, 2, 1, 6}) << QList<int>({3, 2});
    QTest::newRow("2 2 2 1 5 2") << QList<int>({2, 2, 2, 1, 5, 2}) << QList<int>({3, 2, 1});
    QTest::newRow("exactly 6") << QList<int>({3, 3}) << QList<int>({2});
}

void tst_DQuickEditorWidget::rowsWrapAfterSixUnits()
{
    QFETCH(QList<int>, widths);
    QFETCH(QList<int>, rows);
    DSceneFixture fixture;
    auto* item = new ProbeItem;
    const char* names[] = {"count", "a", "b", "c", "d", "e"};
    for (int i = 0; i < widths.count(); ++i)
        item->add(names[i], widths.at(i));
    item->setBoundary(QRectF(100, 100, 50, 50));
    fixture.scene()->addPersistenItem(item, true);

    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QCOMPARE(rowSizes(strip), rows);
    // Each editor is 20 pixels a unit wide.
    for (int i = 0; i < widths.count(); ++i)
        QCOMPARE(strip->tools().at(i)->width(), widths.at(i) * 20);
    // Rows stack inside the strip, the first with a top margin.
    const QList<QLayout*> layouts = strip->subLayouts();
    QCOMPARE(layouts.first()->contentsMargins().top(), 3);
    QCOMPARE(layouts.last()->contentsMargins().top(), rows.count() > 1 ? 0 : 3);
}

void tst_DQuickEditorWidget::buildingTheStripWritesNothing()
{
    DSceneFixture fixture;
    const QList<ProbeItem*> probes = twoProbes([](ProbeItem* item, int i) {
        item->add("flag");
        item->add("count", 2).addOption("spinStep", 5);
        DMetaProperty& level = item->add("level", 3);
        level.addOption("minimum", 1);
        level.addOption("items", QVariantList({9, 10, 12}));
        item->add("tint");
        item->add("face", 5);
        item->setCount(7 + i);
        item->setLevel(11 + i);
        item->setFlag(true);
        item->writes = 0;
    });
    for (ProbeItem* item : probes)
        fixture.scene()->addPersistenItem(item, true);
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QCOMPARE(strip->tools().count(), 5);
    QCOMPARE(probes.at(0)->writes, 0);
    QCOMPARE(probes.at(1)->writes, 0);
    QVERIFY(DConfig::_instance()->m_pSettings->allKeys().isEmpty());

    // Real items do not even report a change.
    fixture.scene()->activeLayer()->clearSelection();
    auto* text = new DGraphicsItemText;
    text->setBoundary(QRectF(100, 300, 100, 30));
    auto* rectangle = new DGraphicsItemRectangle;
    rectangle->setBoundary(QRectF(300, 300, 100, 30));
    fixture.scene()->addPersistenItem(text, false);
    fixture.scene()->addPersistenItem(rectangle, false);
    QSignalSpy textChanged(text, &DGraphicsItem::changed);
    QSignalSpy rectangleChanged(rectangle, &DGraphicsItem::changed);
    text->setSelected(true);
    rectangle->setSelected(true);
    QCOMPARE(strip->tools().count(), 3);
    QCOMPARE(textChanged.count(), 0);
    QCOMPARE(rectangleChanged.count(), 0);
}

void tst_DQuickEditorWidget::recentColourWinsOverTheItemsColour_data()
{
    QTest::addColumn<QVariant>("recent");
    QTest::addColumn<QColor>("opensWith");
    QTest::newRow("none stored") << QVariant() << QColor(Qt::red);
    QTest::newRow("a colour") << QVariant(QColor(1, 2, 3)) << QColor(1, 2, 3);
    QTest::newRow("a colour's name") << QVariant(QString("#0a0b0c")) << QColor(10, 11, 12);
    QTest::newRow("no colour") << QVariant(QString("banana")) << QColor(Qt::red);
}

void tst_DQuickEditorWidget::recentColourWinsOverTheItemsColour()
{
    QFETCH(QVariant, recent);
    QFETCH(QColor, opensWith);
    if (recent.isValid())
        DConfig::_instance()->setPropertyValue("tint", recent);
    DSceneFixture fixture;
    const QList<ProbeItem*> probes = twoProbes([](ProbeItem* item, int i) {
        item->add("tint");
        item->setTint(i == 0 ? Qt::red : Qt::green);
    });
    QToolButton* button = toolAt<QToolButton>(stripFor(fixture, probes), 0);
    QVERIFY(button);
    QCOMPARE(button->toolTip(), QString("TINT"));
    DButtonBoardColor* board = boardOf(button);
    QVERIFY(board);
    QCOMPARE(board->current().value<QColor>().rgba(), opensWith.rgba());
    QCOMPARE(probes.at(0)->tint(), QColor(Qt::red));

    // The button's main part applies that colour to every selected item.
    button->click();
    for (ProbeItem* item : probes)
        QCOMPARE(item->tint().rgba(), opensWith.rgba());
    QCOMPARE(recentValue("tint").value<QColor>().rgba(), opensWith.rgba());
}

void tst_DQuickEditorWidget::colourBoardWritesAllItems()
{
    DSceneFixture fixture;
    const QList<DGraphicsItemRectangle*> items = twoRectangles(fixture, true, [](DGraphicsItemRectangle* item, int i) {
        item->setStrokeColor(i == 0 ? QColor(Qt::blue) : QColor(Qt::yellow));
    });
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QToolButton* stroke = toolAt<QToolButton>(strip, 0);
    DButtonBoardColor* board = boardOf(stroke);
    QVERIFY(board);
    // The editors show the values of the first item the layer reports.
    QCOMPARE(board->current().value<QColor>(), strip->items().first()->strokeColor());

    const QColor swatch = board->data().at(64).value<QColor>();
    board->buttons().at(64)->click();
    for (DGraphicsItemRectangle* item : items)
        QCOMPARE(item->strokeColor().rgba(), swatch.rgba());
    QCOMPARE(recentValue("strokeColor").value<QColor>().rgba(), swatch.rgba());

    // The button's main part repeats the last choice.
    items.at(1)->setStrokeColor(Qt::black);
    stroke->click();
    QCOMPARE(items.at(1)->strokeColor().rgba(), swatch.rgba());

    // A new strip opens at the recent colour, and its board finds the
    // swatch of an RGB colour.
    fixture.scene()->activeLayer()->clearSelection();
    items.at(0)->setStrokeColor(Qt::white);
    items.at(0)->setSelected(true);
    board = boardOf(toolAt<QToolButton>(fixture.canvas->quickEditor(), 0));
    QVERIFY(board);
    QCOMPARE(board->current().value<QColor>().rgba(), swatch.rgba());
    QVERIFY(board->buttons().at(64)->isChecked());
    QVERIFY(!board->currentColorButton()->isChecked());
}

void tst_DQuickEditorWidget::noFillTurnsTheFillOff()
{
    DSceneFixture fixture;
    const QList<DGraphicsItemRectangle*> items = twoRectangles(fixture, true, [](DGraphicsItemRectangle* item, int) {
        item->setFillColor(QColor(Qt::cyan));
        item->setFill(true);
    });
    DButtonBoardColor* board = boardOf(toolAt<QToolButton>(fixture.canvas->quickEditor(), 2));
    QVERIFY(qobject_cast<DButtonBoardColorWithNoFill*>(board));
    QToolButton* noFill = nullptr;
    for (QToolButton* button : board->findChildren<QToolButton*>())
        if (button->text() == "No Fill")
            noFill = button;
    QVERIFY(noFill);
    noFill->click();
    for (DGraphicsItemRectangle* item : items)
        QVERIFY(!item->isFill());
    QCOMPARE(recentValue("fillColor").value<QColor>().alpha(), 0);

    // A colour turns it on again.
    board->buttons().at(5)->click();
    for (DGraphicsItemRectangle* item : items)
        QVERIFY(item->isFill());
}

void tst_DQuickEditorWidget::numberComboWritesItsText()
{
    DSceneFixture fixture;
    const QList<ProbeItem*> probes = twoProbes([](ProbeItem* item, int i) {
        DMetaProperty& level = item->add("level", 3);
        level.addOption("minimum", 1);
        level.addOption("items", QVariantList({9, 10, 12}));
        item->setLevel(11 - i);
    });
    QComboBox* box = toolAt<QComboBox>(stripFor(fixture, probes), 0);
    QVERIFY(box);
    QVERIFY(box->isEditable());
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->itemText(2), QString("12"));
    QCOMPARE(box->maxVisibleItems(), 3);
    QCOMPARE(box->currentText(), QString("11"));   // the first item's value
    QCOMPARE(box->width(), 60);
    QCOMPARE(box->toolTip(), QString("LEVEL"));
    // The limits hold: the validator survived the box becoming editable.
    QVERIFY(box->validator());
    QLineEdit* edit = box->lineEdit();
    QVERIFY(edit);
    QCOMPARE(edit->validator(), box->validator());

    // Each change of the text writes; an empty box writes 0.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(probes.at(0)->level(), 0);
    QCOMPARE(probes.at(1)->level(), 0);
    QCOMPARE(recentValue("level").toInt(), 0);
    QTest::keyClicks(edit, "x2");   // the letter is refused
    QCOMPARE(edit->text(), QString("2"));
    QTest::keyClicks(edit, "4");
    QCOMPARE(probes.at(0)->level(), 24);
    QCOMPARE(probes.at(1)->level(), 24);
    QCOMPARE(recentValue("level").toInt(), 24);

    // Picking an entry writes it too.
    box->setCurrentIndex(1);
    QCOMPARE(probes.at(1)->level(), 10);
    QCOMPARE(recentValue("level").toInt(), 10);
}

void tst_DQuickEditorWidget::numberComboWithoutLimitsShowsTheValuesEntry()
{
    DSceneFixture fixture;
    auto* item = new ProbeItem;
    item->add("level", 3).addOption("items", QVariantList({9, 10, 12}));
    item->setLevel(10);
    item->setBoundary(QRectF(100, 100, 50, 50));
    fixture.scene()->addPersistenItem(item, true);
    QComboBox* box = toolAt<QComboBox>(fixture.canvas->quickEditor(), 0);
    QVERIFY(box);
    QVERIFY(!box->isEditable());
    QCOMPARE(box->currentText(), QString("10"));
    QCOMPARE(item->writes, 1);   // the setter above, nothing since
    box->setCurrentIndex(2);
    QCOMPARE(item->level(), 12);
}

void tst_DQuickEditorWidget::spinBoxTakesItsOptions()
{
    DSceneFixture fixture;
    auto* item = new ProbeItem;
    DMetaProperty& count = item->add("count", 2);
    count.addOption("minimum", -5);
    count.addOption("maximum", 500);
    count.addOption("spinStep", 25);
    item->add("a", 1);
    item->setCount(300);
    item->setA(3);
    item->setBoundary(QRectF(100, 100, 50, 50));
    fixture.scene()->addPersistenItem(item, true);

    QSpinBox* limited = toolAt<QSpinBox>(fixture.canvas->quickEditor(), 0);
    QVERIFY(limited);
    QCOMPARE(limited->minimum(), -5);
    QCOMPARE(limited->maximum(), 500);
    QCOMPARE(limited->singleStep(), 25);
    QCOMPARE(limited->value(), 300);
    QCOMPARE(limited->width(), 40);
    QTest::keyClick(limited, Qt::Key_Up);
    QCOMPARE(item->count(), 325);
    QCOMPARE(recentValue("count").toInt(), 325);

    // Without options: the spin box's own range and step.
    QSpinBox* plain = toolAt<QSpinBox>(fixture.canvas->quickEditor(), 1);
    QVERIFY(plain);
    QCOMPARE(plain->minimum(), QSpinBox().minimum());
    QCOMPARE(plain->maximum(), QSpinBox().maximum());
    QCOMPARE(plain->singleStep(), 1);
    QCOMPARE(plain->value(), 3);
}

void tst_DQuickEditorWidget::checkAndFontEditorsWriteAllItems()
{
    QFontComboBox families;
    if (families.count() < 2)
        QSKIP("this machine has a single font family");
    const QString family = families.itemText(1);
    DSceneFixture fixture;
    const QList<ProbeItem*> probes = twoProbes([&family](ProbeItem* item, int i) {
        item->add("flag");
        item->add("face", 5);
        item->setFlag(i == 1);
        item->setFace(QFont(family));
    });
    DQuickEditorWidget* strip = stripFor(fixture, probes);
    QToolButton* flag = toolAt<QToolButton>(strip, 0);
    QVERIFY(flag && flag->isCheckable());
    QVERIFY(flag->autoRaise());
    QCOMPARE(flag->text(), QString("FLAG"));
    QVERIFY(!flag->isChecked());
    flag->click();
    QVERIFY(probes.at(0)->flag());
    QVERIFY(probes.at(1)->flag());
    QCOMPARE(recentValue("flag").toBool(), true);

    QFontComboBox* face = toolAt<QFontComboBox>(strip, 1);
    QVERIFY(face);
    QCOMPARE(face->currentFont().family(), family);
    QCOMPARE(face->width(), 100);
    face->setCurrentIndex(0);
    QVERIFY(face->currentFont().family() != family);
    for (ProbeItem* item : probes)
        QCOMPARE(item->face().family(), face->currentFont().family());
    QCOMPARE(recentValue("face").value<QFont>().family(), face->currentFont().family());
}

void tst_DQuickEditorWidget::everyChangeIsRecorded()
{
    DSceneFixture fixture;
    auto* item = new DGraphicsItemRectangle;
    item->setBoundary(QRectF(100, 100, 100, 60));
    item->setStrokeColor(Qt::blue);
    fixture.scene()->addPersistenItem(item, true);
    QToolButton* stroke = toolAt<QToolButton>(fixture.canvas->quickEditor(), 0);
    QVERIFY(stroke);

    // The same colour as the item's is still a change the strip records.
    QSettings* settings = DConfig::_instance()->m_pSettings;
    QVERIFY(!settings->contains("RecentValue/strokeColor"));
    stroke->click();
    QCOMPARE(settings->value("RecentValue/strokeColor").value<QColor>(), QColor(Qt::blue));
    settings->remove("RecentValue/strokeColor");
    stroke->click();
    QVERIFY(settings->contains("RecentValue/strokeColor"));
}

void tst_DQuickEditorWidget::placedBesideTheSelectionInsideTheCanvas_data()
{
    QTest::addColumn<QRectF>("selection");
    QTest::addColumn<double>("zoom");
    QTest::newRow("middle") << QRectF(200, 200, 100, 80) << 1.0;
    QTest::newRow("at the right edge") << QRectF(690, 300, 100, 80) << 1.0;
    QTest::newRow("top right corner") << QRectF(690, 2, 100, 40) << 1.0;
    QTest::newRow("zoomed in") << QRectF(100, 100, 100, 80) << 2.0;
    QTest::newRow("zoomed out") << QRectF(100, 100, 100, 80) << 0.6;
}

void tst_DQuickEditorWidget::placedBesideTheSelectionInsideTheCanvas()
{
    QFETCH(QRectF, selection);
    QFETCH(double, zoom);
    DSceneFixture fixture;
    fixture.setZoom(zoom);
    auto* item = new DGraphicsItemRectangle;
    item->setBoundary(selection);
    fixture.scene()->addPersistenItem(item, true);
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QVERIFY(strip->isVisible());

    const QRectF shown = shownRect(fixture.canvas.data(), item->sceneBoundary());
    const QRectF placed = strip->geometry();
    QVERIFY2(QRectF(fixture.canvas->rect()).contains(placed),
             qPrintable(QString("%1,%2 %3x%4").arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height())));
    QVERIFY(!placed.intersects(shown.adjusted(1, 1, -1, -1)));
    if (QTest::currentDataTag() == QByteArray("middle") || zoom != 1.0) {
        // Right of the selection, 3 pixels off, level with its top.
        QCOMPARE(placed.left(), shown.right() + 3);
        QCOMPARE(placed.top(), shown.top());
    }
}

void tst_DQuickEditorWidget::penWidthOfTwoRectanglesOnACanvas()
{
    DSceneFixture fixture;
    const QList<DGraphicsItemRectangle*> items = twoRectangles(fixture, false, [](DGraphicsItemRectangle* item, int i) {
        item->setStrokeWidth(2 + 3 * i);
    });
    // Click the first one's top edge, Control-click the second one's bottom.
    fixture.click(QPointF(130, 150));
    QTest::mouseClick(fixture.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      fixture.toViewport(QPointF(450, 230)));
    QCOMPARE(fixture.canvas->selection().count(), 2);
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QVERIFY(strip->isVisible());
    QSpinBox* width = strip->findChild<QSpinBox*>();
    QVERIFY(width);
    QCOMPARE(width->value(), int(strip->items().first()->strokeWidth()));

    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, "7");
    QCOMPARE(items.at(0)->strokeWidth(), 7u);
    QCOMPARE(items.at(1)->strokeWidth(), 7u);
    QTest::keyClick(width, Qt::Key_Up);
    QCOMPARE(items.at(0)->strokeWidth(), 8u);
    QCOMPARE(items.at(1)->strokeWidth(), 8u);
    QCOMPARE(recentValue("strokeWidth").toInt(), 8);
}

void tst_DQuickEditorWidget::gripDragHidesTheStripUntilItEnds()
{
    DSceneFixture fixture;
    const QList<DGraphicsItemRectangle*> items = twoRectangles(fixture, true);
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QVERIFY(strip->isVisible());

    // The right edge's grip of the first rectangle.
    const QPointF grip(250, 190);
    fixture.move(grip);
    fixture.press(grip);
    fixture.move(grip + QPointF(20, 0), Qt::LeftButton);
    QVERIFY(!strip->isVisible());   // at once, without a fade
    fixture.move(grip + QPointF(40, 0), Qt::LeftButton);
    QVERIFY(!strip->isVisible());
    fixture.release(grip + QPointF(40, 0));

    QCOMPARE(items.at(0)->sceneBoundary().right(), 290.0);
    QVERIFY(strip->isVisible());
    QPropertyAnimation* fading = strip->animationFading();
    QVERIFY(fading);
    QCOMPARE(fading->startValue().toDouble(), 0.0);
    QCOMPARE(fading->endValue().toDouble(), 0.9);
    // Back beside the whole selection, which has grown.
    const QRectF shown = shownRect(fixture.canvas.data(), DUtility::calcSceneBoundary({items.at(0), items.at(1)}));
    QCOMPARE(double(strip->x()), shown.right() + 3);
}

void tst_DQuickEditorWidget::deletedItemsAreLeftAlone()
{
    DSceneFixture fixture;
    auto* first = new DGraphicsItemRectangle;
    first->setBoundary(QRectF(100, 100, 50, 50));
    auto* second = new DGraphicsItemRectangle;
    second->setBoundary(QRectF(300, 100, 50, 50));
    fixture.scene()->addPersistenItem(first, true);
    fixture.scene()->addPersistenItem(second, true);
    DQuickEditorWidget* strip = fixture.canvas->quickEditor();
    QSpinBox* width = strip->findChild<QSpinBox*>();
    QVERIFY(width);

    delete second;
    QCOMPARE(strip->items(), QList<DGraphicsItem*>({first}));
    QVERIFY(strip->isVisible());
    delete first;
    QVERIFY(!strip->isVisible());
    QVERIFY(strip->items().isEmpty());
    // Nothing to place or write into any more.
    strip->restore();
    QVERIFY(!strip->isVisible());
    fixture.scene()->onGripDragStarted();
    fixture.scene()->onGripDragEnded();
    QVERIFY(!strip->isVisible());
}

void tst_DQuickEditorWidget::appendedFactoryServesANewType()
{
    // Last: the registry keeps what this adds for the rest of the process.
    DQuickEditorFactory* registry = DQuickEditorFactory::instance();
    const int before = registry->factories().count();
    QCOMPARE(registry->addFactory(new MarkerFactory(nullptr, QVariant::String)), nullptr);
    QCOMPARE(registry->factories().count(), before + 1);
    QCOMPARE(registry->factories().last()->type(), QVariant::String);

    DSceneFixture fixture;
    auto* item = new ProbeItem;
    item->add("name", 2);
    item->add("where", 2);
    item->setBoundary(QRectF(100, 100, 50, 50));
    fixture.scene()->addPersistenItem(item, true);
    QCOMPARE(fixture.canvas->quickEditor()->tools().count(), 1);
    QCOMPARE(fixture.canvas->quickEditor()->tools().first()->objectName(), QString("marker of NAME"));
}

QTEST_MAIN(tst_DQuickEditorWidget)
#include "tst_DQuickEditorWidget.moc"
