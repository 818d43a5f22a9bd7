#include "DFullScreenSelector.h"
#include "ui_DFullScreenSelector.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QSettings>
#include <QToolButton>
#include <QWindow>

#include "DAllDesktops.h"
#include "DConfigCapture.h"
#include "DCreatePromptArrow.h"
#include "DCreatePromptLine.h"
#include "DCreatePromptPolygon.h"
#include "DCreatePromptPolyline.h"
#include "DCreatePromptRectangle.h"
#include "DCreatePromptText.h"
#include "DDialogPromptTarget.h"
#include "DGraphicsBackgroundColor.h"
#include "DGraphicsBackgroundImage.h"
#include "DGraphicsItem.h"
#include "DGraphicsLayer.h"
#include "DGraphicsScene.h"
#include "DGraphicsView.h"
#include "DKeyboardFocus.h"
#include "DOverlayPrompts.h"
#include "DProgramGlobals.h"
#include "DScript.h"
#include "DUtility.h"

const QString sToolButtonStyleMainTool = QStringLiteral(
    "QToolButton {    padding: 0 5px 0 5px;    border-width: 0 1px 0 1px;    border-style: solid;"
    "    border-color: silver;}"
    "QToolButton:hover:!pressed, QToolButton:checked {    background: #444 url(:/images/buttonbk.png) 0 100px;}");

const QString sToolButtonStyleSubTool = QStringLiteral(
    "QToolButton {    padding: 0 5px 0 5px;    border-style: solid;    border-color: #999;}"
    "QToolButton:hover:!pressed {    border-width: 0 1px 0 1px;    background-color: rgba(90, 90, 90, 50%);}");

namespace {

const QString& sWidgetSubToolStyle()
{
    static const QString sheet = QStringLiteral(
        "QWidget#widgetSubTool { background-color: qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0,"
        " stop:0 rgba(25, 33, 44, 220), stop:0.5 rgba(42, 54, 66, 220), stop:1 rgba(25, 33, 44, 220));}");
    return sheet;
}

const QString& sWidgetMainToolStyle()
{
    static const QString sheet = QStringLiteral(
        "QWidget#widgetMainTool { background-color: qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0,"
        " stop:0 rgba(182, 195, 203, 255), stop:1 rgba(222, 230, 233, 255));}");
    return sheet;
}

const QString& sFrameStyle()
{
    static const QString sheet = QStringLiteral("background-color: rgb(185, 196, 202);");
    return sheet;
}

DConfigCapture* config()
{
    return DSingleton<DConfigCapture>::instance();
}

// The screenshot under a black veil.
QPixmap dimmed(const QPixmap& screenshot)
{
    QPixmap veiled = screenshot;
    if (veiled.isNull())
        return veiled;
    QPainter painter(&veiled);
    painter.setOpacity(DFullScreenSelector::DimOpacity);
    painter.setBrush(QBrush(Qt::black, Qt::SolidPattern));
    painter.setPen(Qt::NoPen);
    painter.drawRect(veiled.rect());
    return veiled;
}

} // namespace

DFullScreenSelector::DFullScreenSelector(QWidget* parent)
    : QDialog(parent, Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint)
    , ui(new Ui_DFullScreenSelector)
    , m_captureMode(DD::Region)
    , m_bRestoreSubTools(false)
{
    ui->setupUi(this);
    ui->canvas->setRulerVisible(false);
    ui->widgetSubTool->setStyleSheet(sWidgetSubToolStyle());
    ui->frameTop->setStyleSheet(sFrameStyle());
    ui->widgetMainTool->setStyleSheet(sWidgetMainToolStyle());
    ui->frameMiddle->setStyleSheet(sFrameStyle());
    connect(ui->canvas, &DCanvas::selectionChanged, this, &DFullScreenSelector::onSelectionChanged);
    m_selectionTools.append(ui->toolButtonDelete);
    setObjectName(QStringLiteral("editor"));

    DScript* script = DSingleton<DScript>::instance();
    script->addObjectToScript(this);
    script->runScript(DScript::path() + QStringLiteral("overlay.js"), g_bDebugScripts);
}

DFullScreenSelector::~DFullScreenSelector()
{
    // The canvas and its scene go after this object: nothing they report on
    // the way may reach it.
    disconnect(ui->canvas, nullptr, this, nullptr);
    // A slide still running has no parent to go with: it would stop, and
    // delete itself, only on a later tick of an event loop that may never come.
    for (const QPointer<QPropertyAnimation>& slide : qAsConst(m_slides))
        delete slide.data();
    delete ui;
}

DGraphicsScene* DFullScreenSelector::scene() const
{
    return ui->canvas->scene();
}

DGraphicsLayer* DFullScreenSelector::activeLayer() const
{
    return scene()->activeLayer();
}

QScreen* DFullScreenSelector::captureScreen() const
{
    if (m_pCaptureScreen)
        return m_pCaptureScreen;
    if (QScreen* screen = QGuiApplication::screenAt(m_windows.rectangle.center()))
        return screen;
    return QGuiApplication::primaryScreen();
}

// ---------------------------------------------------------------------------
// One capture

int DFullScreenSelector::capture(DD::enumCaptureMode mode, const QPixmap& pixmap, const DWidgetData& windows)
{
    if (mode == DD::FullScreen)
        return 0;
    // The tree first: it tells which screen to cover when none was named.
    m_windows = windows;
    initialize(pixmap);
    m_captureMode = mode;
    addCapture();
    return exec();
}

void DFullScreenSelector::initialize(const QPixmap& pixmap)
{
    // The window manager is bypassed, so full-screen requests are ignored: the
    // overlay takes the screen's rectangle itself, wherever that screen is.
    QScreen* screen = captureScreen();
    setGeometry(screen ? screen->geometry() : QRect(QPoint(0, 0), pixmap.size()));

    // Scene coordinates are screenshot pixels, whatever the screen's scale.
    m_screenshot = pixmap;
    m_screenshot.setDevicePixelRatio(1.0);

    ui->canvas->setGeometry(rect());
    ui->canvas->setCanvasSize(m_screenshot.size());
    DGraphicsView* view = ui->canvas->view();
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The screenshot lies where the screen showed it, from the top left, also
    // once the monitor has grown past it: the view would centre it otherwise,
    // and every piece would come from elsewhere than the pointer showed.
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // On a scaled screen the screenshot's pixels are shown one to one.
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    if (ratio > 0.0 && !qFuzzyCompare(ratio, 1.0))
        view->setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));

    for (QWidget* bar : {ui->widgetMainTool, ui->widgetSubTool}) {
        bar->setFixedWidth(width());
        bar->move(0, height());
        bar->hide();
    }
    // Shown before the rest is made ready: the X server maps the window while
    // the veil is laid. Nothing is painted before the event loop runs again.
    setVisible(true);

    m_dimmedScreenshot = dimmed(m_screenshot);
    for (QToolButton* button : {ui->toolButtonCapture, ui->toolButtonDraw, ui->toolButtonDelete,
                                ui->toolButtonPrint, ui->toolButtonSave, ui->toolButtonClipboard,
                                ui->toolButtonCancel})
        button->setStyleSheet(sToolButtonStyleMainTool);
    for (QToolButton* button : {ui->toolButtonCaptureRectangle, ui->toolButtonCapturePolygon,
                                ui->toolButtonCaptureWindow, ui->toolButtonDrawLine, ui->toolButtonDrawArrow,
                                ui->toolButtonDrawPolyline, ui->toolButtonDrawRectangle,
                                ui->toolButtonDrawPolygon, ui->toolButtonDrawText})
        button->setStyleSheet(sToolButtonStyleSubTool);
    if (screen)
        connect(screen, &QScreen::geometryChanged, this, &DFullScreenSelector::followScreen, Qt::UniqueConnection);
    windowHandle()->installEventFilter(this);
    takeKeyboard();
}

void DFullScreenSelector::followScreen(const QRect& geometry)
{
    // The monitor took a new size while the overlay is open: the overlay
    // covers it as it is now, and the bars, which belong at its bottom edge,
    // move with that edge, also on their way in or out; every button stays
    // within reach. The screenshot and what was made of it stay as they are.
    const int shift = geometry.height() - height();
    setGeometry(geometry);
    ui->canvas->setGeometry(rect());
    for (QWidget* bar : {ui->widgetMainTool, ui->widgetSubTool}) {
        bar->setFixedWidth(width());
        bar->move(bar->x(), bar->y() + shift);
    }
    m_slides.removeAll(QPointer<QPropertyAnimation>());
    for (QPropertyAnimation* slide : qAsConst(m_slides)) {
        slide->setStartValue(slide->startValue().toPoint() + QPoint(0, shift));
        slide->setEndValue(slide->endValue().toPoint() + QPoint(0, shift));
    }
}

void DFullScreenSelector::takeKeyboard()
{
    // A window that bypasses the window manager is given the keyboard by
    // nobody: not when it shows, not when a nested dialog closes. Once shown,
    // it takes the keyboard at once, before the window manager can hand it
    // elsewhere as the dialog that had it goes.
    activateWindow();
    if (windowHandle() && windowHandle()->isExposed())
        DKeyboardFocus::current().giveTo(winId());
    ui->canvas->view()->setFocus(Qt::ActiveWindowFocusReason);
}

bool DFullScreenSelector::event(QEvent* e)
{
    if (e->type() == QEvent::WindowBlocked)
        giveWayToModalWindow();
    if (e->type() == QEvent::WindowUnblocked && isVisible()) {
        if (m_bGaveWay) {
            m_bGaveWay = false;
            qApp->removeEventFilter(this);
            raise();
        }
        takeKeyboard();
    }
    return QDialog::event(e);
}

bool DFullScreenSelector::eventFilter(QObject* watched, QEvent* e)
{
    // A dialog that the one the overlay stepped down for opens in turn (the
    // print dialog over the preview) blocks that one: it is kept within reach
    // the same way.
    if (m_bGaveWay && e->type() == QEvent::WindowBlocked && watched->isWindowType())
        keepWithinReach(QGuiApplication::modalWindow());
    // Another program's window may take the keyboard while the overlay is
    // open, and a click does not give it back to a window that bypasses the
    // window manager: the overlay takes it itself, so that the keys pressed
    // next reach it and not a window hidden under it.
    if (watched == windowHandle() && e->type() == QEvent::MouseButtonPress && !isActiveWindow())
        takeKeyboard();
    return QDialog::eventFilter(watched, e);
}

void DFullScreenSelector::keyPressEvent(QKeyEvent* e)
{
    // Escape closes the overlay and drops the whole capture: never in the
    // middle of a gesture, while a mouse button is held (a grip or a piece
    // dragged) or while the bars slide away for a new capture whose prompt,
    // which takes Escape itself, has not started yet. The gesture goes on.
    const bool midGesture = QGuiApplication::mouseButtons() != Qt::NoButton || m_bCaptureStarting;
    if (e->matches(QKeySequence::Cancel) && midGesture) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void DFullScreenSelector::giveWayToModalWindow()
{
    // The window manager stacks the windows it manages beneath one that
    // bypasses it: a dialog opened now (the print preview and the dialogs it
    // opens in turn, a message box) would be hidden under the overlay and
    // block it unseen. The overlay steps down until the last one has closed;
    // a dialog that bypasses the window manager itself shows on top anyway.
    QWindow* modal = QGuiApplication::modalWindow();
    if (!isVisible() || !modal || (modal->flags() & Qt::X11BypassWindowManagerHint))
        return;
    if (!m_bGaveWay) {
        m_bGaveWay = true;
        lower();
        // Every window blocked from now on tells of a dialog opened over
        // the first.
        qApp->installEventFilter(this);
    }
    keepWithinReach(modal);
}

void DFullScreenSelector::keepWithinReach(QWindow* modal)
{
    // The overlay covers every desktop: the dialog goes with it to the
    // desktop the user turns to, never left behind on the first, out of
    // reach while it refuses every click on the overlay.
    DAllDesktops::current().putOnAll(modal->winId());
    // A queued connection made unique finds the signal's argument type by
    // its name.
    qRegisterMetaType<Qt::WindowState>("Qt::WindowState");
    connect(modal, &QWindow::windowStateChanged, this, &DFullScreenSelector::onModalWindowStateChanged,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
}

void DFullScreenSelector::onModalWindowStateChanged()
{
    // Minimised, the dialog would leave the overlay in front of the user with
    // every click on it refused and nothing to bring the dialog back: it is
    // shown again at once.
    auto* modal = qobject_cast<QWindow*>(sender());
    if (m_bGaveWay && modal && modal->windowState() == Qt::WindowMinimized) {
        modal->showNormal();
        modal->requestActivate();
    }
}

void DFullScreenSelector::changeEvent(QEvent* e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}

// ---------------------------------------------------------------------------
// Slides

QPropertyAnimation* DFullScreenSelector::slide(QWidget* bar, const QPointF& target, QEasingCurve::Type easing)
{
    // Made without a parent: it deletes itself when it stops, which it does as
    // well when the bar goes before it ends; as a child of the overlay it
    // would be the program's to scripts, which may not delete those.
    auto* animation = new QPropertyAnimation(bar, "pos");
    animation->setDuration(SlideDuration);
    animation->setStartValue(bar->pos());
    animation->setEndValue(target.toPoint());
    animation->setEasingCurve(easing);
    m_slides.removeAll(QPointer<QPropertyAnimation>());
    m_slides.append(animation);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

QPropertyAnimation* DFullScreenSelector::hideSubTool(QWidget* bar, const QPointF& target)
{
    QPropertyAnimation* animation = slide(bar, target, QEasingCurve::InQuad);
    connect(animation, &QAbstractAnimation::finished, bar, &QWidget::hide);
    return animation;
}

QPropertyAnimation* DFullScreenSelector::showSubTool(QWidget* bar, const QPointF& target)
{
    QPropertyAnimation* animation = slide(bar, target, QEasingCurve::OutQuad);
    bar->setVisible(true);
    return animation;
}

// ---------------------------------------------------------------------------
// Starting a capture, and back to editing

void DFullScreenSelector::addCapture()
{
    QWidget* mainBar = ui->widgetMainTool;
    QWidget* subBar = ui->widgetSubTool;
    if (mainBar->isVisibleTo(this)) {
        m_bRestoreSubTools = false;
        m_bCaptureStarting = true;
        connect(hideSubTool(mainBar, QPointF(0, height())), &QAbstractAnimation::finished, this,
                &DFullScreenSelector::addCapture);
        return;
    }
    if (subBar->isVisibleTo(this)) {
        m_bRestoreSubTools = true;
        m_bCaptureStarting = true;
        connect(hideSubTool(subBar, QPointF(0, height())), &QAbstractAnimation::finished, this,
                &DFullScreenSelector::addCapture);
        return;
    }
    startCapturePrompt();
}

void DFullScreenSelector::startCapturePrompt()
{
    m_bCaptureStarting = false;
    activeLayer()->hide();
    scene()->setBackground(new DGraphicsBackgroundImage(m_dimmedScreenshot));
    ui->canvas->setCanvasSize(m_screenshot.size());

    // Only a damaged settings file holds another region type: it gets the
    // rectangle rather than a dimmed screen that nothing can be done on.
    const DD::enumRegionType regionType =
        config()->regionType() == DD::RegionPolygon ? DD::RegionPolygon : DD::RegionRectangle;
    DCreatePrompt* prompt = DOverlayPrompts::createCapturePrompt(m_captureMode, regionType, m_screenshot, m_windows);
    if (!prompt) {
        reject();
        return;
    }
    prompt->start(ui->canvas);
    connect(prompt, &DCreatePrompt::finished, this, &DFullScreenSelector::onPostEditing);
    connect(prompt, &DCreatePrompt::cancelled, this, &DFullScreenSelector::onPromptCancelled);
    ui->canvas->view()->setFocus();
}

void DFullScreenSelector::onPostEditing(DCreatePrompt* prompt)
{
    DGraphicsItem* sample = prompt ? prompt->sample() : nullptr;
    // Finished without a piece (the keypad's Enter before the first point of
    // a polygon): the same as a cancel, never a dimmed screen without a prompt.
    if (!sample) {
        onPromptCancelled();
        return;
    }
    if (m_captureMode == DD::Scrolling) {
        grabScrollingWindow(sample);
        return;
    }
    restoreTools();
}

void DFullScreenSelector::onPromptCancelled()
{
    if (!activeLayer()->items().isEmpty())
        restoreTools();
    else
        done(0);
}

void DFullScreenSelector::restoreTools()
{
    DGraphicsLayer* layer = activeLayer();
    if (!layer->isVisible())
        layer->show();
    QWidget* mainBar = ui->widgetMainTool;
    QWidget* subBar = ui->widgetSubTool;
    const int mainH = mainBar->height();
    if (!subBar->isVisibleTo(this) && m_bRestoreSubTools) {
        connect(showSubTool(subBar, QPointF(0, height() - subBar->height() - mainH)), &QAbstractAnimation::finished,
                this, &DFullScreenSelector::restoreTools);
        return;
    }
    if (mainBar->isVisibleTo(this)) {
        scene()->setBackground(new DGraphicsBackgroundColor(Qt::white));
        return;
    }
    connect(showSubTool(mainBar, QPointF(0, height() - mainH)), &QAbstractAnimation::finished, this,
            &DFullScreenSelector::restoreTools);
}

QRect DFullScreenSelector::globalRectOf(const QRectF& sceneRect) const
{
    return DUtility::pixelsCoveredBy(sceneRect).translated(m_windows.rectangle.topLeft());
}

void DFullScreenSelector::grabScrollingWindow(DGraphicsItem* sample)
{
    setVisible(false);
    const QImage image = DUtility::grabScrollingWindow(globalRectOf(sample->sceneBoundary()));
    if (image.isNull()) {
        done(0);
        return;
    }
    DDialogPromptTarget dialog(this, image);
    dialog.setVisible(true);
    dialog.activateWindow();
    dialog.exec();
    done(1);
}

// ---------------------------------------------------------------------------
// Capture and draw tools

void DFullScreenSelector::captureRegion(DD::enumRegionType type)
{
    config()->setRegionType(type);
    m_captureMode = DD::Region;
    addCapture();
}

void DFullScreenSelector::on_toolButtonCaptureRectangle_clicked()
{
    captureRegion(DD::RegionRectangle);
}

void DFullScreenSelector::on_toolButtonCapturePolygon_clicked()
{
    captureRegion(DD::RegionPolygon);
}

void DFullScreenSelector::on_toolButtonCaptureWindow_clicked()
{
    m_captureMode = DD::Window;
    addCapture();
}

void DFullScreenSelector::startDrawPrompt(DCreatePrompt* prompt)
{
    prompt->start(ui->canvas);
    ui->canvas->view()->setFocus();
}

void DFullScreenSelector::on_toolButtonDrawLine_clicked()
{
    startDrawPrompt(new DCreatePromptLine);
}

void DFullScreenSelector::on_toolButtonDrawArrow_clicked()
{
    startDrawPrompt(new DCreatePromptArrow);
}

void DFullScreenSelector::on_toolButtonDrawPolyline_clicked()
{
    startDrawPrompt(new DCreatePromptPolyline);
}

void DFullScreenSelector::on_toolButtonDrawRectangle_clicked()
{
    startDrawPrompt(new DCreatePromptRectangle);
}

void DFullScreenSelector::on_toolButtonDrawPolygon_clicked()
{
    startDrawPrompt(new DCreatePromptPolygon);
}

void DFullScreenSelector::on_toolButtonDrawText_clicked()
{
    startDrawPrompt(new DCreatePromptText);
}

// ---------------------------------------------------------------------------
// Switching the sub-tool bar between its capture and draw sets

void DFullScreenSelector::setCaptureToolsVisibility(bool capture)
{
    ui->toolButtonCapturePolygon->setVisible(capture);
    ui->toolButtonCaptureRectangle->setVisible(capture);
    ui->toolButtonCaptureWindow->setVisible(capture);
    for (QToolButton* button : {ui->toolButtonDrawLine, ui->toolButtonDrawArrow, ui->toolButtonDrawPolyline,
                                ui->toolButtonDrawRectangle, ui->toolButtonDrawPolygon, ui->toolButtonDrawText})
        button->setVisible(!capture);
}

void DFullScreenSelector::showDrawOrCaptureTools()
{
    const bool draw = ui->toolButtonDraw->isChecked();
    if (!draw && !ui->toolButtonCapture->isChecked())
        return;
    setCaptureToolsVisibility(!draw);
    QWidget* subBar = ui->widgetSubTool;
    showSubTool(subBar, QPointF(0, height() - ui->widgetMainTool->height() - subBar->height()));
}

void DFullScreenSelector::toolToggled(bool checked, QToolButton* other)
{
    if (checked) {
        if (!other->isChecked())
            showDrawOrCaptureTools();
        else
            other->setChecked(false); // its own toggle slides the bar away and brings this set in
        return;
    }
    QWidget* subBar = ui->widgetSubTool;
    if (!subBar->isVisibleTo(this))
        return;
    connect(hideSubTool(subBar, QPointF(0, height() - ui->widgetMainTool->height())),
            &QAbstractAnimation::finished, this, &DFullScreenSelector::showDrawOrCaptureTools);
}

void DFullScreenSelector::on_toolButtonCapture_toggled(bool checked)
{
    toolToggled(checked, ui->toolButtonDraw);
}

void DFullScreenSelector::on_toolButtonDraw_toggled(bool checked)
{
    toolToggled(checked, ui->toolButtonCapture);
}

// ---------------------------------------------------------------------------
// Selection-dependent tools

void DFullScreenSelector::on_toolButtonDelete_clicked()
{
    // Guarded: deleting one item may take another with it.
    QList<QPointer<DGraphicsItem>> selected;
    for (DGraphicsItem* item : activeLayer()->selectedItems())
        selected.append(item);
    for (const QPointer<DGraphicsItem>& item : qAsConst(selected))
        delete item.data();
}

void DFullScreenSelector::onSelectionChanged(QList<DGraphicsItem*>)
{
    const bool anySelected = !activeLayer()->selectedItems().isEmpty();
    for (const QPointer<QToolButton>& button : qAsConst(m_selectionTools)) {
        if (button)
            button->setEnabled(anySelected);
    }
}

QList<QToolButton*> DFullScreenSelector::selectionTools() const
{
    QList<QToolButton*> buttons;
    for (const QPointer<QToolButton>& button : m_selectionTools) {
        if (button)
            buttons.append(button);
    }
    return buttons;
}

void DFullScreenSelector::addMainTool(QToolButton* button, bool dependent)
{
    if (!button)
        return;
    // A script may hand over any button it reaches: one of another window
    // (the main window's, or a dialog's) would leave a hole there and go with
    // the overlay.
    if (button->parentWidget() && button->window() != this) {
        qWarning("addMainTool: %s \"%s\" belongs to another window and stays there.",
                 button->metaObject()->className(), qPrintable(button->objectName()));
        return;
    }
    // A button of the bar itself moves: taken out first, so that it too lands
    // before toolButtonCancel.
    ui->horizontalLayout->removeWidget(button);
    button->setParent(ui->widgetMainTool);
    button->setStyleSheet(sToolButtonStyleMainTool);
    // Just before toolButtonCancel, after the buttons added earlier.
    ui->horizontalLayout->insertWidget(ui->horizontalLayout->count() - 1, button, 0, Qt::Alignment());
    if (dependent) {
        m_selectionTools.append(button);
        button->setEnabled(false);
    }
}

// ---------------------------------------------------------------------------
// Output

QImage DFullScreenSelector::renderDocument() const
{
    QImage image;
    scene()->renderContentTo(image);
    return image;
}

void DFullScreenSelector::prepareImage(QString name)
{
    DSingleton<DScript>::instance()->addImageToScript(name, renderDocument());
}

void DFullScreenSelector::on_toolButtonSave_clicked()
{
    const QImage image = renderDocument();
    done(1);
    saveToFile(image);
}

void DFullScreenSelector::saveToFile(const QImage& image)
{
    DUtility::SaveReport report;
    if (DUtility::saveImage(nullptr, image, DD::ImageFile, false, &report) || report.cancelled || image.isNull())
        return;
    // The overlay has gone; the capture has not: tell the user and let them
    // copy it or save it elsewhere.
    const QString message = report.path.isEmpty()
        ? tr("Failed to save the image. Please copy it to the clipboard or save it elsewhere.")
        : tr("Failed to save the image to \"%1\". Please copy it to the clipboard or save it elsewhere.")
              .arg(report.path);
    QMessageBox::critical(parentWidget(), tr("Error"), message, QMessageBox::Ok);
    DDialogPromptTarget dialog(parentWidget(), image);
    dialog.setVisible(true);
    dialog.activateWindow();
    dialog.exec();
}

void DFullScreenSelector::on_toolButtonClipboard_clicked()
{
    if (DUtility::saveImage(this, renderDocument(), DD::Clipboard, false)) {
        done(1);
        return;
    }
    QMessageBox::critical(this, tr("Error"), tr("Failed to Copy to Clipboard, please save to file!"),
                          QMessageBox::Ok);
}

void DFullScreenSelector::on_toolButtonPrint_clicked()
{
    QPrintPreviewDialog preview(this, Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    connect(&preview, &QPrintPreviewDialog::paintRequested, scene(), &DGraphicsScene::onPrint);
    preview.exec();
}

void DFullScreenSelector::on_toolButtonCancel_clicked()
{
    done(0);
}
