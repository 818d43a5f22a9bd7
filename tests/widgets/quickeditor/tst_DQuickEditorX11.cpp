// The quick-editor strip on a real X server with a window manager, driven
// with the real mouse and keyboard (xdotool): a canvas in a window that
// stays above everything and bypasses the window manager, as the capture
// overlay does.
#include <QtTest>

#include <QColorDialog>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "DButtonBoardColor.h"
#include "DCanvas.h"
#include "DConfig.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DQuickEditorWidget.h"

namespace {

const int kWait = 15000;

// Runs xdotool with the arguments and lets the event loop run until it is done.
bool xdotool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForStarted(kWait))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < kWait)
        QTest::qWait(10);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Starts xdotool without waiting: for input sent while a nested event loop runs.
void xdotoolDetached(const QStringList& arguments)
{
    QProcess::startDetached(QStringLiteral("xdotool"), arguments);
}

QStringList at(QWidget* widget, const QPoint& local)
{
    const QPoint global = widget->mapToGlobal(local);
    return {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())};
}

// Whether the screen shows the widget's own pixels over most of its area.
bool isOnTop(QWidget* widget)
{
    const QRect area(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                                       area.height()).toImage()
                              .convertToFormat(QImage::Format_RGB32);
    const QImage own = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (screen.size() != own.size())
        return false;
    int same = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x)
            same += screen.pixel(x, y) == own.pixel(x, y);
    return same > own.width() * own.height() * 9 / 10;
}

} // namespace

class tst_DQuickEditorX11 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void editTwoRectanglesWithMouseAndKeyboard();

private:
    QDialog* overlay() const { return m_overlay.data(); }
    QScopedPointer<QDialog> m_overlay;
    DCanvas* m_canvas = nullptr;
};

void tst_DQuickEditorX11::initTestCase()
{
    DConfig::_instance()->m_pSettings->clear();
    m_overlay.reset(new QDialog(nullptr, Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint));
    m_canvas = new DCanvas(m_overlay.data());
    auto* layout = new QVBoxLayout(m_overlay.data());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_canvas);
    // Bypassing the window manager, the window sizes itself to the screen.
    m_overlay->setGeometry(QGuiApplication::primaryScreen()->geometry());
    m_canvas->setCanvasSize(1000, 700);
    m_overlay->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_overlay.data(), kWait));
    m_overlay->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(m_overlay->isActiveWindow(), kWait);
}

void tst_DQuickEditorX11::editTwoRectanglesWithMouseAndKeyboard()
{
    DGraphicsScene* scene = m_canvas->scene();
    QList<DGraphicsItemRectangle*> items;
    for (int i = 0; i < 2; ++i) {
        auto* item = new DGraphicsItemRectangle;
        item->setBoundary(QRectF(100 + 250 * i, 150, 150, 80));
        item->setStrokeWidth(2 + i);
        scene->addPersistenItem(item, false);
        items << item;
    }
    QWidget* viewport = m_canvas->view()->viewport();
    auto onScreen = [&](const QPointF& scenePos) { return m_canvas->view()->mapFromScene(scenePos); };

    // Click the first rectangle's top edge, Control-click the second's
    // bottom edge (the strip now stands beside the first, over the top edge).
    QVERIFY(xdotool(at(viewport, onScreen(QPointF(130, 150))) << "click" << "1"));
    QTRY_COMPARE_WITH_TIMEOUT(m_canvas->selection().count(), 1, kWait);
    QVERIFY(xdotool(at(viewport, onScreen(QPointF(450, 230))) << "keydown" << "ctrl" << "click" << "1"
                                                               << "keyup" << "ctrl"));
    QTRY_COMPARE_WITH_TIMEOUT(m_canvas->selection().count(), 2, kWait);
    DQuickEditorWidget* strip = m_canvas->quickEditor();
    QTRY_VERIFY_WITH_TIMEOUT(strip->isVisible(), kWait);

    // The pen width typed into the strip reaches both rectangles.
    QSpinBox* width = strip->findChild<QSpinBox*>();
    QVERIFY(width);
    QVERIFY(xdotool(at(width, width->rect().center()) << "click" << "1"));
    QTRY_VERIFY_WITH_TIMEOUT(width->hasFocus(), kWait);
    QVERIFY(xdotool({"key", "ctrl+a", "7"}));
    QTRY_COMPARE_WITH_TIMEOUT(items.at(0)->strokeWidth(), 7u, kWait);
    QCOMPARE(items.at(1)->strokeWidth(), 7u);

    // Dragging the first rectangle's right edge hides the strip until the
    // button is let go; then it comes back beside the grown selection.
    const QPoint grip = onScreen(QPointF(250, 190));
    QVERIFY(xdotool(at(viewport, grip)));
    QVERIFY(xdotool({"mousedown", "1"}));
    QVERIFY(xdotool(at(viewport, grip + QPoint(15, 0))));
    QVERIFY(xdotool(at(viewport, grip + QPoint(30, 0))));
    QTRY_VERIFY_WITH_TIMEOUT(!strip->isVisible(), kWait);
    QVERIFY(xdotool({"mouseup", "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(strip->isVisible(), kWait);
    QVERIFY(items.at(0)->sceneBoundary().right() > 260);

    // Hidden during the drag, the width box lost the keyboard: click into it.
    QVERIFY(xdotool(at(width, width->rect().center()) << "click" << "1"));
    QTRY_VERIFY_WITH_TIMEOUT(width->hasFocus(), kWait);

    // The stroke colour's board, then "More Colors...": the dialog shows
    // above the window, takes the keyboard, and gives it back when it closes.
    QToolButton* stroke = qobject_cast<QToolButton*>(strip->tools().value(0));
    QVERIFY(stroke);
    DButtonBoardColor* board = stroke->menu()->findChild<DButtonBoardColor*>();
    QVERIFY(board);
    QToolButton* more = nullptr;
    for (QToolButton* button : board->findChildren<QToolButton*>())
        if (button->text() == "More Colors...")
            more = button;
    QVERIFY(more);

    // The board's menu and the dialog each run an event loop of their own:
    // the steps inside them are taken from a timer. One that cannot be
    // taken closes what is open, so that the test fails instead of hanging.
    bool moreClicked = false;
    bool dialogActive = false;
    bool dialogOnTop = false;
    QElapsedTimer waited;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, [&] {
        const bool late = waited.elapsed() > kWait;
        if (!moreClicked) {
            if (stroke->menu()->isVisible() && more->isVisible()) {
                moreClicked = true;
                waited.restart();
                xdotoolDetached(at(more, more->rect().center()) << "click" << "1");
            } else if (late) {
                poll.stop();
                stroke->menu()->hide();
            }
            return;
        }
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (late) {
                poll.stop();
                stroke->menu()->hide();
            }
            return;
        }
        dialogActive = dialog->isActiveWindow();
        dialogOnTop = dialogActive && isOnTop(dialog);
        if (!dialogOnTop && !late)
            return;   // not yet mapped, focused and painted
        poll.stop();
        dialog->setCurrentColor(QColor(10, 20, 30));
        if (dialogActive)
            xdotoolDetached({"key", "Return"});
        else
            dialog->reject();
    });
    waited.start();
    poll.start();
    // Returns once the menu and the dialog are closed.
    QVERIFY(xdotool(at(stroke, QPoint(stroke->width() - 3, stroke->height() / 2)) << "click" << "1"));
    QVERIFY(moreClicked);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), kWait);
    QVERIFY(dialogActive);
    QVERIFY(dialogOnTop);
    QTRY_COMPARE_WITH_TIMEOUT(items.at(0)->strokeColor(), QColor(10, 20, 30), kWait);
    QCOMPARE(items.at(1)->strokeColor(), QColor(10, 20, 30));

    // The keyboard is back in the window, in the strip's width box.
    QTRY_VERIFY_WITH_TIMEOUT(overlay()->isActiveWindow(), kWait);
    QVERIFY(xdotool({"key", "Up"}));
    QTRY_COMPARE_WITH_TIMEOUT(items.at(0)->strokeWidth(), 8u, kWait);
    QCOMPARE(items.at(1)->strokeWidth(), 8u);
}

QTEST_MAIN(tst_DQuickEditorX11)
#include "tst_DQuickEditorX11.moc"
