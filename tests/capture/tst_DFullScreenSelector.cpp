// The capture overlay offscreen: its form, the capture and editing states with
// their slides, the two tool sets, selection-dependent buttons, the drawing
// tools, and the output roads with their failures.
#include <QtTest>

#include <algorithm>

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QScriptEngine>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QHBoxLayout>
#include <QPointer>
#include <QToolButton>

#include "DModalDriver.h"
#include "DUnwritableFolder.h"
#include "DConfigCapture.h"
#include "DCreatePrompt.h"
#include "DDialogPromptTarget.h"
#include "DGraphicsBackgroundColor.h"
#include "DGraphicsBackgroundImage.h"
#include "DGraphicsItemRectangleWindow.h"
#include "DGraphicsLayer.h"
#include "DHostileOverlayScript.h"
#include "DHelpBalloon.h"
#include "DNoiseImage.h"
#include "DOverlayDriver.h"
#include "DQuickEditorWidget.h"
#include "DScript.h"
#include "DWidgetData.h"

namespace {

// The region most tests capture: dragged from its top-left to its bottom-right pixel.
const QRect kPiece(100, 120, 201, 161);

// The running prompt of the scene, null when none runs.
DCreatePrompt* runningPrompt(DGraphicsScene* scene)
{
    for (const DEventFilterPointer& filter : scene->eventFilterList()) {
        auto* prompt = qobject_cast<DCreatePrompt*>(filter.data());
        if (prompt && prompt->isActive())
            return prompt;
    }
    return nullptr;
}

bool isWhite(DGraphicsScene* scene)
{
    auto* color = dynamic_cast<DGraphicsBackgroundColor*>(scene->background());
    return color && color->color() == QColor(Qt::white);
}

bool isDimmedScreenshot(DGraphicsScene* scene, const QPixmap& dimmed)
{
    auto* image = dynamic_cast<DGraphicsBackgroundImage*>(scene->background());
    return image && image->pixmap().cacheKey() == dimmed.cacheKey();
}

// Notes, in order, when each bar is shown and hidden, and whether the page was
// white at that moment.
class BarLog : public QObject
{
public:
    BarLog(DOverlayDriver& driver)
        : m_driver(driver)
    {
        driver.ui()->widgetMainTool->installEventFilter(this);
        driver.ui()->widgetSubTool->installEventFilter(this);
    }
    QStringList steps;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
            return false;
        QString step = watched == m_driver.ui()->widgetMainTool ? "main" : "sub";
        step += event->type() == QEvent::Show ? "+" : "-";
        if (isWhite(m_driver.scene()))
            step += " white";
        steps << step;
        return false;
    }

private:
    DOverlayDriver& m_driver;
};

// The objects whose deletion the script engine refused, by name, while a
// collector is installed.
QStringList s_refusedDeletions;
QtMessageHandler s_previousHandler = nullptr;

void collectRefusals(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QRegularExpression refusal("^Refused to delete \\S+ \"([^\"]*)\"");
    const QRegularExpressionMatch match = refusal.match(message);
    if (match.hasMatch())
        s_refusedDeletions << match.captured(1);
    s_previousHandler(type, context, message);
}

// Collects refusals for as long as it lives.
struct RefusalCollector
{
    RefusalCollector()
    {
        s_refusedDeletions.clear();
        s_previousHandler = qInstallMessageHandler(collectRefusals);
    }
    ~RefusalCollector() { qInstallMessageHandler(s_previousHandler); }
};

} // namespace

class tst_DFullScreenSelector : public QObject
{
    Q_OBJECT

private:
    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }
    QSize screenSize() const { return QGuiApplication::primaryScreen()->geometry().size(); }

    // A whole-screen tree without windows.
    DWidgetData screenTree() const
    {
        DWidgetData tree;
        tree.rectangle = QRect(QPoint(0, 0), screenSize());
        return tree;
    }

    // Opens the overlay on the noise without its modal loop, for the tests
    // that follow its states step by step; a Region capture is running.
    void openOverlay(DFullScreenSelector& overlay)
    {
        overlay.initialize(m_shot);
        overlay.addCapture();
    }

    // Drags the region and waits until the editing state is reached.
    void captureRegion(DOverlayDriver& driver, const QRect& area)
    {
        driver.drag(area.topLeft(), area.bottomRight());
        QTRY_VERIFY(driver.isIn(driver.ui()->widgetMainTool));
        QTRY_VERIFY(isWhite(driver.scene()));
    }

    // The overlay script that the next overlay runs; removed again by the
    // caller once that overlay is made.
    static bool writeOverlayScript(const QByteArray& text)
    {
        QFile script(overlayScriptPath());
        return QDir(DScript::path()).mkpath(".") && script.open(QIODevice::WriteOnly)
               && script.write(text) == text.size();
    }
    static QString overlayScriptPath() { return DScript::path() + "overlay.js"; }

    // The overlay in its editing state with one piece: kPiece, selected.
    void openWithPiece(DFullScreenSelector& overlay, DOverlayDriver& driver)
    {
        openOverlay(overlay);
        captureRegion(driver, kPiece);
    }

    // Checks a toggle of the main bar and waits until the sub-tool bar is in.
    void showSubToolBar(DOverlayDriver& driver, QToolButton* toggle)
    {
        toggle->click();
        QTRY_VERIFY(driver.isIn(driver.ui()->widgetSubTool));
    }

    // What a saved or copied capture of `area` must hold: the screen's own
    // pixels inside the piece's outline.
    void verifyPiece(const QImage& image, const QRect& area)
    {
        QCOMPARE(image.size(), area.size());
        const int outline = 2;
        const QRect inside = area.adjusted(outline, outline, -outline, -outline);
        QCOMPARE(pixelsDiffering(m_noise, inside, image, QPoint(outline, outline)), 0);
    }

    QImage m_noise;
    QPixmap m_shot;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        m_noise = noiseImage(screenSize(), 20101);
        m_shot = QPixmap::fromImage(m_noise);
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        settings()->clear();
        settings()->setValue("AutomaticSaveFolder", m_dir.path());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void formAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("capture rectangle") << "toolButtonCaptureRectangle" << "Rectangle"
            << "Captures any user-defined rectangular region. This is good option\nfor capturing areas that are "
               "not outlined by borders or edges that\nZorvelshot can find.";
        QTest::newRow("capture window") << "toolButtonCaptureWindow" << "Window"
                                        << "Captures all or part of any window you specify. ";
        QTest::newRow("draw arrow") << "toolButtonDrawArrow" << "Arrow" << "";
        QTest::newRow("draw text") << "toolButtonDrawText" << "Text" << "";
        QTest::newRow("capture more") << "toolButtonCapture" << "..." << "Add more captured areas";
        QTest::newRow("delete") << "toolButtonDelete" << "..." << "Delete selected items";
        QTest::newRow("cancel") << "toolButtonCancel" << "..." << "Discard and exit";
    }

    void formAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        DFullScreenSelector overlay;
        auto* button = overlay.findChild<QToolButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), text);
        QCOMPARE(button->toolTip(), toolTip);
        QVERIFY(!button->icon().isNull());
        QVERIFY(!button->icon().pixmap(32, 32).isNull());
    }

    void dialogSetUp()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        QCOMPARE(overlay.objectName(), QString("editor"));
        QCOMPARE(overlay.windowTitle(), QString("Zorvel is Capturing"));
        QVERIFY(overlay.isModal());
        QVERIFY(overlay.windowFlags() & Qt::X11BypassWindowManagerHint);
        QVERIFY(overlay.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!driver.ui()->canvas->isRulerVisible());
        QCOMPARE(driver.ui()->toolButtonDelete->shortcut(), QKeySequence(QKeySequence::Delete));
        QVERIFY(!driver.ui()->toolButtonDelete->isEnabled());
        QCOMPARE(overlay.selectionTools(), QList<QToolButton*>({driver.ui()->toolButtonDelete}));
        QVERIFY(driver.ui()->toolButtonCapturePolygon->toolTip().contains("polygon region. This is good option"));
        // The layout order the bars show.
        QStringList mainOrder;
        for (int i = 0; i < driver.ui()->horizontalLayout->count(); ++i)
            mainOrder << driver.ui()->horizontalLayout->itemAt(i)->widget()->objectName();
        QCOMPARE(mainOrder, QStringList({"toolButtonCapture", "toolButtonDraw", "toolButtonDelete", "toolButtonPrint",
                                         "toolButtonSave", "toolButtonClipboard", "toolButtonCancel"}));
        QCOMPARE(driver.ui()->horizontalLayout_4->count(), 9);
        QCOMPARE(driver.ui()->widgetMainTool->styleSheet(),
                 QString("QWidget#widgetMainTool { background-color: qlineargradient(spread:pad, x1:0, y1:1, x2:0, "
                         "y2:0, stop:0 rgba(182, 195, 203, 255), stop:1 rgba(222, 230, 233, 255));}"));
        QCOMPARE(driver.ui()->frameTop->styleSheet(), QString("background-color: rgb(185, 196, 202);"));
        QCOMPARE(sToolButtonStyleMainTool,
                 QString("QToolButton {    padding: 0 5px 0 5px;    border-width: 0 1px 0 1px;    border-style: "
                         "solid;    border-color: silver;}QToolButton:hover:!pressed, QToolButton:checked {    "
                         "background: #444 url(:/images/buttonbk.png) 0 100px;}"));
    }

    void initializeCoversTheScreenWithTheDimmedShot()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        overlay.initialize(m_shot);
        // Where a frame would go is the platform's business; X11 tests see the place.
        QCOMPARE(overlay.size(), screenSize());
        QVERIFY(overlay.isVisible());
        QCOMPARE(driver.ui()->canvas->geometry(), overlay.rect());
        QCOMPARE(driver.scene()->sceneRect(), QRectF(QPointF(0, 0), screenSize()));
        for (QWidget* bar : {driver.ui()->widgetMainTool, driver.ui()->widgetSubTool}) {
            QVERIFY(driver.isOut(bar));
            QCOMPARE(bar->geometry().topLeft(), QPoint(0, overlay.height()));
            QCOMPARE(bar->width(), overlay.width());
        }
        QCOMPARE(driver.ui()->toolButtonSave->styleSheet(), sToolButtonStyleMainTool);
        QCOMPARE(driver.ui()->toolButtonDrawLine->styleSheet(), sToolButtonStyleSubTool);
        // A 60 % black veil over every pixel.
        const QImage dimmed = overlay.dimmedScreenshot().toImage();
        QCOMPARE(dimmed.size(), m_noise.size());
        for (const QPoint& p : {QPoint(0, 0), QPoint(17, 311), QPoint(screenSize().width() - 1, 5)}) {
            const QColor before = m_noise.pixelColor(p);
            const QColor after = dimmed.pixelColor(p);
            QVERIFY2(qAbs(after.red() - qRound(before.red() * 0.4)) <= 1, qPrintable(QString::number(after.red())));
            QVERIFY(qAbs(after.green() - qRound(before.green() * 0.4)) <= 1);
            QVERIFY(qAbs(after.blue() - qRound(before.blue() * 0.4)) <= 1);
        }
        // The veil never touches the screenshot itself.
        QCOMPARE(pixelsDiffering(m_noise, m_noise.rect(), overlay.screenshot().toImage(), QPoint()), 0);
    }

    void fullScreenReturnsAtOnce()
    {
        DFullScreenSelector overlay;
        QCOMPARE(overlay.capture(DD::FullScreen, m_shot, screenTree()), 0);
        QVERIFY(!overlay.isVisible());
    }

    void firstCaptureBringsTheMainBarAlone()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        BarLog log(driver);
        openOverlay(overlay);
        DGraphicsLayer* layer = driver.scene()->activeLayer();
        QVERIFY(!layer->isVisible());
        QVERIFY(isDimmedScreenshot(driver.scene(), overlay.dimmedScreenshot()));
        QVERIFY(qobject_cast<DCreatePrompt*>(runningPrompt(driver.scene())));
        QTRY_VERIFY(driver.ui()->canvas->view()->hasFocus());

        captureRegion(driver, kPiece);
        QVERIFY(layer->isVisible());
        QCOMPARE(layer->items().count(), 1);
        QCOMPARE(layer->items().first()->metaObject()->className(), "DGraphicsItemRectangleWindow");
        QVERIFY(driver.isOut(driver.ui()->widgetSubTool));
        // The page stays dimmed while the bar slides in; white once it is in.
        QCOMPARE(log.steps, QStringList({"main+"}));
        QVERIFY(!overlay.restoreSubTools());
    }

    void bothBarsSlideOutAndBackInOrder()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        openWithPiece(overlay, driver);
        showSubToolBar(driver, driver.ui()->toolButtonCapture);

        BarLog log(driver);
        driver.ui()->toolButtonCapturePolygon->click();
        QTRY_VERIFY(runningPrompt(driver.scene()));
        // The main bar goes first, then the sub-tool bar; the prompt starts
        // once both are away, on the dimmed shot, with the pieces hidden.
        QCOMPARE(log.steps, QStringList({"main- white", "sub- white"}));
        QVERIFY(overlay.restoreSubTools());
        QCOMPARE(settings()->value("RegionType").toInt(), 1);
        QVERIFY(isDimmedScreenshot(driver.scene(), overlay.dimmedScreenshot()));
        QVERIFY(!driver.scene()->activeLayer()->isVisible());

        log.steps.clear();
        for (const QPointF& p : {QPointF(400, 100), QPointF(500, 120), QPointF(480, 220)})
            driver.click(p);
        driver.click(QPointF(420, 210), Qt::RightButton);
        QTRY_VERIFY(driver.isIn(driver.ui()->widgetMainTool));
        QTRY_VERIFY(isWhite(driver.scene()));
        // The sub-tool bar first, with the capture set still up; the page
        // turns white only once the main bar is in.
        QCOMPARE(log.steps, QStringList({"sub+", "main+"}));
        QVERIFY(driver.isIn(driver.ui()->widgetSubTool));
        QVERIFY(driver.ui()->toolButtonCaptureWindow->isVisibleTo(&overlay));
        QCOMPARE(driver.scene()->activeLayer()->items().count(), 2);
    }

    void switchingBetweenTheTwoSets()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        openWithPiece(overlay, driver);
        auto* ui = driver.ui();
        QWidget* subBar = ui->widgetSubTool;

        showSubToolBar(driver, ui->toolButtonCapture);
        QVERIFY(ui->toolButtonCaptureRectangle->isVisibleTo(&overlay));
        QVERIFY(!ui->toolButtonDrawLine->isVisibleTo(&overlay));

        // The other toggle: the bar goes down behind the main bar, changes
        // its set while hidden, and comes back; one toggle stays checked.
        BarLog log(driver);
        ui->toolButtonDraw->click();
        QVERIFY(!ui->toolButtonCapture->isChecked());
        QVERIFY(ui->toolButtonDraw->isChecked());
        QTRY_COMPARE(log.steps, QStringList({"sub- white", "sub+ white"}));
        QTRY_VERIFY(driver.isIn(subBar));
        QVERIFY(!ui->toolButtonCaptureRectangle->isVisibleTo(&overlay));
        for (QToolButton* draw : {ui->toolButtonDrawLine, ui->toolButtonDrawArrow, ui->toolButtonDrawText})
            QVERIFY(draw->isVisibleTo(&overlay));

        // Unchecking the checked toggle takes the bar away for good.
        ui->toolButtonDraw->click();
        QTRY_VERIFY(driver.isOut(subBar));
        QTest::qWait(2 * DFullScreenSelector::SlideDuration);
        QVERIFY(driver.isOut(subBar));
        QVERIFY(!ui->toolButtonCapture->isChecked() && !ui->toolButtonDraw->isChecked());
    }

    void selectionDependentButtons()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        auto* dependent = new QToolButton;
        auto* independent = new QToolButton;
        auto* deletedLater = new QToolButton;
        overlay.addMainTool(nullptr, true);
        overlay.addMainTool(dependent, true);
        overlay.addMainTool(independent);
        overlay.addMainTool(deletedLater, true);
        QCOMPARE(dependent->parentWidget(), driver.ui()->widgetMainTool);
        QCOMPARE(dependent->styleSheet(), sToolButtonStyleMainTool);
        QVERIFY(!dependent->isEnabled());
        QVERIFY(independent->isEnabled());
        // Each lands just before Cancel, after the ones added earlier.
        QHBoxLayout* row = driver.ui()->horizontalLayout;
        QCOMPARE(row->count(), 10);
        QCOMPARE(row->indexOf(dependent), 6);
        QCOMPARE(row->indexOf(independent), 7);
        QCOMPARE(row->indexOf(driver.ui()->toolButtonCancel), 9);
        // A button a script deletes is left alone from then on.
        delete deletedLater;

        openWithPiece(overlay, driver);
        QVERIFY(driver.ui()->toolButtonDelete->isEnabled());
        QVERIFY(dependent->isEnabled());

        driver.scene()->activeLayer()->items().first()->setSelected(false);
        QTRY_VERIFY(!driver.ui()->toolButtonDelete->isEnabled());
        QVERIFY(!dependent->isEnabled());
        QVERIFY(independent->isEnabled());
        QCOMPARE(overlay.selectionTools(), QList<QToolButton*>({driver.ui()->toolButtonDelete, dependent}));
    }

    // Only a button of no window, or of the overlay itself, joins the bar: a
    // button of another window (the main window's Region button, say) stays
    // where it is, and lives on when the overlay goes.
    void addMainToolTakesNoButtonOfAnotherWindow()
    {
        QWidget mainWindow;
        mainWindow.setObjectName("elsewhere");
        QHBoxLayout* row = new QHBoxLayout(&mainWindow);
        auto* region = new QToolButton(&mainWindow);
        region->setObjectName("toolButtonModeRegion");
        row->addWidget(region);
        DSingleton<DScript>::instance()->addObjectToScript(&mainWindow);
        QVERIFY(writeOverlayScript("editor.addMainTool(elsewhere.toolButtonModeRegion, true);\n"));
        QPointer<QToolButton> watched(region);
        {
            QTest::ignoreMessage(QtWarningMsg, "addMainTool: QToolButton \"toolButtonModeRegion\" belongs to "
                                               "another window and stays there.");
            DFullScreenSelector overlay;
            QFile::remove(overlayScriptPath());
            DOverlayDriver driver(overlay);
            QCOMPARE(region->parentWidget(), &mainWindow);
            QCOMPARE(row->indexOf(region), 0);
            QCOMPARE(driver.ui()->horizontalLayout->count(), 7);
            QVERIFY(!overlay.selectionTools().contains(region));
            QVERIFY(region->isEnabled());

            // Nor does a button of a dialog that the overlay opened.
            QDialog dialog(&overlay);
            auto* inDialog = new QToolButton(&dialog);
            inDialog->setObjectName("inDialog");
            QTest::ignoreMessage(QtWarningMsg,
                                 "addMainTool: QToolButton \"inDialog\" belongs to another window and stays there.");
            overlay.addMainTool(inDialog);
            QCOMPARE(inDialog->parentWidget(), &dialog);
            QCOMPARE(driver.ui()->horizontalLayout->count(), 7);
        }
        QVERIFY(watched);
    }

    void deleteTakesTheSelectedPieces()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        openWithPiece(overlay, driver);
        showSubToolBar(driver, driver.ui()->toolButtonCapture);
        driver.ui()->toolButtonCaptureRectangle->click();
        QTRY_VERIFY(runningPrompt(driver.scene()));
        captureRegion(driver, QRect(400, 300, 51, 41));
        DGraphicsLayer* layer = driver.scene()->activeLayer();
        QCOMPARE(layer->items().count(), 2);
        QCOMPARE(layer->selectedItems().count(), 1);
        const QPointer<DGraphicsItem> second = layer->selectedItems().first();

        // The shortcut clicks the button the way a user would see it pressed.
        QTest::keyClick(driver.viewport(), Qt::Key_Delete);
        QTRY_VERIFY(second.isNull());
        QCOMPARE(layer->items().count(), 1);
        QVERIFY(!driver.ui()->toolButtonDelete->isEnabled());
    }

    void cancelling_data()
    {
        QTest::addColumn<bool>("withPiece");
        QTest::newRow("first prompt") << false;
        QTest::newRow("later prompt") << true;
    }

    // Escape on the very first prompt closes the overlay with 0; on a later one
    // the pieces stay and the bars come back.
    void cancelling()
    {
        QFETCH(bool, withPiece);
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        bool barsBack = false;
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            if (withPiece) {
                captureRegion(driver, kPiece);
                driver.ui()->toolButtonCaptureWindow->click();
                QTRY_VERIFY(runningPrompt(driver.scene()));
            }
            QTest::keyClick(driver.viewport(), Qt::Key_Escape);
            if (withPiece) {
                QTRY_VERIFY(driver.isIn(driver.ui()->widgetMainTool));
                barsBack = driver.scene()->activeLayer()->isVisible();
                overlay.form()->toolButtonCancel->click();
            }
        });
        QCOMPARE(result, 0);
        QCOMPARE(barsBack, withPiece);
        QVERIFY(!overlay.isVisible());
    }

    // The keypad's Enter before the first polygon point finishes the prompt
    // without a piece: like a cancel, never a dimmed screen without a prompt.
    void finishedWithoutPieceIsACancel()
    {
        settings()->setValue("RegionType", 1);
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            QVERIFY(runningPrompt(driver.scene()));
            QTest::keyClick(driver.viewport(), Qt::Key_Enter, Qt::KeypadModifier);
        });
        QCOMPARE(result, 0);
    }

    // Only a damaged settings file names another region type: the rectangle
    // prompt runs rather than none.
    void unknownRegionTypeDrawsARectangle()
    {
        settings()->setValue("RegionType", 7);
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        openOverlay(overlay);
        QVERIFY(runningPrompt(driver.scene()));
        captureRegion(driver, QRect(10, 20, 31, 41));
        QCOMPARE(driver.scene()->activeLayer()->items().first()->metaObject()->className(),
                 "DGraphicsItemRectangleWindow");
    }

    void drawingTools_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("itemClass");
        QTest::newRow("line") << "toolButtonDrawLine" << "DGraphicsItemLine";
        QTest::newRow("arrow") << "toolButtonDrawArrow" << "DGraphicsItemArrow";
        QTest::newRow("rectangle") << "toolButtonDrawRectangle" << "DGraphicsItemRectangle";
        QTest::newRow("text") << "toolButtonDrawText" << "DGraphicsItemText";
    }

    void drawingTools()
    {
        QFETCH(QString, button);
        QFETCH(QString, itemClass);
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        openWithPiece(overlay, driver);
        showSubToolBar(driver, driver.ui()->toolButtonDraw);
        overlay.findChild<QToolButton*>(button)->click();
        QVERIFY(runningPrompt(driver.scene()));
        driver.drag(QPointF(120, 130), QPointF(250, 240));
        DGraphicsLayer* layer = driver.scene()->activeLayer();
        QStringList classes;
        for (DGraphicsItem* item : layer->items())
            classes << item->metaObject()->className();
        classes.sort();
        QStringList expected({"DGraphicsItemRectangleWindow", itemClass});
        expected.sort();
        QCOMPARE(classes, expected);
        // The drawing lies on the white page; no capture runs.
        QVERIFY(isWhite(driver.scene()));
        QVERIFY(layer->isVisible());
    }

    void polygonDrawingHasNoScreenshot()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        openWithPiece(overlay, driver);
        driver.ui()->toolButtonDrawPolygon->click();
        for (const QPointF& p : {QPointF(400, 300), QPointF(500, 300), QPointF(450, 400)})
            driver.click(p);
        driver.click(QPointF(450, 400), Qt::RightButton);
        DGraphicsItem* polygon = driver.scene()->activeLayer()->selectedItems().first();
        QCOMPARE(polygon->metaObject()->className(), "DGraphicsItemPolygon");
        QVERIFY(!polygon->fillImage());
    }

    void saveWritesTheScreenPixels()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, kPiece);
            driver.ui()->toolButtonSave->click();
        });
        QCOMPARE(result, 1);
        const QStringList files = QDir(m_dir.path()).entryList({"Snap-*.png"}, QDir::Files);
        QCOMPARE(files.count(), 1);
        verifyPiece(QImageReader(m_dir.filePath(files.first())).read(), kPiece);
    }

    // A save that cannot be written is not lost: the user is told, and the
    // output-target dialog offers the same image.
    void failedSaveOffersTheImageElsewhere()
    {
        QTemporaryDir base;
        settings()->setValue("AutomaticSaveFolder", unwritableFolder(base));
        QApplication::clipboard()->clear();
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        const QRect area(30, 40, 61, 51);
        QString message;
        bool offered = false;
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, area);
            whenModal<QMessageBox>([&](QMessageBox* box) {
                message = box->text();
                whenModal<DDialogPromptTarget>([&](DDialogPromptTarget* target) {
                    offered = true;
                    target->findChild<QAbstractButton*>("buttonClipboard")->click();
                });
                box->accept();
            });
            driver.ui()->toolButtonSave->click();
        });
        QCOMPARE(result, 1);
        QVERIFY2(message.startsWith("Failed to save the image"), qPrintable(message));
        QVERIFY(offered);
        verifyPiece(QApplication::clipboard()->image(), area);
    }

    void cancelledSaveDialogDiscards()
    {
        settings()->setValue("NameMethod", 0);
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        bool asked = false;
        bool overlayGoneWhenAsked = false;
        bool told = false;
        QPointer<QTimer> message;
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, QRect(30, 40, 61, 51));
            whenModal<QFileDialog>([&](QFileDialog* files) {
                asked = true;
                overlayGoneWhenAsked = !overlay.isVisible();
                files->reject();
            });
            message = whenModal<QMessageBox>([&](QMessageBox* box) {
                told = true;
                box->accept();
            }, 60000);
            driver.ui()->toolButtonSave->click();
        });
        delete message.data();
        QCOMPARE(result, 1);
        QVERIFY(asked);
        QVERIFY(overlayGoneWhenAsked);
        QVERIFY(!told);
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
    }

    void clipboardGetsTheScreenPixels()
    {
        QApplication::clipboard()->clear();
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        const QRect area(700, 500, 81, 71);
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, area);
            driver.ui()->toolButtonClipboard->click();
        });
        QCOMPARE(result, 1);
        verifyPiece(QApplication::clipboard()->image(), area);
    }

    void clipboardWithEmptyDocumentKeepsTheOverlay()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        QString message;
        bool stillOpen = false;
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, kPiece);
            driver.ui()->toolButtonDelete->click();
            whenModal<QMessageBox>([&](QMessageBox* box) {
                message = box->text();
                box->accept();
            });
            driver.ui()->toolButtonClipboard->click();
            stillOpen = overlay.isVisible();
            driver.ui()->toolButtonCancel->click();
        });
        QCOMPARE(message, QString("Failed to Copy to Clipboard, please save to file!"));
        QVERIFY(stillOpen);
        QCOMPARE(result, 0);
    }

    void printPreviewKeepsTheOverlay()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        QWidget* previewParent = nullptr;
        bool stillOpen = false;
        const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, kPiece);
            whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
                previewParent = preview->parentWidget();
                preview->reject();
            });
            driver.ui()->toolButtonPrint->click();
            stillOpen = overlay.isVisible();
            driver.ui()->toolButtonCancel->click();
        });
        QCOMPARE(previewParent, &overlay);
        QVERIFY(stillOpen);
        QCOMPARE(result, 0);
    }

    // Scrolling grabs give no image here: the picked window leads nowhere and
    // the overlay closes with 0.
    void scrollingEndsWithoutOutput()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        const int result = DOverlayDriver::runCapture(overlay, DD::Scrolling, m_shot, screenTree(), [&] {
            driver.move(QPointF(50, 60));
            driver.click(QPointF(50, 60));
        });
        QCOMPARE(result, 0);
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
    }

    // A scene rectangle goes back to global pixels once: on a second monitor
    // the screen's origin is added, and the corners are the first and the last pixel.
    void sceneRectangleToGlobalPixels()
    {
        DFullScreenSelector overlay;
        DWidgetData tree;
        tree.rectangle = QRect(1280, 0, 800, 600);
        DOverlayDriver::runCapture(overlay, DD::Window, m_shot, tree, [] {});
        QCOMPARE(overlay.globalRectOf(QRectF(10, 20, 99, 49)), QRect(1290, 20, 100, 50));
    }

    // The window picked on the overlay is the whole window, its pixels as
    // they were on the screen.
    void windowCaptureSavesTheWindow()
    {
        DFullScreenSelector overlay;
        DOverlayDriver driver(overlay);
        DWidgetData tree = screenTree();
        DWidgetData window;
        window.rectangle = QRect(220, 140, 320, 200);
        window.title = "Notes";
        tree.addChild(window);
        const int result = DOverlayDriver::runCapture(overlay, DD::Window, m_shot, tree, [&] {
            driver.move(QPointF(300, 200));
            driver.click(QPointF(300, 200));
            QTRY_VERIFY(driver.isIn(driver.ui()->widgetMainTool));
            driver.ui()->toolButtonSave->click();
        });
        QCOMPARE(result, 1);
        const QStringList files = QDir(m_dir.path()).entryList({"Snap-*.png"}, QDir::Files);
        QCOMPARE(files.count(), 1);
        verifyPiece(QImageReader(m_dir.filePath(files.first())).read(), window.rectangle);
    }

    void scriptSeesTheEditor()
    {
        QVERIFY(writeOverlayScript("setPreference('editorName', editor.objectName);\n"
                                   "editor.addMainTool(editor.widgetMainTool.toolButtonPrint, true);\n"));
        DFullScreenSelector overlay;
        QFile::remove(overlayScriptPath());
        DOverlayDriver driver(overlay);
        QCOMPARE(DSingleton<DConfigCapture>::instance()->scriptPreference("editorName").toString(),
                 QString("editor"));
        QHBoxLayout* row = driver.ui()->horizontalLayout;
        QCOMPARE(row->indexOf(driver.ui()->toolButtonPrint), row->count() - 2);
        QVERIFY(overlay.selectionTools().contains(driver.ui()->toolButtonPrint));

        openWithPiece(overlay, driver);
        QVERIFY(driver.ui()->toolButtonPrint->isEnabled());
        overlay.prepareImage("shot");
        const QImage shot =
            DSingleton<DScript>::instance()->engine()->globalObject().property("shot").toVariant().value<QImage>();
        verifyPiece(shot, kPiece);
    }

    // An overlay script may add buttons, take the image, try to delete what it
    // was handed or never end: the overlay works on as without it, and nothing
    // the overlay or the library deletes by itself is refused.
    void overlayScriptsLeaveTheOverlayWorking_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("refused");
        QTest::newRow("adds buttons") << "editor.addMainTool(editor.widgetSubTool.toolButtonDrawLine, true);\n"
                                         "editor.addMainTool(editor.widgetMainTool.toolButtonPrint);\n"
                                      << QStringList();
        QTest::newRow("takes the image") << "editor.prepareImage('shot');\n" << QStringList();
        QTest::newRow("deletes what it was handed")
            << "editor.deleteLater();\n"
               "editor.canvas.deleteLater();\n"
               "editor.widgetMainTool.toolButtonSave.deleteLater();\n"
               "editor.widgetSubTool.toolButtonDrawArrow.deleteLater();\n"
               "editor.widgetSubTool.deleteLater();\n"
            << QStringList({"editor", "canvas", "toolButtonSave", "toolButtonDrawArrow", "widgetSubTool"});
        QTest::newRow("calls the overlay's slots early")
            << "editor.restoreTools();\neditor.addCapture();\neditor.showDrawOrCaptureTools();\n"
               "editor.done(0);\neditor.show();\n"
            << QStringList();
        QTest::newRow("never ends") << "while (true) {}\n" << QStringList();
        QTest::newRow("never ends when called")
            << "editor.widgetMainTool.toolButtonDelete.clicked.connect(function () { while (true) {} });\n"
            << QStringList();
    }

    void overlayScriptsLeaveTheOverlayWorking()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, refused);
        RefusalCollector collector;
        QVERIFY(writeOverlayScript(program.toUtf8()));
        QScopedPointer<DFullScreenSelector> overlay(new DFullScreenSelector);
        QFile::remove(overlayScriptPath());
        QPointer<DFullScreenSelector> alive(overlay.data());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive);
        s_refusedDeletions.sort();
        refused.sort();
        QCOMPARE(s_refusedDeletions, refused);
        s_refusedDeletions.clear();

        DOverlayDriver driver(*overlay);
        Ui_DFullScreenSelector* ui = driver.ui();
        DCanvas* canvas = ui->canvas;
        const int result = DOverlayDriver::runCapture(*overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, kPiece);
            QTRY_VERIFY(canvas->quickEditor()->isVisible());
            // A click beside the piece lets it go.
            driver.click(QPointF(600, 80));
            QTRY_VERIFY(!ui->toolButtonDelete->isEnabled());
            // The draw set slides in; a polygon tool explains itself in a balloon.
            showSubToolBar(driver, ui->toolButtonDraw);
            ui->toolButtonDrawPolygon->click();
            QTRY_VERIFY(canvas->helpBalloon()->isVisible());
            // An arrow replaces the polygon tool, is drawn, selected and deleted.
            ui->toolButtonDrawArrow->click();
            driver.drag(QPointF(400, 400), QPointF(460, 430));
            DGraphicsLayer* layer = driver.scene()->activeLayer();
            QCOMPARE(layer->items().count(), 2);
            QTRY_VERIFY(ui->toolButtonDelete->isEnabled());
            ui->toolButtonDelete->click();
            QCOMPARE(layer->items().count(), 1);
            QVERIFY(!ui->toolButtonDelete->isEnabled());
            ui->toolButtonSave->click();
        });
        QCOMPARE(result, 1);
        const QStringList files = QDir(m_dir.path()).entryList({"Snap-*.png"}, QDir::Files);
        QCOMPARE(files.count(), 1);
        verifyPiece(QImageReader(m_dir.filePath(files.first())).read(), kPiece);
        overlay.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(s_refusedDeletions, QStringList());
    }

    // A script that deletes all it finds whenever the overlay's own signals
    // fire: nothing of the overlay goes, whenever it was made (the panels'
    // fading animations and the balloon come with the first piece), and the
    // capture works to its end.
    void scriptDeletingAllItFindsOnTheOverlaysSignals()
    {
        QVERIFY(writeOverlayScript(deleteAllOnTheOverlaysSignals()));
        QScopedPointer<DFullScreenSelector> overlay(new DFullScreenSelector);
        QFile::remove(overlayScriptPath());
        DOverlayDriver driver(*overlay);
        Ui_DFullScreenSelector* ui = driver.ui();
        QList<QPointer<QObject>> parts;
        auto everyPartAlive = [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return std::all_of(parts.cbegin(), parts.cend(), [](const QPointer<QObject>& part) { return part; });
        };
        auto takeParts = [&] {
            parts.clear();
            for (QObject* part : overlay->findChildren<QObject*>())
                parts << part;
        };
        const int madeAtFirst = overlay->findChildren<QObject*>().count();
        const int result = DOverlayDriver::runCapture(*overlay, DD::Region, m_shot, screenTree(), [&] {
            captureRegion(driver, kPiece);
            QVERIFY(overlay->findChildren<QObject*>().count() > madeAtFirst);
            takeParts();
            // A click beside the piece changes the selection.
            driver.click(QPointF(600, 80));
            QTRY_VERIFY(!ui->toolButtonDelete->isEnabled());
            QVERIFY(everyPartAlive());
            takeParts();
            showSubToolBar(driver, ui->toolButtonDraw);
            QVERIFY(everyPartAlive());
            takeParts();
            ui->toolButtonSave->click();
        });
        QCOMPARE(result, 1);
        QVERIFY(everyPartAlive());
        const QStringList files = QDir(m_dir.path()).entryList({"Snap-*.png"}, QDir::Files);
        QCOMPARE(files.count(), 1);
        verifyPiece(QImageReader(m_dir.filePath(files.first())).read(), kPiece);
        // Gone the usual way, with all of its parts (the sanitizers watch).
        overlay.reset();
    }

    // Every overlay of a process behaves as the first one did.
    void repeatedCaptures()
    {
        for (int round = 0; round < 10; ++round) {
            DFullScreenSelector overlay;
            DOverlayDriver driver(overlay);
            const QRect area(10 + round * 20, 20 + round * 10, 41, 31);
            QApplication::clipboard()->clear();
            const int result = DOverlayDriver::runCapture(overlay, DD::Region, m_shot, screenTree(), [&] {
                captureRegion(driver, area);
                driver.ui()->toolButtonClipboard->click();
            });
            QCOMPARE(result, 1);
            verifyPiece(QApplication::clipboard()->image(), area);
        }
    }
};

QTEST_MAIN(tst_DFullScreenSelector)
#include "tst_DFullScreenSelector.moc"
