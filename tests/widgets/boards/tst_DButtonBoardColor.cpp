#include <QtTest>

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "DButtonBoardColor.h"
#include "DButtonBoardColorWithNoFill.h"
#include "DToolButton.h"

namespace {

const QColor kGray(Qt::gray);

// A window holding the tool button that a board is built on.
struct BoardHost
{
    QWidget window;
    QToolButton* button = new QToolButton(&window);

    BoardHost()
    {
        window.resize(200, 100);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the window was not exposed");
    }
};

// The tool button's own image: plain white, so that the colour bar shows.
QPixmap whiteImage()
{
    QPixmap image(16, 16);
    image.fill(Qt::white);
    return image;
}

QImage iconImage(const QIcon& icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Only a grey outline where the tool button's colour bar goes: no colour.
bool showsAnEmptyBar(const QImage& icon)
{
    return icon.pixelColor(0, 12) == kGray && icon.pixelColor(15, 15) == kGray
           && icon.pixelColor(8, 13) == QColor(Qt::white);
}

QToolButton* buttonWithText(QWidget* board, const QString& text)
{
    for (QToolButton* button : board->findChildren<QToolButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QList<int> checkedSwatches(const DButtonBoard& board)
{
    QList<int> checked;
    for (DToolButton* button : board.buttons())
        if (button->isChecked())
            checked << button->id();
    return checked;
}

QColor colourOf(const QVariant& v)
{
    return v.value<QColor>();
}

// Answers the next modal colour dialog: notes its parent, sets a colour and
// accepts or rejects it.
struct DialogAnswer
{
    QColor colour;
    bool accept = false;
    QWidget* parent = nullptr;
    bool seen = false;

    void arm()
    {
        QTimer::singleShot(0, [this] { answer(); });
    }
    void answer()
    {
        QColorDialog* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, [this] { answer(); });
            return;
        }
        seen = true;
        parent = dialog->parentWidget();
        dialog->setCurrentColor(colour);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    }
};

} // namespace

class tst_DButtonBoardColor : public QObject
{
    Q_OBJECT
private slots:
    void seventyColours_data();
    void seventyColours();
    void boardReadsTitleGridCurrentRow();
    void currentColourChecksItsSwatch_data();
    void currentColourChecksItsSwatch();
    void choosingASwatchChecksItAlone();
    void currentColourButtonChoosesTheCurrentColour();
    void noFillEmitsTransparentAndUnchecksAll();
    void invalidValueUnchecksAllAndEmitsNothing();
    void cancelledDialogChangesNothing();
    void acceptedDialogBecomesTheCurrentColour();
    void dialogColourOfASwatchChecksTheSwatchAlone();
    void toolButtonBarCoversTheBottomQuarter_data();
    void toolButtonBarCoversTheBottomQuarter();
    void swatchIcons();
    void toolButtonFrames();
};

void tst_DButtonBoardColor::seventyColours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("hue");   // degrees; ignored for greys
    QTest::addColumn<double>("saturation");
    QTest::addColumn<double>("value");

    // Row 0: the base colours.
    QTest::newRow("white") << 0 << 0.0 << 0.0 << 1.0;
    QTest::newRow("black") << 1 << 0.0 << 0.0 << 0.0;
    QTest::newRow("dark blue") << 3 << 213.0 << 0.75 << 0.49;
    QTest::newRow("orange") << 9 << 27.0 << 0.72 << 0.97;
    // Row 1: the palest shades; a faint base colour is lifted to 0.1.
    QTest::newRow("row 1, cream") << 12 << 51.0 << 0.1 << 0.95;
    QTest::newRow("row 1, dark blue") << 13 << 213.0 << 0.75 / 6 << 0.45;
    QTest::newRow("row 1, red") << 15 << 2.0 << 0.1 << 0.95;
    // Row 5: the most saturated shades.
    QTest::newRow("row 5, cream") << 52 << 51.0 << 0.1 + 4 * 0.09 << 0.55;
    QTest::newRow("row 5, dark blue") << 53 << 213.0 << 0.75 / 6 + 4 * 0.75 / 3.5 << 0.05;
    QTest::newRow("row 5, orange") << 59 << 27.0 << 0.72 / 6 + 4 * 0.72 / 3.5 << 0.55;
    // Row 6: the strong colours.
    QTest::newRow("row 6, first") << 60 << 0.0 << 1.0 << 0.75;
    QTest::newRow("row 6, green") << 64 << 89.0 << 0.62 << 0.82;
    QTest::newRow("row 6, last") << 69 << 274.0 << 0.70 << 0.63;
    // The white column runs through light greys, the black one through dark.
    for (int k = 0; k < 5; ++k) {
        QTest::newRow(qPrintable(QString("white column %1").arg(k + 1))) << 10 * (k + 1) << 0.0 << 0.0
                                                                      << 0.95 - 0.1 * k;
        QTest::newRow(qPrintable(QString("black column %1").arg(k + 1))) << 10 * (k + 1) + 1 << 0.0 << 0.0
                                                                      << 0.45 - 0.1 * k;
    }
}

void tst_DButtonBoardColor::seventyColours()
{
    QFETCH(int, index);
    QFETCH(double, hue);
    QFETCH(double, saturation);
    QFETCH(double, value);
    const QVector<QVariant> colours = DButtonBoardColor::colors();
    QCOMPARE(colours.size(), 70);
    const QColor c = colourOf(colours.at(index));
    QVERIFY(c.isValid());
    qreal h = 0, s = 0, v = 0, a = 0;
    c.getHsvF(&h, &s, &v, &a);
    const double tolerance = 0.002;
    QVERIFY2(qAbs(s - saturation) < tolerance, qPrintable(QString("saturation %1").arg(s)));
    QVERIFY2(qAbs(v - value) < tolerance, qPrintable(QString("value %1").arg(v)));
    QCOMPARE(a, 1.0);
    if (saturation > 0)
        QVERIFY2(qAbs(h * 360 - hue) < 0.5, qPrintable(QString("hue %1").arg(h * 360)));
}

void tst_DButtonBoardColor::boardReadsTitleGridCurrentRow()
{
    BoardHost host;
    auto* board = new DButtonBoardColorWithNoFill(host.button, QColor(1, 2, 3), whiteImage());
    QCOMPARE(host.button->menu(), board->menu());
    QCOMPARE(host.button->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(board->menu()->parent(), static_cast<QObject*>(host.button));

    // Top to bottom: the bold title, the grid, "No Fill", the current colour.
    QVBoxLayout* main = qobject_cast<QVBoxLayout*>(board->layout());
    QVERIFY(main);
    QCOMPARE(main->count(), 4);
    QLabel* title = qobject_cast<QLabel*>(main->itemAt(0)->widget());
    QVERIFY(title);
    QCOMPARE(title->text(), QString("Standard Colors"));
    QVERIFY(title->font().bold());
    QGridLayout* grid = qobject_cast<QGridLayout*>(main->itemAt(1)->layout());
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 7);
    QCOMPARE(grid->columnCount(), 10);
    QCOMPARE(grid->itemAtPosition(1, 3)->widget(), static_cast<QWidget*>(board->buttons().at(13)));
    QCOMPARE(grid->itemAtPosition(6, 9)->widget(), static_cast<QWidget*>(board->buttons().at(69)));
    QCOMPARE(board->buttons().at(13)->size(), QSize(13, 13));
    QCOMPARE(board->buttons().at(13)->toolTip(), colourOf(board->data().at(13)).name());
    QVERIFY(main->itemAt(2)->layout()->indexOf(buttonWithText(board, "No Fill")) >= 0);
    QLayout* currentRow = main->itemAt(3)->layout();
    QCOMPARE(currentRow->itemAt(0)->widget(), static_cast<QWidget*>(board->currentColorButton()));
    QToolButton* more = buttonWithText(board, "More Colors...");
    QVERIFY(more);
    QCOMPARE(currentRow->itemAt(1)->widget(), static_cast<QWidget*>(more));
    QVERIFY(!more->icon().isNull());

    // The crossed-out swatch beside "No Fill".
    QLabel* crossed = qobject_cast<QLabel*>(main->itemAt(2)->layout()->itemAt(0)->widget());
    QVERIFY(crossed);
    const QImage swatch = crossed->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(swatch.size(), QSize(13, 13));
    QCOMPARE(swatch.pixelColor(6, 6), kGray);
    QCOMPARE(swatch.pixelColor(3, 9).alpha(), 0);
}

void tst_DButtonBoardColor::currentColourChecksItsSwatch_data()
{
    QTest::addColumn<QColor>("current");
    QTest::addColumn<int>("swatch");   // -1: none
    // Item colours are RGB; the swatches are made in HSV.
    const QVector<QVariant> colours = DButtonBoardColor::colors();
    QTest::newRow("RGB of a base colour") << QColor::fromRgba(colourOf(colours.at(3)).rgba()) << 3;
    QTest::newRow("RGB of a shade") << QColor::fromRgba(colourOf(colours.at(27)).rgba()) << 27;
    QTest::newRow("RGB of a strong colour") << QColor::fromRgba(colourOf(colours.at(66)).rgba()) << 66;
    QTest::newRow("white") << QColor(Qt::white) << 0;
    QTest::newRow("another colour") << QColor(1, 2, 3) << -1;
    QTest::newRow("a swatch, half transparent") << QColor::fromRgba(colourOf(colours.at(3)).rgba() & 0x80ffffff)
                                                << -1;
}

void tst_DButtonBoardColor::currentColourChecksItsSwatch()
{
    QFETCH(QColor, current);
    QFETCH(int, swatch);
    BoardHost host;
    auto* board = new DButtonBoardColor(host.button, current, whiteImage());
    QCOMPARE(checkedSwatches(*board), swatch < 0 ? QList<int>() : QList<int>({swatch}));
    QCOMPARE(board->getButton(current), swatch < 0 ? nullptr : board->buttons().at(swatch));
    QCOMPARE(board->currentColorButton()->isChecked(), swatch < 0);
    QVERIFY(board->currentColorButton()->isCheckable());

    // Choosing the current colour again checks the same one button.
    if (swatch >= 0)
        board->buttons().at(swatch)->click();
    else
        board->currentColorButton()->click();
    QCOMPARE(checkedSwatches(*board), swatch < 0 ? QList<int>() : QList<int>({swatch}));
    QCOMPARE(board->currentColorButton()->isChecked(), swatch < 0);
}

void tst_DButtonBoardColor::choosingASwatchChecksItAlone()
{
    BoardHost host;
    auto* board = new DButtonBoardColor(host.button, QColor(1, 2, 3), whiteImage());
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);
    board->menu()->popup(host.window.mapToGlobal(QPoint(0, 0)));
    QTRY_VERIFY(board->menu()->isVisible());

    DToolButton* swatch = board->buttons().at(64);
    QTest::mouseClick(swatch, Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(colourOf(chosen.at(0).at(0)).rgba(), colourOf(board->data().at(64)).rgba());
    QCOMPARE(checkedSwatches(*board), QList<int>({64}));
    QVERIFY(!board->currentColorButton()->isChecked());
    QVERIFY(!board->menu()->isVisible());
    const QImage icon = iconImage(host.button->icon(), 16);
    QCOMPARE(icon.pixelColor(8, 13).rgba(), colourOf(board->data().at(64)).rgba());
    // The current colour is only changed by the dialog.
    QCOMPARE(colourOf(board->current()), QColor(1, 2, 3));

    // Choosing the checked swatch again keeps it checked.
    QTest::mouseClick(swatch, Qt::LeftButton);
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(checkedSwatches(*board), QList<int>({64}));
}

void tst_DButtonBoardColor::currentColourButtonChoosesTheCurrentColour()
{
    BoardHost host;
    auto* board = new DButtonBoardColor(host.button, QColor(1, 2, 3), whiteImage());
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);
    board->buttons().at(5)->click();
    QVERIFY(!board->currentColorButton()->isChecked());

    board->currentColorButton()->click();
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(colourOf(chosen.last().at(0)), QColor(1, 2, 3));
    QVERIFY(checkedSwatches(*board).isEmpty());
    QVERIFY(board->currentColorButton()->isChecked());
    // Clicking it while checked leaves it checked.
    board->currentColorButton()->click();
    QVERIFY(board->currentColorButton()->isChecked());
}

void tst_DButtonBoardColor::noFillEmitsTransparentAndUnchecksAll()
{
    BoardHost host;
    const QVector<QVariant> colours = DButtonBoardColor::colors();
    auto* board = new DButtonBoardColorWithNoFill(host.button, colours.at(20), whiteImage());
    QCOMPARE(checkedSwatches(*board), QList<int>({20}));
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);

    buttonWithText(board, "No Fill")->click();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(colourOf(chosen.at(0).at(0)).alpha(), 0);
    QVERIFY(checkedSwatches(*board).isEmpty());
    QVERIFY(!board->currentColorButton()->isChecked());
    QVERIFY(showsAnEmptyBar(iconImage(host.button->icon(), 16)));
}

void tst_DButtonBoardColor::invalidValueUnchecksAllAndEmitsNothing()
{
    BoardHost host;
    const QVector<QVariant> colours = DButtonBoardColor::colors();
    auto* board = new DButtonBoardColor(host.button, colours.at(7), whiteImage());
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);
    board->finalSelectedData(QVariant());
    QCOMPARE(chosen.count(), 0);
    QVERIFY(checkedSwatches(*board).isEmpty());
    QVERIFY(!board->currentColorButton()->isChecked());
    // No colour is shown as none, not as black.
    QVERIFY(showsAnEmptyBar(iconImage(host.button->icon(), 16)));
}

void tst_DButtonBoardColor::cancelledDialogChangesNothing()
{
    BoardHost host;
    const QVector<QVariant> colours = DButtonBoardColor::colors();
    auto* board = new DButtonBoardColor(host.button, colours.at(33), whiteImage());
    const QImage iconBefore = iconImage(host.button->icon(), 16);
    const QImage currentIconBefore = iconImage(board->currentColorButton()->icon(), 13);
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);

    DialogAnswer answer;
    answer.colour = QColor(10, 20, 30);
    answer.accept = false;
    answer.arm();
    buttonWithText(board, "More Colors...")->click();
    QVERIFY(answer.seen);
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(colourOf(board->current()).rgba(), colourOf(colours.at(33)).rgba());
    QCOMPARE(checkedSwatches(*board), QList<int>({33}));
    QVERIFY(!board->currentColorButton()->isChecked());
    QCOMPARE(iconImage(host.button->icon(), 16), iconBefore);
    QCOMPARE(iconImage(board->currentColorButton()->icon(), 13), currentIconBefore);
}

void tst_DButtonBoardColor::acceptedDialogBecomesTheCurrentColour()
{
    BoardHost host;
    auto* board = new DButtonBoardColor(host.button, QColor(Qt::white), whiteImage());
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));

    DialogAnswer answer;
    answer.colour = QColor(10, 20, 30);
    answer.accept = true;
    answer.arm();
    buttonWithText(board, "More Colors...")->click();
    QVERIFY(answer.seen);
    // The dialog belongs to the window of the tool button, which has the
    // keyboard again once the dialog is gone.
    QCOMPARE(answer.parent, static_cast<QWidget*>(&host.window));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&host.window));

    QCOMPARE(chosen.count(), 1);
    QCOMPARE(colourOf(chosen.at(0).at(0)).rgba(), QColor(10, 20, 30).rgba());
    QCOMPARE(colourOf(board->current()).rgba(), QColor(10, 20, 30).rgba());
    QVERIFY(checkedSwatches(*board).isEmpty());
    QVERIFY(board->currentColorButton()->isChecked());
    QCOMPARE(iconImage(board->currentColorButton()->icon(), 13).pixelColor(6, 6), QColor(10, 20, 30));
    QCOMPARE(iconImage(host.button->icon(), 16).pixelColor(8, 13), QColor(10, 20, 30));
}

// A colour from the dialog that a swatch shows checks that swatch alone, as
// choosing the swatch would: one check on the board, also when the current
// colour is chosen again.
void tst_DButtonBoardColor::dialogColourOfASwatchChecksTheSwatchAlone()
{
    BoardHost host;
    const QVector<QVariant> colours = DButtonBoardColor::colors();
    auto* board = new DButtonBoardColor(host.button, QColor(1, 2, 3), whiteImage());
    QVERIFY(board->currentColorButton()->isChecked());
    QSignalSpy chosen(board, &DButtonBoard::dataSelected);

    DialogAnswer answer;
    answer.colour = colourOf(colours.at(12));
    answer.accept = true;
    answer.arm();
    buttonWithText(board, "More Colors...")->click();
    QVERIFY(answer.seen);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(colourOf(board->current()).rgba(), colourOf(colours.at(12)).rgba());
    QCOMPARE(checkedSwatches(*board), QList<int>({12}));
    QVERIFY(!board->currentColorButton()->isChecked());

    board->currentColorButton()->click();
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(checkedSwatches(*board), QList<int>({12}));
    QVERIFY(!board->currentColorButton()->isChecked());
}

void tst_DButtonBoardColor::toolButtonBarCoversTheBottomQuarter_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::newRow("opaque") << QColor(200, 30, 40);
    QTest::newRow("swatch in HSV") << colourOf(DButtonBoardColor::colors().at(64));
}

void tst_DButtonBoardColor::toolButtonBarCoversTheBottomQuarter()
{
    QFETCH(QColor, colour);
    BoardHost host;
    auto* board = new DButtonBoardColor(host.button, colour, whiteImage());
    Q_UNUSED(board);
    const QImage icon = iconImage(host.button->icon(), 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb expected = y >= 12 ? colour.rgba() : QColor(Qt::white).rgba();
            QVERIFY2(icon.pixel(x, y) == expected, qPrintable(QString("at %1, %2").arg(x).arg(y)));
        }
}

void tst_DButtonBoardColor::swatchIcons()
{
    BoardHost host;
    auto* board = new DButtonBoardColor(host.button, QColor(Qt::white), whiteImage());
    const QImage red = iconImage(board->createButtonIcon(QColor(Qt::red)), 13);
    QCOMPARE(red.size(), QSize(13, 13));
    for (const QPoint& edge : {QPoint(0, 0), QPoint(12, 0), QPoint(0, 12), QPoint(12, 12), QPoint(6, 0)})
        QCOMPARE(red.pixelColor(edge), kGray);
    QCOMPARE(red.pixelColor(6, 6), QColor(Qt::red));
    QCOMPARE(red.pixelColor(5, 5), QColor(Qt::red));   // no diagonal

    // A colour with alpha 0: crossed out from the top-left corner.
    const QImage none = iconImage(board->createButtonIcon(QColor(0, 0, 255, 0)), 13);
    for (int i = 1; i < 12; ++i)
        QCOMPARE(none.pixelColor(i, i), kGray);
    QCOMPARE(none.pixelColor(3, 9).alpha(), 0);
}

void tst_DButtonBoardColor::toolButtonFrames()
{
    QWidget window;
    DToolButton* button = new DToolButton(&window);
    button->setFixedSize(16, 16);
    button->setCheckable(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(button->id(), -1);
    button->setId(7);
    QSignalSpy clicked(button, QOverload<int>::of(&DToolButton::clicked));
    button->click();
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 7);

    const QColor outer(239, 72, 16);
    const QColor inner(255, 226, 148);
    QVERIFY(button->isChecked());
    QImage face = button->grab().toImage();
    QCOMPARE(face.pixelColor(0, 0), outer);
    QCOMPARE(face.pixelColor(15, 15), outer);
    QCOMPARE(face.pixelColor(1, 1), inner);
    QCOMPARE(face.pixelColor(14, 8), inner);

    // Under the mouse: an orange frame at 0.8 opacity, whatever the state.
    button->setChecked(false);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    QVERIFY(button->isHovered());
    face = button->grab().toImage();
    const QColor hover = face.pixelColor(0, 8);
    QVERIFY2(qAbs(hover.red() - 242) < 20 && qAbs(hover.green() - 148) < 30 && hover.blue() < 110,
             qPrintable(hover.name()));
    QVERIFY(face.pixelColor(1, 8) != outer);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    face = button->grab().toImage();
    QVERIFY(face.pixelColor(0, 8) != hover);
    QVERIFY(face.pixelColor(0, 0) != outer);
}

QTEST_MAIN(tst_DButtonBoardColor)
#include "tst_DButtonBoardColor.moc"
