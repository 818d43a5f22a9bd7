// The property panel on a real X server with a window manager, driven with
// the real mouse and keyboard (xdotool) under the C and a German locale: what
// the user clicks, types and presses reaches the selected items, and the
// screen shows a colour row's swatch.
#include <QtTest>

#include <QAbstractSpinBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "DCanvas.h"
#include "DGraphicsItemText.h"
#include "DGraphicsScene.h"
#include "DPropertyTreeProbe.h"
#include "DUserActions.h"
#include "DWidgetPropertyBrowser.h"

namespace {

const int kWait = 15000;

// A window with a field, a canvas and, beside the canvas, its panel; two text
// items selected on the canvas.
struct Host
{
    Host()
        : window(new QWidget)
        , field(new QLineEdit(window.data()))
        , canvas(new DCanvas(window.data()))
        , panel(new DWidgetPropertyBrowser(window.data(), canvas))
        , probe(panel)
    {
        QVBoxLayout* column = new QVBoxLayout(window.data());
        QHBoxLayout* row = new QHBoxLayout;
        column->addWidget(field);
        column->addLayout(row, 1);
        row->addWidget(canvas, 1);
        row->addWidget(panel, 1);
        QWidget::setTabOrder(field, probe.tree());
        canvas->setCanvasSize(500, 400);
        window->resize(1100, 760);
        for (int i = 0; i < 2; ++i) {
            DGraphicsItemText* item = new DGraphicsItemText;
            item->setBoundary(QRectF(20, 20 + 60 * i, 120, 40));
            item->setPlainText("abc");
            item->setStrokeWidth(2);
            canvas->scene()->addPersistenItem(item, true);
            items << item;
        }
    }

    bool show()
    {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.data(), kWait))
            return false;
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.data(), kWait);
    }

    QTreeWidget* tree() const { return probe.tree(); }

    // Where the screen shows the middle of a row's cell (0 the name, 1 the
    // value).
    QPoint onScreen(const QString& path, int column) const
    {
        const QRect value = probe.valueCell(path);
        const QPoint at = column == 1 ? value.center() : QPoint(value.left() / 2, value.center().y());
        return tree()->viewport()->mapToGlobal(at);
    }

    bool keys(const QStringList& names) const { return xdotool(QStringList("key") + names); }

    QScopedPointer<QWidget> window;
    QLineEdit* field;
    DCanvas* canvas;
    DWidgetPropertyBrowser* panel;
    DPropertyTreeProbe probe;
    QList<DGraphicsItemText*> items;
};

// The default locale for one test, given back when it ends.
struct DefaultLocale
{
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::c()); }
};

// Whether the picture holds a square of `side` pixels all of exactly the
// colour.
bool holdsSquareOf(const QImage& picture, const QColor& colour, int side)
{
    const QRgb wanted = colour.rgb();
    for (int top = 0; top + side <= picture.height(); ++top) {
        for (int left = 0; left + side <= picture.width(); ++left) {
            bool all = true;
            for (int y = top; y < top + side && all; ++y) {
                for (int x = left; x < left + side && all; ++x)
                    all = picture.pixel(x, y) == wanted;
            }
            if (all)
                return true;
        }
    }
    return false;
}

} // namespace

class tst_DWidgetPropertyBrowserX11 : public QObject
{
    Q_OBJECT
private slots:
    void editWithTheMouseAndKeyboard_data();
    void editWithTheMouseAndKeyboard();
    void colourCellShowsItsSwatchOnScreen();
};

void tst_DWidgetPropertyBrowserX11::editWithTheMouseAndKeyboard_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("C") << QLocale::c();
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
}

void tst_DWidgetPropertyBrowserX11::editWithTheMouseAndKeyboard()
{
    QFETCH(QLocale, locale);
    const DefaultLocale inLocale(locale);
    Host host;
    QVERIFY(host.show());
    QTreeWidget* tree = host.tree();
    const auto allItems = [&](const std::function<bool(const DGraphicsItemText*)>& holds) {
        return holds(host.items.at(0)) && holds(host.items.at(1));
    };
    const auto editorHasFocus = [&] {
        QWidget* editor = host.probe.openEditorWidget();
        return editor && (editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget()));
    };

    // Tab into the panel (the first row's name is current), down to Stroke
    // Width; F2 opens its editor, Escape drops what was typed.
    QVERIFY(clickAt(host.field->mapToGlobal(host.field->rect().center())));
    QTRY_VERIFY_WITH_TIMEOUT(host.field->hasFocus(), kWait);
    QVERIFY(host.keys({"Tab"}));
    QTRY_VERIFY_WITH_TIMEOUT(tree->hasFocus(), kWait);
    QCOMPARE(tree->currentItem(), host.probe.row("Position"));
    QCOMPARE(tree->currentColumn(), 0);
    QVERIFY(host.keys({"Down", "Down", "Down"}));
    QTRY_COMPARE_WITH_TIMEOUT(tree->currentItem(), host.probe.row("Stroke Width"), kWait);
    QVERIFY(host.keys({"F2"}));
    QTRY_VERIFY_WITH_TIMEOUT(editorHasFocus(), kWait);
    QVERIFY(host.keys({"ctrl+a", "9", "Escape"}));
    QTRY_VERIFY_WITH_TIMEOUT(tree->hasFocus(), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(host.probe.openEditorWidget(), nullptr, kWait);
    QVERIFY(allItems([](const DGraphicsItemText* item) { return item->strokeWidth() == 2; }));

    // Enter opens it; Enter commits.
    QVERIFY(host.keys({"Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(editorHasFocus(), kWait);
    QVERIFY(host.keys({"ctrl+a", "9", "Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(allItems([](const DGraphicsItemText* item) { return item->strokeWidth() == 9; }), kWait);

    // One click on the Fill cell checks it for both items.
    QVERIFY(clickAt(host.onScreen("Fill", 1)));
    QTRY_VERIFY_WITH_TIMEOUT(allItems([](const DGraphicsItemText* item) { return item->isFill(); }), kWait);
    QVERIFY(host.keys({"Escape"}));

    // A number with the locale's decimal point.
    QTRY_VERIFY_WITH_TIMEOUT(tree->hasFocus(), kWait);
    QVERIFY(host.keys({"Down", "Down"}));
    QTRY_COMPARE_WITH_TIMEOUT(tree->currentItem(), host.probe.row("Opacity"), kWait);
    QVERIFY(host.keys({"Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(editorHasFocus(), kWait);
    QAbstractSpinBox* opacity = qobject_cast<QAbstractSpinBox*>(host.probe.openEditorWidget());
    QVERIFY(opacity);
    QCOMPARE(opacity->text(), host.probe.value("Opacity"));
    QVERIFY(host.keys({"ctrl+a"}));
    QVERIFY(xdotool({"type", "0" + QString(locale.decimalPoint()) + "5"}));
    QVERIFY(host.keys({"Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(allItems([](const DGraphicsItemText* item) { return item->opacity() == 0.5; }),
                             kWait);

    // The stroke colour's Red sub-row, opened and edited from the keyboard.
    QTRY_VERIFY_WITH_TIMEOUT(tree->hasFocus(), kWait);
    QVERIFY(host.keys({"Up", "Up", "Up", "Up"}));
    QTRY_COMPARE_WITH_TIMEOUT(tree->currentItem(), host.probe.row("Stroke Color"), kWait);
    QVERIFY(host.keys({"Right", "Down"}));
    QTRY_COMPARE_WITH_TIMEOUT(tree->currentItem(), host.probe.row("Stroke Color/Red"), kWait);
    QVERIFY(host.keys({"Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(editorHasFocus(), kWait);
    QVERIFY(host.keys({"ctrl+a", "2", "0", "0", "Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(
        allItems([](const DGraphicsItemText* item) { return item->strokeColor().red() == 200; }), kWait);

    // The font's Bold sub-row: a click on the Font row's name, Escape, open
    // the row and go down to Bold; Space toggles it.
    QVERIFY(clickAt(host.onScreen("Font", 0)));
    QTRY_COMPARE_WITH_TIMEOUT(tree->currentItem(), host.probe.row("Font"), kWait);
    QVERIFY(host.keys({"Escape"}));
    QTRY_VERIFY_WITH_TIMEOUT(tree->hasFocus(), kWait);
    QVERIFY(host.keys({"Right", "Down", "Down", "Down"}));
    QTRY_COMPARE_WITH_TIMEOUT(tree->currentItem(), host.probe.row("Font/Bold"), kWait);
    QVERIFY(host.keys({"space"}));
    QTRY_VERIFY_WITH_TIMEOUT(allItems([](const DGraphicsItemText* item) { return item->font().bold(); }), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(host.probe.checkState("Font/Bold"), int(Qt::Checked), kWait);
    // And a click on its cell toggles it back.
    QVERIFY(clickAt(host.onScreen("Font/Bold", 1)));
    QTRY_VERIFY_WITH_TIMEOUT(allItems([](const DGraphicsItemText* item) { return !item->font().bold(); }), kWait);
    QVERIFY(allItems([](const DGraphicsItemText* item) { return item->strokeColor().red() == 200; }));
}

void tst_DWidgetPropertyBrowserX11::colourCellShowsItsSwatchOnScreen()
{
    Host host;
    const QColor colour(30, 160, 90);
    const QColor other(200, 40, 120);
    for (DGraphicsItemText* item : host.items) {
        item->setStrokeColor(colour);
        item->setTextColor(other);
    }
    QVERIFY(host.show());
    QScreen* screen = QGuiApplication::primaryScreen();
    const auto cellOnScreen = [&](const QString& path) {
        const QRect cell = host.probe.valueCell(path);
        const QPoint topLeft = host.tree()->viewport()->mapToGlobal(cell.topLeft());
        return screen->grabWindow(0, topLeft.x(), topLeft.y(), cell.width(), cell.height()).toImage();
    };
    // What the screen shows: each colour row its own colour, no other row one.
    QTRY_VERIFY_WITH_TIMEOUT(holdsSquareOf(cellOnScreen("Stroke Color"), colour, 10), kWait);
    QVERIFY(!holdsSquareOf(cellOnScreen("Stroke Color"), other, 10));
    QVERIFY(holdsSquareOf(cellOnScreen("Text Color"), other, 10));
    QVERIFY(!holdsSquareOf(cellOnScreen("Rotation"), colour, 4));

    // The items part: the row reads "*VARIOUS*" and shows no swatch.
    host.items.at(1)->setStrokeColor(other);
    QTRY_VERIFY_WITH_TIMEOUT(!holdsSquareOf(cellOnScreen("Stroke Color"), colour, 10), kWait);
    QVERIFY(!holdsSquareOf(cellOnScreen("Stroke Color"), other, 10));
    QCOMPARE(host.probe.value("Stroke Color"), QStringLiteral("*VARIOUS*"));
}

QTEST_MAIN(tst_DWidgetPropertyBrowserX11)
#include "tst_DWidgetPropertyBrowserX11.moc"
