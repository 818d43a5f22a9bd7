// The property panel beside a real canvas with real items: what it lists for
// a selection, what editing a row writes, and what it does when the items
// go away under it.
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVector4D>
#include <QtTest>

#include <climits>
#include <functional>

#include "DCanvas.h"
#include "DGraphicsItemLine.h"
#include "DGraphicsItemPolygon.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DMetaPropertyList.h"
#include "DPropertyManagerVector3D.h"
#include "DPropertyTreeProbe.h"
#include "DWidgetPropertyBrowser.h"
#include "QtAbstractPropertyManager.h"
#include "QtBrowserItem.h"
#include "QtProperty.h"
#include "QtVariantPropertyManager.h"

namespace {

// A rectangle that marks for the panel two properties it cannot show: a
// four-component vector and a name the class does not declare.
class RectangleWithExtras : public DGraphicsItemRectangle
{
    Q_OBJECT
    Q_PROPERTY(QVector4D corner READ corner WRITE setCorner)

public:
    const DMetaPropertyList& properties() const override { return staticProperties(); }
    static const DMetaPropertyList& staticProperties()
    {
        static const DMetaPropertyList list = [] {
            DMetaPropertyList l = DGraphicsItemRectangle::staticProperties();
            l.addProperty(staticMetaObject, "corner", "Corner", DMetaProperty::PropertyBrowser, 1);
            l.addProperty(staticMetaObject, "undeclared", "Undeclared", DMetaProperty::PropertyBrowser, 1);
            return l;
        }();
        return list;
    }

    QVector4D corner() const { return m_corner; }
    void setCorner(const QVector4D& corner) { m_corner = corner; }

private:
    QVector4D m_corner;
};

// What a row whose items differ shows.
const QString kVarious = QStringLiteral("*VARIOUS*");

const QStringList kRectangleRows = {"Position", "Rotation", "Stroke Color", "Stroke Width", "Fill",
                                    "Fill Color", "Opacity", "Width", "Height"};

// A window that holds a canvas and, beside it, the panel for that canvas.
struct Host
{
    Host()
        : window(new QWidget)
        , canvas(new DCanvas(window.data()))
        , panel(new DWidgetPropertyBrowser(window.data(), canvas))
        , probe(panel)
    {
        QHBoxLayout* layout = new QHBoxLayout(window.data());
        layout->addWidget(canvas, 2);
        layout->addWidget(panel, 1);
        canvas->setCanvasSize(600, 400);
        window->resize(1100, 600);
        window->show();
        if (!QTest::qWaitForWindowActive(window.data()))
            qWarning("the host did not become active; editor tests will fail");
    }

    DGraphicsScene* scene() const { return canvas->scene(); }
    DGraphicsLayer* layer() const { return canvas->scene()->activeLayer(); }

    DGraphicsItemRectangle* rectangle(const QRectF& boundary, bool select)
    {
        DGraphicsItemRectangle* item = new DGraphicsItemRectangle;
        item->setBoundary(boundary);
        scene()->addPersistenItem(item, select);
        return item;
    }

    DGraphicsItemText* text(const QRectF& boundary, const QString& plainText, bool select)
    {
        DGraphicsItemText* item = new DGraphicsItemText;
        item->setBoundary(boundary);
        item->setPlainText(plainText);
        scene()->addPersistenItem(item, select);
        return item;
    }

    // Only these items selected, as a click and shift-clicks would leave it.
    void select(const QList<DGraphicsItem*>& items)
    {
        layer()->clearSelection();
        for (DGraphicsItem* item : items)
            item->setSelected(true);
    }

    // The user edits a row: clicks its value cell, replaces the text and
    // presses Enter (or, with commit false, leaves it typed).
    bool type(const QString& row, const QString& text, bool commit = true)
    {
        QWidget* editor = probe.openEditor(row);
        QWidget* keys = qobject_cast<QLineEdit*>(editor) ? editor : editor ? editor->focusProxy() : nullptr;
        if (qobject_cast<QAbstractSpinBox*>(editor))
            keys = editor;
        if (!keys)
            return false;
        QTest::keyClick(keys, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(keys, Qt::Key_Delete);
        else
            QTest::keyClicks(keys, text);
        if (commit)
            QTest::keyClick(keys, Qt::Key_Return);
        return true;
    }

    QScopedPointer<QWidget> window;
    DCanvas* canvas;
    DWidgetPropertyBrowser* panel;
    DPropertyTreeProbe probe;
};

QPointF xy(const QVector3D& v)
{
    return QPointF(v.x(), v.y());
}

// A value as the tests compare it: a position by its x and y only.
QVariant comparable(const QVariant& value)
{
    if (value.type() == QVariant::Vector3D)
        return xy(value.value<QVector3D>());
    return value;
}

const QLocale kGerman(QLocale::German, QLocale::Germany);

// The locales every number test runs under: the C locale and one that
// writes a decimal comma.
void addLocaleRows(const std::function<void(const char* name, const QLocale& locale)>& addRows)
{
    addRows("C", QLocale::c());
    addRows("German", kGerman);
}

// A "locale" column with a row for each of those locales.
void addLocaleColumn()
{
    QTest::addColumn<QLocale>("locale");
    addLocaleRows([](const char* name, const QLocale& locale) { QTest::newRow(name) << locale; });
}

// A number as the given locale writes it with two decimals.
QString decimal(const QLocale& locale, double value)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', 2);
}

// Two numbers as the position row writes and reads them in the locale.
QString pair(const QLocale& locale, const QString& x, const QString& y)
{
    return x + (locale.decimalPoint() == QLatin1Char(',') ? "; " : ", ") + y;
}

// The default locale for one test, given back when it ends.
struct DefaultLocale
{
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::c()); }
};

// The visible text of an editor that holds one (a spin box, a line edit).
QString editorText(QWidget* editor)
{
    if (QAbstractSpinBox* spin = qobject_cast<QAbstractSpinBox*>(editor))
        return spin->text();
    if (QLineEdit* edit = qobject_cast<QLineEdit*>(editor))
        return edit->text();
    return QStringLiteral("<no text editor>");
}

// What an editor shows while it holds no text.
QString editorPlaceholder(QWidget* editor)
{
    QLineEdit* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit && editor)
        edit = editor->findChild<QLineEdit*>();
    return edit ? edit->placeholderText() : QStringLiteral("<no text editor>");
}

} // namespace

class tst_DWidgetPropertyBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // what the panel lists
    void emptySelectionLeavesTheBrowserEmpty();
    void rowsAreThePropertiesTheItemsShare_data();
    void rowsAreThePropertiesTheItemsShare();
    void unsupportedTypesAreSkippedWithAMessage();
    void rowIsEnabledWhenEveryItemEnablesIt();
    void selectionMadeOnTheCanvasIsEdited();

    // values that differ
    void differingValuesReadVariousAndAnEntryWritesEveryItem();
    void variousRowTakesTheValueItLastShowed();
    void dialogRowsWriteEveryItem();
    void variousNumberRowTakesTheNumberItShows_data();
    void variousNumberRowTakesTheNumberItShows();

    // positions
    void positionShowsXAndYWithTwoDecimals();
    void editingXWritesTheVectorIntoEveryItem();
    void variousPositionDisablesItsSubRows();
    void positionLineEditor_data();
    void positionLineEditor();
    void depthOfAVector_data();
    void depthOfAVector();
    void numberOutOfRangeWritesNothing_data();
    void numberOutOfRangeWritesNothing();
    void widestStrokeIsShownAsItIs();
    void textIsEditedWhole_data();
    void textIsEditedWhole();
    void subRowsGoWithTheirRow();

    // expansion
    void expansionIsKeptAcrossSelections();

    // keyboard and mouse
    void escapeDiscardsTheEditEnterAndLeavingCommitIt_data();
    void escapeDiscardsTheEditEnterAndLeavingCommitIt();
    void keysOpenTheCurrentRowsEditorFromEitherColumn_data();
    void keysOpenTheCurrentRowsEditorFromEitherColumn();
    void tabMovesFromEachEditorToTheNextRows_data();
    void tabMovesFromEachEditorToTheNextRows();
    void boolCellTogglesWithOneClickOrSpace_data();
    void boolCellTogglesWithOneClickOrSpace();
    void colourRowHasASwatchAndComponentSubRows_data();
    void colourRowHasASwatchAndComponentSubRows();
    void fontRowHasSubRowsEditedInPlace_data();
    void fontRowHasSubRowsEditedInPlace();
    void variousSubRowsAreDisabled();
    void numbersReadAlikeInTheTreeAndTheEditors_data();
    void numbersReadAlikeInTheTreeAndTheEditors();
    void variousRowOpensOnWhatItShows_data();
    void variousRowOpensOnWhatItShows();
    void columnDividerCanBeDragged();

    // items that go away
    void itemsThatGoLeaveThePanel_data();
    void itemsThatGoLeaveThePanel();
    void deletingOneOfTwoShowsTheOther();
    void pendingEditIsDroppedWhenTheItemsChange();
    void panelDestroyedBeforeItsItems();
};

void tst_DWidgetPropertyBrowser::initTestCase()
{
    qRegisterMetaType<QtProperty*>();
}

void tst_DWidgetPropertyBrowser::emptySelectionLeavesTheBrowserEmpty()
{
    Host host;
    QCOMPARE(host.probe.tree()->topLevelItemCount(), 0);
    DGraphicsItemRectangle* item = host.rectangle(QRectF(0, 0, 40, 30), true);
    QCOMPARE(host.probe.names(), kRectangleRows);
    QCOMPARE(host.panel->items(), QList<DGraphicsItem*>({item}));

    host.layer()->clearSelection();
    QCOMPARE(host.probe.tree()->topLevelItemCount(), 0);
    QVERIFY(host.panel->items().isEmpty());
    QVERIFY(host.panel->properties().isEmpty());
    // The sub-rows went with their rows.
    const QList<QtAbstractPropertyManager*> managers = host.panel->findChildren<QtAbstractPropertyManager*>();
    QCOMPARE(managers.count(), 2);
    for (const QtAbstractPropertyManager* manager : managers)
        QVERIFY(manager->properties().isEmpty());
}

void tst_DWidgetPropertyBrowser::rowsAreThePropertiesTheItemsShare_data()
{
    QTest::addColumn<QString>("kinds");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("rectangle") << "rectangle" << kRectangleRows;
    QTest::newRow("text and line") << "text line"
                                   << QStringList({"Position", "Stroke Color", "Stroke Width", "Opacity"});
    QTest::newRow("polygon") << "polygon"
                             << QStringList({"Position", "Scale", "Rotation", "Stroke Color", "Stroke Width",
                                             "Opacity", "Fill", "Fill Color"});
    QTest::newRow("text") << "text" << kRectangleRows + QStringList({"Font", "Text Color", "Text"});
}

void tst_DWidgetPropertyBrowser::rowsAreThePropertiesTheItemsShare()
{
    QFETCH(QString, kinds);
    QFETCH(QStringList, rows);
    Host host;
    QList<DGraphicsItem*> items;
    for (const QString& kind : kinds.split(' ')) {
        DGraphicsItem* item = nullptr;
        if (kind == "rectangle" || kind == "text") {
            DGraphicsItemRectangle* box = kind == "text" ? new DGraphicsItemText : new DGraphicsItemRectangle;
            box->setBoundary(QRectF(10, 10, 50, 20));
            item = box;
        } else if (kind == "line") {
            DGraphicsItemLine* line = new DGraphicsItemLine;
            line->setLine(QVector3D(0, 0, 0), QVector3D(30, 40, 0));
            item = line;
        } else {
            DGraphicsItemPolygon* polygon = new DGraphicsItemPolygon;
            polygon->addPoint(QVector3D(0, 0, 0));
            polygon->addPoint(QVector3D(40, 0, 0));
            polygon->addPoint(QVector3D(0, 40, 0));
            item = polygon;
        }
        host.scene()->addPersistenItem(item, true);
        items << item;
    }
    QCOMPARE(host.probe.names(), rows);
    // In the order the layer reports its selection, which is its own.
    const QList<DGraphicsItem*> shown = host.panel->items();
    QCOMPARE(QSet<DGraphicsItem*>(shown.begin(), shown.end()), QSet<DGraphicsItem*>(items.begin(), items.end()));
}

void tst_DWidgetPropertyBrowser::unsupportedTypesAreSkippedWithAMessage()
{
    Host host;
    RectangleWithExtras* item = new RectangleWithExtras;
    item->setBoundary(QRectF(0, 0, 20, 20));
    // A four-component vector is neither a position row nor a plain value.
    QTest::ignoreMessage(QtDebugMsg, "Failed to add property: \"Corner\"");
    QTest::ignoreMessage(QtDebugMsg, "Failed to add property: \"Undeclared\"");
    host.scene()->addPersistenItem(item, true);
    QCOMPARE(host.probe.names(), kRectangleRows);
    QCOMPARE(host.probe.value("Width"), QStringLiteral("20.00"));
}

void tst_DWidgetPropertyBrowser::rowIsEnabledWhenEveryItemEnablesIt()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), true);
    a->setFill(true);
    QCOMPARE(host.probe.value("Fill"), kVarious);
    QVERIFY(!host.probe.isEnabled("Fill Color"));
    QCOMPARE(host.probe.openEditor("Fill Color"), nullptr);
    b->setFill(true);
    QCOMPARE(host.probe.value("Fill"), QString());
    QCOMPARE(host.probe.checkState("Fill"), int(Qt::Checked));
    QVERIFY(host.probe.isEnabled("Fill Color"));
    QVERIFY(host.probe.openEditor("Fill Color"));
}

void tst_DWidgetPropertyBrowser::selectionMadeOnTheCanvasIsEdited()
{
    Host host;
    DGraphicsItemRectangle* item = host.rectangle(QRectF(100, 100, 120, 80), false);
    item->setFill(true);
    DGraphicsView* view = host.canvas->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(160, 140)));
    QVERIFY(item->isSelected());
    QCOMPARE(host.probe.value("Stroke Width"), QStringLiteral("2"));

    QVERIFY(host.type("Stroke Width", "9"));
    QCOMPARE(item->strokeWidth(), 9u);
    QCOMPARE(host.probe.value("Stroke Width"), QStringLiteral("9"));
}

void tst_DWidgetPropertyBrowser::differingValuesReadVariousAndAnEntryWritesEveryItem()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), true);
    b->setStrokeWidth(5);
    b->setStrokeColor(Qt::red);
    QCOMPARE(host.probe.value("Stroke Width"), kVarious);
    QCOMPARE(host.probe.value("Stroke Color"), kVarious);
    QCOMPARE(host.probe.value("Opacity"), QStringLiteral("1.00"));

    QVERIFY(host.type("Stroke Width", "7"));
    QCOMPARE(a->strokeWidth(), 7u);
    QCOMPARE(b->strokeWidth(), 7u);
    QCOMPARE(host.probe.value("Stroke Width"), QStringLiteral("7"));
    QCOMPARE(host.probe.value("Stroke Color"), kVarious);
}

void tst_DWidgetPropertyBrowser::variousRowTakesTheValueItLastShowed()
{
    Host host;
    DGraphicsItemText* a = host.text(QRectF(0, 0, 80, 30), "same", true);
    DGraphicsItemText* b = host.text(QRectF(0, 0, 80, 30), "same", true);
    QCOMPARE(host.probe.value("Text"), QStringLiteral("same"));
    QCOMPARE(host.probe.value("Position"), QStringLiteral("(40.00, 15.00)"));

    // The rows keep the values they showed before the items parted.
    b->setPlainText("other");
    b->setCenter(QVector3D(200, 100, 0));
    QCOMPARE(host.probe.value("Text"), kVarious);
    QCOMPARE(host.probe.value("Position"), kVarious);

    QVERIFY(host.type("Text", "same"));
    QCOMPARE(a->plainText(), QStringLiteral("same"));
    QCOMPARE(b->plainText(), QStringLiteral("same"));
    QCOMPARE(host.probe.value("Text"), QStringLiteral("same"));

    QVERIFY(host.type("Position", "40, 15"));
    QCOMPARE(xy(a->center()), QPointF(40, 15));
    QCOMPARE(xy(b->center()), QPointF(40, 15));
    QCOMPARE(host.probe.value("Position"), QStringLiteral("(40.00, 15.00)"));
}

void tst_DWidgetPropertyBrowser::dialogRowsWriteEveryItem()
{
    Host host;
    DGraphicsItemText* a = host.text(QRectF(0, 0, 80, 30), "one", true);
    DGraphicsItemText* b = host.text(QRectF(0, 40, 80, 30), "two", true);
    b->setTextColor(Qt::red);
    QCOMPARE(host.probe.value("Text Color"), kVarious);
    const auto choose = [&](const QString& row) {
        QWidget* cell = host.probe.openEditor(row);
        QToolButton* button = cell ? cell->findChild<QToolButton*>() : nullptr;
        return [button] {
            if (button)
                QTest::mouseClick(button, Qt::LeftButton);
        };
    };

    const QColor colour(20, 140, 60);
    QVERIFY(DPropertyTreeProbe::answerDialog<QColorDialog>(choose("Text Color"), [&](QColorDialog* dialog) {
        dialog->setCurrentColor(colour);
        dialog->accept();
    }));
    QCOMPARE(a->textColor().rgba(), colour.rgba());
    QCOMPARE(b->textColor().rgba(), colour.rgba());
    QCOMPARE(host.probe.value("Text Color"), colour.name());

    QFont font = a->font();
    font.setPointSize(31);
    font.setBold(true);
    QVERIFY(DPropertyTreeProbe::answerDialog<QFontDialog>(choose("Font"), [&](QFontDialog* dialog) {
        dialog->setCurrentFont(font);
        dialog->accept();
    }));
    for (const DGraphicsItemText* item : {a, b}) {
        QCOMPARE(item->font().pointSize(), 31);
        QVERIFY(item->font().bold());
    }
    QVERIFY2(host.probe.value("Font").endsWith(", 31 pt"), qPrintable(host.probe.value("Font")));
}

void tst_DWidgetPropertyBrowser::variousNumberRowTakesTheNumberItShows_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("shared");
    QTest::addColumn<QVariant>("other");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("double") << "Rotation" << QByteArray("rotation") << QVariant(0.0) << QVariant(45.0) << "0"
                            << "0.00";
    QTest::newRow("int") << "Stroke Width" << QByteArray("strokeWidth") << QVariant(2) << QVariant(5) << "2"
                         << "2";
}

void tst_DWidgetPropertyBrowser::variousNumberRowTakesTheNumberItShows()
{
    QFETCH(QString, row);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, shared);
    QFETCH(QVariant, other);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), true);
    QCOMPARE(a->property(property), shared);
    QCOMPARE(host.probe.value(row), shown);
    // The spin box of the various row still holds the shared value.
    QVERIFY(b->setProperty(property, other));
    QCOMPARE(host.probe.value(row), kVarious);

    // Opened and left without typing: each item keeps its own value.
    QVERIFY(qobject_cast<QAbstractSpinBox*>(host.probe.openEditor(row)));
    QVERIFY(host.probe.openEditor("Opacity"));
    QCOMPARE(a->property(property), shared);
    QCOMPARE(b->property(property), other);

    // That very number typed and entered is written into both.
    QVERIFY(host.type(row, typed));
    QCOMPARE(a->property(property), shared);
    QCOMPARE(b->property(property), shared);
    QCOMPARE(host.probe.value(row), shown);
}

void tst_DWidgetPropertyBrowser::positionShowsXAndYWithTwoDecimals()
{
    Host host;
    host.rectangle(QRectF(0, 0, 24, 7), true);
    QCOMPARE(host.probe.value("Position"), QStringLiteral("(12.00, 3.50)"));
    QCOMPARE(host.probe.value("Position/X"), QStringLiteral("12.00"));
    QCOMPARE(host.probe.value("Position/Y"), QStringLiteral("3.50"));
    QCOMPARE(host.probe.row("Position")->childCount(), 2);
    QVERIFY(host.probe.isEnabled("Position/X"));
    QVERIFY(host.probe.isEnabled("Position/Y"));
}

void tst_DWidgetPropertyBrowser::editingXWritesTheVectorIntoEveryItem()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 24, 7), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(0, 0, 24, 7), true);
    QVERIFY(qobject_cast<QDoubleSpinBox*>(host.probe.openEditor("Position/X")));
    QVERIFY(host.type("Position/X", "20"));
    QCOMPARE(xy(a->center()), QPointF(20, 3.5));
    QCOMPARE(xy(b->center()), QPointF(20, 3.5));
    QCOMPARE(host.probe.value("Position"), QStringLiteral("(20.00, 3.50)"));

    QVERIFY(host.type("Position/Y", "-8.25"));
    QCOMPARE(xy(a->center()), QPointF(20, -8.25));
    QCOMPARE(xy(b->center()), QPointF(20, -8.25));
}

void tst_DWidgetPropertyBrowser::variousPositionDisablesItsSubRows()
{
    Host host;
    host.rectangle(QRectF(0, 0, 24, 7), true);
    host.rectangle(QRectF(100, 0, 24, 7), true);
    QCOMPARE(host.probe.value("Position"), kVarious);
    QVERIFY(host.probe.isEnabled("Position"));
    QVERIFY(!host.probe.isEnabled("Position/X"));
    QVERIFY(!host.probe.isEnabled("Position/Y"));
    QCOMPARE(host.probe.openEditor("Position/X"), nullptr);
}

void tst_DWidgetPropertyBrowser::positionLineEditor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPointF>("position");
    const QPointF unchanged(12, 3.5);
    QTest::newRow("one number") << "42" << unchanged;
    QTest::newRow("two numbers") << "7, 8" << QPointF(7, 8);
    QTest::newRow("three numbers") << "7 8 9" << QPointF(7, 8);
    QTest::newRow("brackets and semicolon") << "(12.25;-3)" << QPointF(12.25, -3);
    QTest::newRow("signs and letters") << "x-3.5 y+2" << QPointF(-3.5, 2);
    QTest::newRow("empty") << "" << unchanged;
    QTest::newRow("not numbers") << "nan, inf" << unchanged;
    QTest::newRow("too long for a coordinate") << "1" + QString(60, '0') + ", 5" << unchanged;
    QTest::newRow("large but fine") << "100000, -250000" << QPointF(100000, -250000);
}

void tst_DWidgetPropertyBrowser::positionLineEditor()
{
    QFETCH(QString, text);
    QFETCH(QPointF, position);
    Host host;
    DGraphicsItemRectangle* item = host.rectangle(QRectF(0, 0, 24, 7), true);
    QLineEdit* editor = qobject_cast<QLineEdit*>(host.probe.openEditor("Position"));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("(12.00, 3.50)"));

    QVERIFY(host.type("Position", text));
    QCOMPARE(xy(item->center()), position);
    QCOMPARE(host.probe.value("Position"),
             QStringLiteral("(%1, %2)").arg(position.x(), 0, 'f', 2).arg(position.y(), 0, 'f', 2));
}

void tst_DWidgetPropertyBrowser::depthOfAVector_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVector3D>("start");
    // The line editor takes x and y; a third number is not the depth.
    QTest::newRow("line editor, three numbers") << "Start Point" << "7 8 9" << QVector3D(7, 8, 0);
    // A sub-row changes its component and keeps the others.
    QTest::newRow("X sub-row") << "Start Point/X" << "7" << QVector3D(7, 2, 5);
}

void tst_DWidgetPropertyBrowser::depthOfAVector()
{
    QFETCH(QString, row);
    QFETCH(QString, typed);
    QFETCH(QVector3D, start);
    Host host;
    DGraphicsItemLine* line = new DGraphicsItemLine;
    line->setLine(QVector3D(1, 2, 5), QVector3D(30, 40, 5));
    host.scene()->addPersistenItem(line, true);
    QCOMPARE(host.probe.value("Start Point"), QStringLiteral("(1.00, 2.00)"));
    QVERIFY(host.type(row, typed));
    QCOMPARE(line->startPoint(), start);
    QCOMPARE(line->endPoint(), QVector3D(30, 40, 5));
}

void tst_DWidgetPropertyBrowser::numberOutOfRangeWritesNothing_data()
{
    QTest::addColumn<QString>("row");
    QTest::newRow("X of a position") << "Position/X";
    QTest::newRow("angle") << "Rotation";
    QTest::newRow("width") << "Width";
}

void tst_DWidgetPropertyBrowser::numberOutOfRangeWritesNothing()
{
    QFETCH(QString, row);
    Host host;
    DGraphicsItemRectangle* item = host.rectangle(QRectF(0, 0, 24, 7), true);
    const QStringList rows = host.probe.rows();
    // More than an item's numbers hold, typed into a spin box.
    QVERIFY(host.type(row, "1" + QString(40, '0')));
    QCOMPARE(xy(item->center()), QPointF(12, 3.5));
    QCOMPARE(item->rotation_z(), 0.0);
    QCOMPARE(item->width(), 24.0);
    QCOMPARE(item->height(), 7.0);
    // The rows show the item as it is.
    QCOMPARE(host.probe.rows(), rows);
}

void tst_DWidgetPropertyBrowser::widestStrokeIsShownAsItIs()
{
    Host host;
    DGraphicsItemRectangle* item = host.rectangle(QRectF(0, 0, 20, 20), true);
    // The largest number the row takes, which the item keeps as a float.
    QVERIFY(host.type("Stroke Width", QString::number(INT_MAX)));
    QCOMPARE(item->property("strokeWidth"), QVariant(INT_MAX));
    QCOMPARE(host.probe.value("Stroke Width"), QString::number(INT_MAX));
    QVERIFY(host.type("Stroke Width", "3"));
    QCOMPARE(item->strokeWidth(), 3u);
}

void tst_DWidgetPropertyBrowser::textIsEditedWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("longer than a line editor holds by default") << QString(33000, 'a') + "end";
    QTest::newRow("several lines") << QStringLiteral("one\ntwo\nthree");
}

void tst_DWidgetPropertyBrowser::textIsEditedWhole()
{
    QFETCH(QString, text);
    Host host;
    DGraphicsItemText* item = host.text(QRectF(0, 0, 80, 30), text, true);
    QLineEdit* editor = qobject_cast<QLineEdit*>(host.probe.openEditor("Text"));
    QVERIFY(editor);
    // Lengths first: a long text makes an unreadable message.
    QCOMPARE(editor->text().size(), text.size());
    QVERIFY(editor->text() == text);
    // The first character deleted: the rest of the text stays as it was.
    QTRY_VERIFY(editor->hasFocus());
    QVERIFY(host.probe.press(Qt::Key_Home));
    QVERIFY(host.probe.press(Qt::Key_Delete));
    QVERIFY(host.probe.press(Qt::Key_Return));
    QCOMPARE(item->plainText().size(), text.size() - 1);
    QVERIFY(item->plainText() == text.mid(1));
}

void tst_DWidgetPropertyBrowser::subRowsGoWithTheirRow()
{
    QtVariantPropertyManager components;
    DPropertyManagerVector3D vectors(&components);
    QtProperty* row = vectors.addProperty("Position");
    QCOMPARE(components.properties().count(), 2);
    QCOMPARE(row->subProperties(), components.properties());
    QSignalSpy values(&vectors, &DPropertyManagerVector3D::valueChanged);
    vectors.setValue(row, QVector3D(1, 2, 3));
    vectors.setValue(row, QVector3D(1, 2, 3));
    QCOMPARE(values.count(), 1);
    QCOMPARE(components.value(row->subProperties().at(1)), QVariant(2.0));

    delete row;
    QVERIFY(vectors.properties().isEmpty());
    QVERIFY(components.properties().isEmpty());

    // Sub-rows destroyed first leave their row without them.
    QtProperty* other = vectors.addProperty("Other");
    components.clear();
    QVERIFY(other->subProperties().isEmpty());
    vectors.setValue(other, QVector3D(4, 5, 0));
    QCOMPARE(other->valueText(), QStringLiteral("(4.00, 5.00)"));
    vectors.clear();
    QVERIFY(vectors.properties().isEmpty());
}

void tst_DWidgetPropertyBrowser::expansionIsKeptAcrossSelections()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), false);
    DGraphicsItemPolygon* polygon = new DGraphicsItemPolygon;
    polygon->addPoint(QVector3D(0, 0, 0));
    polygon->addPoint(QVector3D(40, 0, 0));
    polygon->addPoint(QVector3D(0, 40, 0));
    host.scene()->addPersistenItem(polygon, false);
    QTreeWidget* tree = host.probe.tree();
    QVERIFY(!host.probe.row("Position")->isExpanded());

    // The user opens "Position" from the keyboard.
    tree->setFocus();
    tree->setCurrentItem(host.probe.row("Position"), 0);
    QTest::keyClick(tree, Qt::Key_Right);
    QVERIFY(host.probe.row("Position")->isExpanded());

    host.select({b});
    QVERIFY(host.probe.row("Position")->isExpanded());
    host.select({polygon});
    QVERIFY(host.probe.row("Position")->isExpanded());
    QVERIFY(!host.probe.row("Scale")->isExpanded());

    // And closes it again.
    tree->setFocus();
    tree->setCurrentItem(host.probe.row("Position"), 0);
    QTest::keyClick(tree, Qt::Key_Left);
    host.select({a});
    QVERIFY(!host.probe.row("Position")->isExpanded());
}

void tst_DWidgetPropertyBrowser::escapeDiscardsTheEditEnterAndLeavingCommitIt_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("entered");
    QTest::addColumn<QString>("finish");
    addLocaleRows([](const char* localeName, const QLocale& locale) {
        struct Edit
        {
            const char* row;
            QByteArray property;
            QString typed;
            QVariant entered;
        };
        const QList<Edit> edits = {
            {"Stroke Width", "strokeWidth", "9", 9},
            {"Opacity", "opacity", decimal(locale, 0.5), 0.5},
            {"Text", "text", "xyz", "xyz"},
            {"Position", "position", pair(locale, "5", "5"), QPointF(5, 5)},
        };
        for (const Edit& edit : edits) {
            for (const char* finish : {"Escape", "Enter", "leave"}) {
                QTest::addRow("%s, %s, %s", edit.row, finish, localeName)
                    << locale << edit.row << edit.property << edit.typed << edit.entered << finish;
            }
        }
    });
}

void tst_DWidgetPropertyBrowser::escapeDiscardsTheEditEnterAndLeavingCommitIt()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, row);
    QFETCH(QByteArray, property);
    QFETCH(QString, typed);
    QFETCH(QVariant, entered);
    QFETCH(QString, finish);
    const DefaultLocale inLocale(locale);
    Host host;
    const QList<DGraphicsItem*> items = {host.text(QRectF(0, 0, 80, 30), "abc", true),
                                         host.text(QRectF(0, 0, 80, 30), "abc", true)};
    const QVariant before = comparable(items.first()->property(property));
    const QString shown = host.probe.value(row);

    QWidget* editor = host.probe.openEditor(row);
    QVERIFY(editor);
    QTRY_VERIFY(editor->isAncestorOf(QApplication::focusWidget()) || editor->hasFocus());
    QVERIFY(host.probe.press(Qt::Key_A, Qt::ControlModifier));
    QVERIFY(host.probe.typeText(typed));
    if (finish == "Escape")
        QVERIFY(host.probe.press(Qt::Key_Escape));
    else if (finish == "Enter")
        QVERIFY(host.probe.press(Qt::Key_Return));
    else
        QVERIFY(host.probe.openEditor("Rotation"));
    QCoreApplication::processEvents();

    const QVariant expected = finish == "Escape" ? before : entered;
    for (DGraphicsItem* item : items)
        QCOMPARE(comparable(item->property(property)), expected);
    if (finish == "Escape") {
        QCOMPARE(host.probe.value(row), shown);
        // What was typed is gone: the row's next editor starts from its value.
        QWidget* again = host.probe.openEditor(row);
        QVERIFY(again);
        QVERIFY(host.probe.press(Qt::Key_Return));
        QCoreApplication::processEvents();
        for (DGraphicsItem* item : items)
            QCOMPARE(comparable(item->property(property)), before);
    }
}

void tst_DWidgetPropertyBrowser::keysOpenTheCurrentRowsEditorFromEitherColumn_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("column");
    for (int column : {0, 1}) {
        QTest::addRow("F2, column %d", column) << int(Qt::Key_F2) << column;
        QTest::addRow("Return, column %d", column) << int(Qt::Key_Return) << column;
        QTest::addRow("Enter, column %d", column) << int(Qt::Key_Enter) << column;
    }
}

void tst_DWidgetPropertyBrowser::keysOpenTheCurrentRowsEditorFromEitherColumn()
{
    QFETCH(int, key);
    QFETCH(int, column);
    Host host;
    DGraphicsItemRectangle* item = host.rectangle(QRectF(0, 0, 24, 7), true);
    QTreeWidget* tree = host.probe.tree();
    // The user tabs into the panel from a field before it.
    QLineEdit* field = new QLineEdit(host.window.data());
    host.window->layout()->addWidget(field);
    field->show();
    QWidget::setTabOrder(field, tree);
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QVERIFY(host.probe.press(Qt::Key_Tab));
    QTRY_VERIFY(tree->hasFocus());
    QCOMPARE(tree->currentItem(), host.probe.row("Position"));
    QCOMPARE(tree->currentColumn(), 0);

    // Down to "Stroke Width", in the column of this case.
    for (int i = 0; i < 3; ++i)
        QVERIFY(host.probe.press(Qt::Key_Down));
    QCOMPARE(tree->currentItem(), host.probe.row("Stroke Width"));
    tree->setCurrentItem(host.probe.row("Stroke Width"), column);

    QVERIFY(host.probe.press(key));
    QAbstractSpinBox* spin = qobject_cast<QAbstractSpinBox*>(host.probe.openEditorWidget());
    QVERIFY(spin);
    QTRY_VERIFY(spin->hasFocus());
    QVERIFY(host.probe.press(Qt::Key_A, Qt::ControlModifier));
    QVERIFY(host.probe.typeText("7"));
    QVERIFY(host.probe.press(Qt::Key_Return));
    QCOMPARE(item->strokeWidth(), 7u);

    // Enter closes the editor and gives the keyboard back to the tree, where
    // the same key opens it again.
    QTRY_VERIFY(tree->hasFocus());
    QTRY_COMPARE(host.probe.openEditorWidget(), nullptr);
    QVERIFY(host.probe.press(key));
    QVERIFY(qobject_cast<QAbstractSpinBox*>(host.probe.openEditorWidget()));
    QVERIFY(host.probe.press(Qt::Key_Escape));
    QCOMPARE(item->strokeWidth(), 7u);
}

void tst_DWidgetPropertyBrowser::tabMovesFromEachEditorToTheNextRows_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("next");
    QTest::newRow("spin box, Tab") << "Rotation" << int(Qt::Key_Tab) << "Stroke Color";
    QTest::newRow("position, Tab") << "Position" << int(Qt::Key_Tab) << "Rotation";
    QTest::newRow("colour, Tab") << "Stroke Color" << int(Qt::Key_Tab) << "Stroke Width";
    QTest::newRow("colour, Backtab") << "Stroke Color" << int(Qt::Key_Backtab) << "Rotation";
    QTest::newRow("font, Tab") << "Font" << int(Qt::Key_Tab) << "Text Color";
    QTest::newRow("font, Backtab") << "Font" << int(Qt::Key_Backtab) << "Height";
}

void tst_DWidgetPropertyBrowser::tabMovesFromEachEditorToTheNextRows()
{
    QFETCH(QString, row);
    QFETCH(int, key);
    QFETCH(QString, next);
    Host host;
    host.text(QRectF(0, 0, 80, 30), "abc", true);
    QTreeWidget* tree = host.probe.tree();
    QWidget* editor = host.probe.openEditor(row);
    QVERIFY(editor);
    QTRY_VERIFY(editor->isAncestorOf(QApplication::focusWidget()) || editor->hasFocus());

    // The keyboard stays in the panel: the next row's editor opens, whatever
    // the editor is made of, and this one closes.
    QVERIFY(host.probe.press(key));
    QTRY_VERIFY(!editor->isVisible());
    QCOMPARE(tree->currentItem(), host.probe.row(next));
    QWidget* nextEditor = host.probe.openEditorWidget();
    QVERIFY(nextEditor);
    QVERIFY(nextEditor->isAncestorOf(QApplication::focusWidget()) || nextEditor->hasFocus());
}

void tst_DWidgetPropertyBrowser::boolCellTogglesWithOneClickOrSpace_data()
{
    QTest::addColumn<qreal>("across");
    QTest::newRow("left edge") << 0.02;
    QTest::newRow("middle") << 0.5;
    QTest::newRow("right edge") << 0.98;
}

void tst_DWidgetPropertyBrowser::boolCellTogglesWithOneClickOrSpace()
{
    QFETCH(qreal, across);
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), true);
    QCOMPARE(host.probe.checkState("Fill"), int(Qt::Unchecked));
    QCOMPARE(host.probe.value("Fill"), QString());

    host.probe.clickValue("Fill", across);
    QVERIFY(a->isFill());
    QVERIFY(b->isFill());
    QCOMPARE(host.probe.checkState("Fill"), int(Qt::Checked));
    host.probe.clickValue("Fill", across);
    QVERIFY(!a->isFill());
    QVERIFY(!b->isFill());
    QCOMPARE(host.probe.checkState("Fill"), int(Qt::Unchecked));

    // Only the left button toggles it: the others leave every item as it is,
    // on the closed cell and on the open check box alike.
    for (int round = 0; round < 2; ++round) {
        for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
            host.probe.clickValue("Fill", across, other);
            QVERIFY(!a->isFill());
            QVERIFY(!b->isFill());
        }
        QVERIFY(host.probe.openEditor("Rotation"));
    }
    QCOMPARE(host.probe.checkState("Fill"), int(Qt::Unchecked));

    // Space toggles it too, first from the tree, then in the open editor.
    QVERIFY(host.probe.openEditor("Rotation"));
    QVERIFY(host.probe.press(Qt::Key_Escape));
    QTreeWidget* tree = host.probe.tree();
    QTRY_VERIFY(tree->hasFocus());
    tree->setCurrentItem(host.probe.row("Fill"), 0);
    QVERIFY(host.probe.press(Qt::Key_Space));
    QVERIFY(a->isFill());
    QVERIFY(b->isFill());
    QVERIFY(host.probe.press(Qt::Key_Space));
    QVERIFY(!a->isFill());
    QCOMPARE(host.probe.checkState("Fill"), int(Qt::Unchecked));

    // A row whose items differ shows no check box, and a click sets them all.
    a->setFill(true);
    QCOMPARE(host.probe.value("Fill"), kVarious);
    QCOMPARE(host.probe.checkState("Fill"), -1);
    host.probe.clickValue("Fill", across);
    QVERIFY(a->isFill());
    QVERIFY(b->isFill());
}

void tst_DWidgetPropertyBrowser::colourRowHasASwatchAndComponentSubRows_data()
{
    addLocaleColumn();
}

void tst_DWidgetPropertyBrowser::colourRowHasASwatchAndComponentSubRows()
{
    QFETCH(QLocale, locale);
    const DefaultLocale inLocale(locale);
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), true);
    a->setStrokeColor(QColor(10, 20, 30));
    b->setStrokeColor(QColor(10, 20, 30));
    QCOMPARE(host.probe.value("Stroke Color"), QStringLiteral("#0a141e"));
    QVERIFY(!host.probe.row("Stroke Color")->icon(1).isNull());
    QStringList components;
    for (const char* name : {"Red", "Green", "Blue", "Alpha"})
        components << name + QStringLiteral("=") + host.probe.value(QStringLiteral("Stroke Color/") + name);
    QCOMPARE(components, QStringList({"Red=10", "Green=20", "Blue=30", "Alpha=255"}));

    // Red edited in place, from the keyboard.
    QTreeWidget* tree = host.probe.tree();
    host.probe.valueCell("Stroke Color/Red");
    tree->setFocus();
    tree->setCurrentItem(host.probe.row("Stroke Color/Red"), 0);
    QVERIFY(host.probe.press(Qt::Key_Return));
    QVERIFY(qobject_cast<QSpinBox*>(host.probe.openEditorWidget()));
    QVERIFY(host.probe.press(Qt::Key_A, Qt::ControlModifier));
    QVERIFY(host.probe.typeText("200"));
    QVERIFY(host.probe.press(Qt::Key_Return));
    for (const DGraphicsItem* item : {a, b})
        QCOMPARE(item->strokeColor().rgba(), QColor(200, 20, 30).rgba());
    QCOMPARE(host.probe.value("Stroke Color"), QStringLiteral("#c8141e"));
    QCOMPARE(host.probe.value("Stroke Color/Red"), QStringLiteral("200"));

    // Alpha from a click on its cell and an arrow step.
    QVERIFY(qobject_cast<QSpinBox*>(host.probe.openEditor("Stroke Color/Alpha")));
    QVERIFY(host.probe.press(Qt::Key_Down));
    QCOMPARE(a->strokeColor().alpha(), 254);
    QCOMPARE(b->strokeColor().alpha(), 254);

    // The dialog stays a second way to edit the colour.
    QWidget* cell = host.probe.openEditor("Stroke Color");
    QToolButton* choose = cell ? cell->findChild<QToolButton*>() : nullptr;
    QVERIFY(choose);
    QVERIFY(DPropertyTreeProbe::answerDialog<QColorDialog>([&] { QTest::mouseClick(choose, Qt::LeftButton); },
                                                           [](QColorDialog* dialog) {
                                                               dialog->setCurrentColor(QColor(1, 2, 3));
                                                               dialog->accept();
                                                           }));
    QCOMPARE(a->strokeColor().rgba(), QColor(1, 2, 3).rgba());
    QCOMPARE(host.probe.value("Stroke Color/Blue"), QStringLiteral("3"));
}

void tst_DWidgetPropertyBrowser::fontRowHasSubRowsEditedInPlace_data()
{
    addLocaleColumn();
}

void tst_DWidgetPropertyBrowser::fontRowHasSubRowsEditedInPlace()
{
    QFETCH(QLocale, locale);
    const DefaultLocale inLocale(locale);
    Host host;
    DGraphicsItemText* a = host.text(QRectF(0, 0, 80, 30), "one", true);
    DGraphicsItemText* b = host.text(QRectF(0, 40, 80, 30), "two", true);
    QFont font = a->font();
    font.setPointSize(12);
    a->setFont(font);
    b->setFont(font);
    QTreeWidgetItem* fontRow = host.probe.row("Font");
    QVERIFY(fontRow);
    QStringList names;
    for (int i = 0; i < fontRow->childCount(); ++i)
        names << fontRow->child(i)->text(0);
    QCOMPARE(names, QStringList({"Family", "Point Size", "Bold", "Italic", "Underline", "Strikeout"}));
    QCOMPARE(host.probe.value("Font/Family"), font.family());
    QCOMPARE(host.probe.value("Font/Point Size"), QStringLiteral("12"));
    for (const QString style : {"Bold", "Italic", "Underline", "Strikeout"})
        QCOMPARE(host.probe.checkState("Font/" + style), int(Qt::Unchecked));

    // Bold toggled with one click, Italic with Space.
    host.probe.clickValue("Font/Bold", 0.5);
    QVERIFY(a->font().bold());
    QVERIFY(b->font().bold());
    QCOMPARE(host.probe.checkState("Font/Bold"), int(Qt::Checked));
    QTreeWidget* tree = host.probe.tree();
    QVERIFY(host.probe.press(Qt::Key_Escape));
    QTRY_VERIFY(tree->hasFocus());
    tree->setCurrentItem(host.probe.row("Font/Italic"), 1);
    QVERIFY(host.probe.press(Qt::Key_Space));
    QVERIFY(a->font().italic());
    QVERIFY(b->font().italic());
    QVERIFY(a->font().bold());

    // The point size typed in place.
    QVERIFY(host.type("Font/Point Size", "20"));
    QCOMPARE(a->font().pointSize(), 20);
    QCOMPARE(b->font().pointSize(), 20);
    QVERIFY2(host.probe.value("Font").endsWith(", 20 pt"), qPrintable(host.probe.value("Font")));

    // Another family picked in the family's list.
    QComboBox* families = qobject_cast<QComboBox*>(host.probe.openEditor("Font/Family"));
    QVERIFY(families);
    QVERIFY(families->count() > 0);
    QCOMPARE(families->currentText(), font.family());
    if (families->currentIndex() + 1 < families->count()) {
        const QString next = families->itemText(families->currentIndex() + 1);
        QVERIFY(host.probe.press(Qt::Key_Down));
        QCOMPARE(a->font().family(), next);
        QCOMPARE(b->font().family(), next);
        QCOMPARE(host.probe.value("Font/Family"), next);
    }
    QVERIFY(a->font().bold());
    QCOMPARE(a->font().pointSize(), 20);
}

void tst_DWidgetPropertyBrowser::variousSubRowsAreDisabled()
{
    Host host;
    DGraphicsItemText* a = host.text(QRectF(0, 0, 80, 30), "one", true);
    DGraphicsItemText* b = host.text(QRectF(0, 40, 80, 30), "two", true);
    b->setStrokeColor(Qt::red);
    QFont font = b->font();
    font.setBold(!font.bold());
    b->setFont(font);
    for (const QString row : {"Stroke Color", "Font"}) {
        QCOMPARE(host.probe.value(row), kVarious);
        QVERIFY(host.probe.isEnabled(row));
        QTreeWidgetItem* item = host.probe.row(row);
        QVERIFY(item->childCount() > 0);
        for (int i = 0; i < item->childCount(); ++i)
            QVERIFY2(!host.probe.isEnabled(row + "/" + item->child(i)->text(0)), qPrintable(item->child(i)->text(0)));
        QCOMPARE(host.probe.openEditor(row + "/" + item->child(0)->text(0)), nullptr);
    }
    // A various colour shows no swatch of a colour it does not have.
    QVERIFY(host.probe.row("Stroke Color")->icon(1).isNull());
    QVERIFY(!host.probe.row("Text Color")->icon(1).isNull());

    // The items agree again: the sub-rows can be edited.
    a->setStrokeColor(Qt::red);
    QVERIFY(host.probe.isEnabled("Stroke Color/Green"));
    QCOMPARE(host.probe.value("Stroke Color/Red"), QStringLiteral("255"));
}

void tst_DWidgetPropertyBrowser::numbersReadAlikeInTheTreeAndTheEditors_data()
{
    addLocaleColumn();
}

void tst_DWidgetPropertyBrowser::numbersReadAlikeInTheTreeAndTheEditors()
{
    QFETCH(QLocale, locale);
    const DefaultLocale inLocale(locale);
    Host host;
    DGraphicsItemRectangle* item = host.rectangle(QRectF(0, 0, 25, 7), true);
    item->setOpacity(0.5);
    item->setStrokeWidth(12000);
    const QString position = "(" + pair(locale, decimal(locale, 12.5), decimal(locale, 3.5)) + ")";
    QCOMPARE(host.probe.value("Opacity"), decimal(locale, 0.5));
    QCOMPARE(host.probe.value("Width"), decimal(locale, 25));
    QCOMPARE(host.probe.value("Stroke Width"), QStringLiteral("12000"));
    QCOMPARE(host.probe.value("Position"), position);
    QCOMPARE(host.probe.value("Position/X"), decimal(locale, 12.5));

    // Each editor opens on the text its row shows.
    for (const QString row : {"Opacity", "Width", "Stroke Width", "Position", "Position/X"}) {
        const QString shown = host.probe.value(row);
        QCOMPARE(editorText(host.probe.openEditor(row)), shown);
    }

    // And reads numbers the way they are shown.
    QVERIFY(host.type("Position", pair(locale, decimal(locale, 12.25), "3")));
    QCOMPARE(xy(item->center()), QPointF(12.25, 3));
    QVERIFY(host.type("Opacity", decimal(locale, 0.25)));
    QCOMPARE(item->opacity(), 0.25);
    QVERIFY(host.type("Position/Y", decimal(locale, 4.75)));
    QCOMPARE(xy(item->center()), QPointF(12.25, 4.75));
}

void tst_DWidgetPropertyBrowser::variousRowOpensOnWhatItShows_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("entered");
    QTest::newRow("int") << "Stroke Width" << QByteArray("strokeWidth") << QVariant(2) << QVariant(5) << "4"
                         << QVariant(4);
    QTest::newRow("double") << "Opacity" << QByteArray("opacity") << QVariant(0.25) << QVariant(0.75) << "1"
                            << QVariant(1.0);
    QTest::newRow("text") << "Text" << QByteArray("text") << QVariant("abc") << QVariant("def") << "ghi"
                          << QVariant("ghi");
}

void tst_DWidgetPropertyBrowser::variousRowOpensOnWhatItShows()
{
    QFETCH(QString, row);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    QFETCH(QString, typed);
    QFETCH(QVariant, entered);
    Host host;
    DGraphicsItemText* a = host.text(QRectF(0, 0, 80, 30), "abc", false);
    DGraphicsItemText* b = host.text(QRectF(0, 40, 80, 30), "abc", false);
    QVERIFY(a->setProperty(property, first));
    QVERIFY(b->setProperty(property, second));
    // Selected together: the rows are made for items that already differ.
    host.select({a, b});
    QCOMPARE(host.probe.value(row), kVarious);

    QWidget* editor = host.probe.openEditor(row);
    QVERIFY(editor);
    QCOMPARE(editorText(editor), QString());
    QCOMPARE(editorPlaceholder(editor), kVarious);
    // No number to step from: an arrow key writes nothing.
    QVERIFY(host.probe.press(Qt::Key_Up));
    QVERIFY(host.probe.press(Qt::Key_Down));
    QCOMPARE(a->property(property), first);
    QCOMPARE(b->property(property), second);
    // Enter on the untouched editor writes nothing either.
    QVERIFY(host.probe.press(Qt::Key_Return));
    QCoreApplication::processEvents();
    QCOMPARE(a->property(property), first);
    QCOMPARE(b->property(property), second);
    QCOMPARE(host.probe.value(row), kVarious);

    // What the user types is written into both.
    QVERIFY(host.type(row, typed));
    QCOMPARE(a->property(property), entered);
    QCOMPARE(b->property(property), entered);
}

void tst_DWidgetPropertyBrowser::columnDividerCanBeDragged()
{
    Host host;
    host.rectangle(QRectF(0, 0, 20, 20), true);
    QHeaderView* header = host.probe.tree()->header();
    const int before = header->sectionSize(0);
    QVERIFY(before > 40);
    const int divider = header->sectionViewportPosition(1);
    const int y = header->height() / 2;
    QWidget* target = header->viewport();
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, QPoint(divider, y));
    for (int dx = 10; dx <= 60; dx += 10) {
        QMouseEvent move(QEvent::MouseMove, QPointF(divider + dx, y), QPointF(target->mapToGlobal(QPoint(divider + dx, y))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, QPoint(divider + 60, y));
    QCOMPARE(header->sectionSize(0), before + 60);
    // The value column takes the rest of the width.
    QCOMPARE(header->sectionViewportPosition(1) + header->sectionSize(1), header->viewport()->width());

    // A new selection keeps the divider where the user put it.
    host.rectangle(QRectF(50, 0, 20, 20), true);
    QCOMPARE(header->sectionSize(0), before + 60);
}

void tst_DWidgetPropertyBrowser::itemsThatGoLeaveThePanel_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("selected items deleted") << "delete selected";
    QTest::newRow("items handed over, then deleted") << "delete handed";
    QTest::newRow("items handed over, then removed and deleted later") << "remove handed";
    QTest::newRow("layer cleared") << "clear layer";
    QTest::newRow("canvas destroyed") << "delete canvas";
}

void tst_DWidgetPropertyBrowser::itemsThatGoLeaveThePanel()
{
    QFETCH(QString, how);
    Host host;
    const bool handed = how.endsWith("handed");
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), !handed);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), !handed);
    b->setStrokeWidth(6);
    if (handed)
        host.panel->setItems({a, b});
    QCOMPARE(host.probe.value("Stroke Width"), kVarious);
    // An editor is open on the rows when the items go.
    QVERIFY(host.probe.openEditor("Stroke Width"));

    if (how == "delete selected") {
        // As the overlay's Delete does it.
        for (DGraphicsItem* item : host.layer()->selectedItems())
            delete item;
    } else if (how == "delete handed") {
        delete b;
        QCOMPARE(host.panel->items(), QList<DGraphicsItem*>({a}));
        QCOMPARE(host.probe.value("Stroke Width"), QStringLiteral("2"));
        delete a;
    } else if (how == "remove handed") {
        host.scene()->removePersistenItem(a);
        host.scene()->removePersistenItem(b);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } else if (how == "clear layer") {
        host.layer()->clear();
    } else {
        delete host.canvas;
    }
    QVERIFY(host.panel->items().isEmpty());
    QCOMPARE(host.probe.tree()->topLevelItemCount(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(host.probe.openEditorWidget(), nullptr);

    // The panel goes on working.
    if (how != "delete canvas") {
        host.rectangle(QRectF(0, 0, 30, 10), true);
        QCOMPARE(host.probe.value("Width"), QStringLiteral("30.00"));
    }
}

void tst_DWidgetPropertyBrowser::deletingOneOfTwoShowsTheOther()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(50, 0, 20, 20), true);
    b->setStrokeWidth(6);
    delete a;
    QCOMPARE(host.panel->items(), QList<DGraphicsItem*>({b}));
    QCOMPARE(host.probe.value("Stroke Width"), QStringLiteral("6"));
    QCOMPARE(host.probe.value("Position"), QStringLiteral("(60.00, 10.00)"));
}

void tst_DWidgetPropertyBrowser::pendingEditIsDroppedWhenTheItemsChange()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 24, 7), true);
    DGraphicsItemRectangle* b = host.rectangle(QRectF(100, 0, 24, 7), false);

    // Typed, not committed, and the selection moves on: neither the old item
    // nor the new one takes what was typed.
    QVERIFY(host.type("Position", "5, 5", false));
    host.select({b});
    QCOMPARE(xy(a->center()), QPointF(12, 3.5));
    QCOMPARE(xy(b->center()), QPointF(112, 3.5));
    QCOMPARE(host.probe.value("Position"), QStringLiteral("(112.00, 3.50)"));

    QVERIFY(host.type("Stroke Width", "9", false));
    host.select({a});
    QCOMPARE(a->strokeWidth(), 2u);
    QCOMPARE(b->strokeWidth(), 2u);

    // The same with the item deleted under the editor.
    QVERIFY(host.type("Position", "5, 5", false));
    delete a;
    QVERIFY(host.panel->items().isEmpty());
    QCOMPARE(xy(b->center()), QPointF(112, 3.5));
}

void tst_DWidgetPropertyBrowser::panelDestroyedBeforeItsItems()
{
    Host host;
    DGraphicsItemRectangle* a = host.rectangle(QRectF(0, 0, 20, 20), true);
    QVERIFY(host.probe.openEditor("Position"));
    QPointer<DWidgetPropertyBrowser> panel(host.panel);
    delete host.panel;
    QVERIFY(!panel);
    // The items and the canvas carry on without it.
    a->setStrokeWidth(4);
    host.rectangle(QRectF(50, 0, 20, 20), true);
    delete a;
    QCOMPARE(host.canvas->selection().count(), 1);
}

QTEST_MAIN(tst_DWidgetPropertyBrowser)
#include "tst_DWidgetPropertyBrowser.moc"
