#include "DMainDialog.h"
#include "ui_DMainDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QTimerEvent>
#include <QUrl>
#include <QVector>
#include <QWindow>

#include "DConfigCapture.h"
#include "DDialogAbout.h"
#include "DDialogPromptTarget.h"
#include "DFullScreenSelector.h"
#include "DDialogFileOptions.h"
#include "DHotkey.h"
#include "DHotkeyEdit.h"
#include "DProgramGlobals.h"
#include "DProduct.h"
#include "DScreenGrabber.h"
#include "DShapedTrayPanel.h"
#include "DUtility.h"
#include "DWidgetData.h"
#include "DWidgetDataBuilder.h"

namespace {

// Capture timer intervals: the window was hidden, minimised, or shown normally.
// The timer is a precise one: a coarse timer may fire up to 5 % late.
const int IntervalWhenHidden = 200;
const int IntervalWhenMinimized = 400;
const int IntervalWhenShown = 500;

DConfigCapture* config()
{
    return DSingleton<DConfigCapture>::instance();
}

const QString& sToolButtonStyleHelp()
{
    static const QString sheet = QStringLiteral(
        "QToolButton {    border-width: 1px;    border-style: hidden;    border-color: silver;    border-radius: 8px;}"
        "QToolButton:hover:!pressed{    border-width: 1px;    border-style: solid;    background-color: #666;}");
    return sheet;
}

const QString& sToolButtonStyleAdvancedOptions()
{
    static const QString sheet = QStringLiteral(
        "QToolButton {    padding-left: 5px;    border-width: 1px;    border-style: hidden;    border-color: silver;"
        "    border-radius: 13px;    margin-bottom: 3px;}"
        "QToolButton:hover:!pressed{    border-width: 1px;    border-style: solid;"
        "    background: #444 url(:/images/buttonbk.png) 0 100px;}");
    return sheet;
}

const QString& sToolButtonStyleMode()
{
    static const QString sheet = QStringLiteral(
        "QToolButton {    padding: 0 5px 0 5px;    border-width: 1px;    border-style: solid;    border-color: silver;"
        "    border-radius: 5px;}"
        "QToolButton:hover:!pressed{    background: #444 url(:/images/buttonbk.png) 0 100px;}");
    return sheet;
}

const QString& sDarkStrip()
{
    static const QString sheet = QStringLiteral(".QWidget { background-color: rgb(70,70,70); }");
    return sheet;
}

} // namespace

DMainDialog::DMainDialog(QWidget* parent)
    : QDialog(parent, Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint)
    , ui(new Ui_DMainDialog)
    , m_captureMode(DD::Region)
    , m_nRestoreFlags(0)
    , m_savedSize(-1, -1)
    , m_savedPosition(0, 0)
    , m_nTimerId(0)
    , m_pHelpMenu(new QMenu)
    , m_trayIcon(this, QIcon(QStringLiteral(":/images/App16.png")))
    , m_bTellFriendEntryAdded(false)
{
    ui->setupUi(this);
    initializeShape();
    QCoreApplication::setApplicationName(DProduct::name());
    g_MainWindowWId = static_cast<quintptr>(winId());

    initializeContextMenu();
    initializeControls();

    ui->toolButtonModeScrolling->hide();
    ui->checkBoxIncludeCursor->hide();
    ui->tabWidgetSettings->removeTab(ui->tabWidgetSettings->indexOf(ui->tabSettingsKeyboard));

    addCaptureEntries();
    m_trayIcon.setVisible(true);
    ui->toolButtonHelp->setMenu(m_pHelpMenu);

    initializeFromSettings();
    condenseWindow();
    applyStyleSheets();
}

DMainDialog::~DMainDialog()
{
    if (m_nTimerId)
        killTimer(m_nTimerId);
    for (int mode = DD::Region; mode <= DD::FullScreen; ++mode)
        DUtility::unsetHotkey(static_cast<DD::enumCaptureMode>(mode));
    // The parts stop being watched before the form goes: what goes after it
    // (the help menu's actions, members) still sends them events, and the
    // filter reads the form.
    removeEventFilter(this);
    for (QWidget* part : findChildren<QWidget*>())
        part->removeEventFilter(this);
    delete ui;
    delete m_pHelpMenu;
}

void DMainDialog::addCaptureEntries()
{
    struct Entry {
        const char* text;
        const char* icon;
        const char* slot;
    };
    static const Entry entries[] = {
        {QT_TRANSLATE_NOOP("QObject", "Capture Rectangle Area"), ":/images/profile-region-rectangle.png",
         SLOT(on_toolButtonModeRegion_clicked())},
        {QT_TRANSLATE_NOOP("QObject", "Capture Polygon Area"), ":/images/profile-region-polygon.png",
         SLOT(on_toolButtonModePolygon_clicked())},
        {QT_TRANSLATE_NOOP("QObject", "Capture Window"), ":/images/profile-window.png",
         SLOT(on_toolButtonModeWindow_clicked())},
        {QT_TRANSLATE_NOOP("QObject", "Capture Full Screen"), ":/images/profile-fullscreen.png",
         SLOT(on_toolButtonModeFullScreen_clicked())},
    };
    // Menu and panel share each icon: every QIcon made from a file decodes and
    // keeps its own copy of the image for as long as the program runs.
    QVector<QIcon> icons;
    for (const Entry& entry : entries)
        icons.append(QIcon(QLatin1String(entry.icon)));
    for (int i = 0; i < icons.size(); ++i)
        m_trayIcon.addAction(icons.at(i), QObject::tr(entries[i].text), this, entries[i].slot, QKeySequence());
    for (int i = 0; i < icons.size(); ++i)
        m_trayIcon.panel()->addButton(icons.at(i), QObject::tr(entries[i].text), this, entries[i].slot);
}

void DMainDialog::applyStyleSheets()
{
    ui->toolButtonAbout->setStyleSheet(sToolButtonStyleHelp());
    ui->toolButtonHelp->setStyleSheet(sToolButtonStyleHelp());
    ui->toolButtonDontShowTellFriend->setStyleSheet(sToolButtonStyleHelp());
    ui->toolButtonAdvancedOptions->setStyleSheet(sToolButtonStyleAdvancedOptions());
    for (QToolButton* button : {ui->toolButtonModeRegion, ui->toolButtonModePolygon, ui->toolButtonModeWindow,
                                ui->toolButtonModeScrolling, ui->toolButtonModeFullScreen})
        button->setStyleSheet(sToolButtonStyleMode());
}

// ---------------------------------------------------------------------------
// Capture trigger

void DMainDialog::on_toolButtonModeRegion_clicked()
{
    config()->setRegionType(DD::RegionRectangle);
    capture(DD::Region);
}

void DMainDialog::on_toolButtonModePolygon_clicked()
{
    config()->setRegionType(DD::RegionPolygon);
    capture(DD::Region);
}

void DMainDialog::on_toolButtonModeWindow_clicked()
{
    capture(DD::Window);
}

void DMainDialog::on_toolButtonModeScrolling_clicked()
{
    capture(DD::Scrolling);
}

void DMainDialog::on_toolButtonModeFullScreen_clicked()
{
    capture(DD::FullScreen);
}

void DMainDialog::capture(DD::enumCaptureMode mode)
{
    // A request while another capture still waits replaces it: one timer only.
    const bool replacing = m_nTimerId != 0;
    if (m_nTimerId) {
        killTimer(m_nTimerId);
        m_nTimerId = 0;
    }
    m_trayIcon.setVisible(false);
    recordWindow(replacing);
    m_captureMode = mode;
    if (!isVisible()) {
        m_nTimerId = startTimer(IntervalWhenHidden, Qt::PreciseTimer);
        return;
    }
    if (isMinimized()) {
        hideForGrab();
        m_nTimerId = startTimer(IntervalWhenMinimized, Qt::PreciseTimer);
    } else {
        showMinimized();
        m_nTimerId = startTimer(IntervalWhenShown, Qt::PreciseTimer);
    }
}

int DMainDialog::restoreFlagsOfWindow() const
{
    if (!isVisible())
        return 0;
    return isMinimized() ? int(RestoreGeometry) : RestoreGeometry | RestoreShowNormal;
}

void DMainDialog::recordWindow(bool replacing)
{
    const int found = restoreFlagsOfWindow();
    // A request that replaces a waiting one finds the window minimised or
    // hidden by that request: what the earlier request saw stands, unless the
    // window has been shown more since (the flags nest: 1 comes with 8).
    if (replacing && !(found & ~m_nRestoreFlags))
        return;
    m_nRestoreFlags = found;
    m_savedSize = size();
    m_savedPosition = pos();
}

void DMainDialog::timerEvent(QTimerEvent* event)
{
    if (m_nTimerId && event->timerId() == m_nTimerId) {
        if (isVisible()) {
            hideForGrab();
        } else {
            killTimer(m_nTimerId);
            m_nTimerId = 0;
            showSelector();
            if (m_nRestoreFlags & RestoreShowNormal) {
                resize(m_savedSize);
                move(m_savedPosition);
                showNormal();
                activateWindow();
                raise();
                if (m_bMinimizeOutstanding)
                    m_restoredAt.start();
                else
                    m_restoredAt.invalidate();
            } else if (m_nRestoreFlags & RestoreGeometry) {
                resize(m_savedSize);
                move(m_savedPosition);
            }
        }
    }
    QDialog::timerEvent(event);
}

void DMainDialog::hideForGrab()
{
    // The window minimised itself for the capture: still shown on the screen,
    // it is waiting for the window manager, which may carry the request out
    // only after the window came back. Minimised by then, it is no longer
    // waiting, and every later minimise is the user's own.
    const QWindow* handle = windowHandle();
    m_bMinimizeOutstanding = (m_nRestoreFlags & RestoreShowNormal) && handle && handle->isExposed();
    setVisible(false);
}

QScreen* DMainDialog::screenOfWindow() const
{
    QScreen* screen = windowHandle() ? windowHandle()->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::screenAt(frameGeometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen;
}

void DMainDialog::showSelector()
{
    QPixmap screenshot;
    QRect screenRect;
    if (QScreen* screen = screenOfWindow()) {
        // Exactly the monitor that shows this window, in the display's own
        // pixels: the window tree's rectangles are in those pixels too,
        // whatever scale factor Qt applies to its own coordinates.
        const DScreenGrabber& grabber = DScreenGrabber::current();
        screenRect = grabber.monitorShowing(screen, frameGeometry().center());
        screenshot = QPixmap::fromImage(grabber.grab(screenRect));
    }
    if (m_captureMode == DD::FullScreen)
        runFullScreenOutput(screenshot);
    else
        runCaptureOverlay(m_captureMode, screenshot, screenRect);
    // The capture may have changed settings ("RegionType" among them).
    initializeFromSettings();
    m_trayIcon.setVisible(true);
}

void DMainDialog::runFullScreenOutput(const QPixmap& screenshot)
{
    DDialogPromptTarget dialog(this, screenshot.toImage());
    dialog.setVisible(true);
    dialog.activateWindow();
    dialog.exec();
}

void DMainDialog::runCaptureOverlay(DD::enumCaptureMode mode, const QPixmap& screenshot, const QRect& screenRect)
{
    // The windows on the grabbed screen, for the overlay's window picking.
    DWidgetData windows;
    DWidgetDataBuilder::buildWithHierarchy(windows, screenRect);
    DFullScreenSelector overlay(this);
    // The overlay covers the screen that was grabbed.
    overlay.setCaptureScreen(screenOfWindow());
    overlay.capture(mode, screenshot, windows);
}

void DMainDialog::closeEvent(QCloseEvent* event)
{
    if (config()->hasSystemTray()) {
        event->ignore();
        setVisible(false);
    } else {
        QCoreApplication::quit();
    }
}

void DMainDialog::reject()
{
    // Escape: the same as closing the window, so that without the tray the
    // program ends instead of running on with no window at all.
    close();
}

void DMainDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    emit shown();
}

void DMainDialog::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit hidden();
}

void DMainDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    if (event->type() == QEvent::WindowStateChange)
        undoLateMinimize();
}

void DMainDialog::undoLateMinimize()
{
    // The window manager carries out the minimise request that hid the window
    // for the grab in its own time: on a busy desktop it lands after the
    // window came back, and would leave it minimised. Shown again once, and
    // only when that request was still outstanding as the window was hidden.
    const int LateMinimizeWindow = 3000;
    if (!isMinimized() || !m_restoredAt.isValid() || m_restoredAt.elapsed() > LateMinimizeWindow)
        return;
    m_restoredAt.invalidate();
    QTimer::singleShot(0, this, [this]() {
        showNormal();
        activateWindow();
        raise();
    });
}

// ---------------------------------------------------------------------------
// Settings pages

void DMainDialog::initializeContextMenu()
{
    m_pHelpMenu->addAction(QIcon(QStringLiteral(":/images/mail_post_to.png")), tr("Email Support"), this,
                           SLOT(onHelpEmail()));
    m_pHelpMenu->addAction(QIcon(QStringLiteral(":/images/form.png")), tr("Submit Issue Online"), this,
                           SLOT(onHelpTicket()));
    m_pHelpMenu->addAction(QIcon(QStringLiteral(":/images/internet.png")), tr("Product Homepage"), this,
                           SLOT(onHelpProductWebPage()));
}

void DMainDialog::initializeControls()
{
    ui->tabWidgetSettings->hide();
    ui->widgetJpegOptions->hide();
    ui->widgetAutomaticSaveOptions->hide();
    // Whole numbers from 0 to 5000. An integer validator would let 5001 to 9999
    // through as "intermediate" input, and the field stores every edit.
    ui->lineEditScorllingInterval->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}|[0-4][0-9]{3}|5000")), this));
    fitDigits(ui->lineEditScorllingInterval, 4);
    ui->horizontalWidgetTitle->setStyleSheet(sDarkStrip());
    ui->horizontalWidgetBottom->setStyleSheet(sDarkStrip());
    ui->labelTellFriend->setText(
        tr("<a href=\"%1\"><span style=\"text-decoration: underline; color:#90aaff;\">Tell a Friend</span></a>"
           " and help keep this tool Free!")
            .arg(DProduct::tellFriend().toString(QUrl::FullyEncoded).toHtmlEscaped()));
    ui->lineEditHotkeyRegion->setCaptureMode(DD::Region);
    ui->lineEditHotkeyWindow->setCaptureMode(DD::Window);
    ui->lineEditHotkeyScrolling->setCaptureMode(DD::Scrolling);
    ui->lineEditHotkeyFullScreen->setCaptureMode(DD::FullScreen);
    if (!config()->showTellFriend())
        on_toolButtonDontShowTellFriend_clicked();
}

void DMainDialog::initializeFromSettings()
{
    DConfigCapture* c = config();
    ui->checkBoxIncludeCursor->setChecked(c->includeCursor());
    ui->lineEditScorllingInterval->setText(QString::number(c->scrollingInterval()));
    ui->checkBoxAutoRun->setChecked(c->isAutoRun());
    ui->checkBoxSystemTray->setChecked(c->hasSystemTray());
    ui->checkBoxInstantSystemTrayMenu->setChecked(c->showTrayInstantMenu());
    if (c->nameMethod() == 0)
        ui->radioButtonAskForName->setChecked(true);
    if (c->nameMethod() == 1)
        ui->radioButtonAutomaticName->setChecked(true);
    ui->lineEditAutomaticSaveFolder->setText(c->automaticSaveFolder());
    updateNamePreview();
    switch (c->targetFormat()) {
    case DD::BMP:
        ui->radioButtonBMP->setChecked(true);
        break;
    case DD::JPG:
        ui->radioButtonJPG->setChecked(true);
        break;
    case DD::PNG:
        ui->radioButtonPNG->setChecked(true);
        break;
    default:
        break;
    }
    ui->horizontalSliderJpgQuality->setValue(static_cast<int>(c->jpgQuality()));
    ui->lineEditHotkeyRegion->setText(c->hotkey(DD::Region).toString());
    ui->lineEditHotkeyWindow->setText(c->hotkey(DD::Window).toString());
    ui->lineEditHotkeyScrolling->setText(c->hotkey(DD::Scrolling).toString());
    ui->lineEditHotkeyFullScreen->setText(c->hotkey(DD::FullScreen).toString());
    ui->checkBoxUseHotkeyRegion->setChecked(c->isUseHotkey(DD::Region));
    ui->checkBoxUseHotkeyWindow->setChecked(c->isUseHotkey(DD::Window));
    ui->checkBoxUseHotkeyScrolling->setChecked(c->isUseHotkey(DD::Scrolling));
    ui->checkBoxUseHotkeyFullScreen->setChecked(c->isUseHotkey(DD::FullScreen));
    ui->checkBoxAutoUpdate->setChecked(c->autoUpdate());
}

void DMainDialog::fitDigits(QLineEdit* edit, int digits)
{
    // As wide as the widest number of that many digits needs, with the room
    // the line edit keeps beside its text (2 pixels each side and the cursor)
    // and the frame its style draws.
    int widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widest = qMax(widest, edit->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char(digit))));
    const QMargins text = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    const int inner = widest + 2 * 2 + 1 + text.left() + text.right() + contents.left() + contents.right();
    QStyle* style = edit->style();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QSize content(inner, edit->sizeHint().height());
    edit->setFixedWidth(style->sizeFromContents(QStyle::CT_LineEdit, &option, content, edit).width());
}

void DMainDialog::updateNamePreview()
{
    // The name a save writes, below the save folder.
    m_namePreview = DUtility::automaticName().relativePath();
    showNamePreview();
}

void DMainDialog::showNamePreview()
{
    // The label takes the width the window gives it, not that of the name: a
    // name too long for it is cut in the middle (its extension stays), and
    // the whole of it is the label's tool tip. A hidden label has no width
    // of its own yet and holds the whole name.
    QLabel* label = ui->labelAutomaticNamePreview;
    const QString shown = label->isVisible()
        ? label->fontMetrics().elidedText(m_namePreview, Qt::ElideMiddle, label->contentsRect().width())
        : m_namePreview;
    label->setText(shown);
    label->setToolTip(shown == m_namePreview ? m_namePreviewToolTip : m_namePreview);
}

void DMainDialog::initializeShape()
{
    // As the form has them, before the layout first sets its own.
    m_formMinimumSize = minimumSize();
    m_formMaximumSize = maximumSize();
    m_namePreviewToolTip = ui->labelAutomaticNamePreview->toolTip();
    // Showing a part of the window lays the window out at once, without an
    // event of its own: the parts are watched too.
    installEventFilter(this);
    for (QWidget* part : findChildren<QWidget*>())
        part->installEventFilter(this);
}

void DMainDialog::keepFormSizeLimits()
{
    // The top layout's constraint hands the window the size limits of what
    // it shows, so that it follows the height of its visible contents; the
    // form's own limits (fixed width, least and greatest height) hold over them.
    const int lowest = qBound(m_formMinimumSize.height(), minimumHeight(), m_formMaximumSize.height());
    const int highest = qBound(lowest, maximumHeight(), m_formMaximumSize.height());
    const QSize minimum(m_formMinimumSize.width(), lowest);
    const QSize maximum(m_formMaximumSize.width(), highest);
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    if (maximumSize() != maximum)
        setMaximumSize(maximum);
}

bool DMainDialog::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // The layout sets its limits when it lays the window out again: before the
    // window sees these, and before a part of it shown sees its Show.
    if ((watched == this && (type == QEvent::LayoutRequest || type == QEvent::Resize)) || type == QEvent::Show)
        keepFormSizeLimits();
    if (watched == ui->labelAutomaticNamePreview && (type == QEvent::Resize || type == QEvent::Show))
        showNamePreview();
    return QDialog::eventFilter(watched, event);
}

void DMainDialog::condenseWindow()
{
    setFixedHeight(1);
}

void DMainDialog::on_checkBoxIncludeCursor_toggled(bool checked)
{
    config()->setIncludeCursor(checked);
}

void DMainDialog::on_lineEditScorllingInterval_textEdited(const QString& text)
{
    // An empty field stores 0 (toInt of an empty text).
    config()->setScrollingInterval(text.toInt(nullptr, 10));
}

void DMainDialog::on_checkBoxInstantSystemTrayMenu_toggled(bool checked)
{
    config()->setShowTrayInstantMenu(checked);
}

void DMainDialog::on_checkBoxAutoRun_toggled(bool checked)
{
    config()->setAutoRun(checked);
}

void DMainDialog::on_checkBoxSystemTray_toggled(bool checked)
{
    config()->setSystemTray(checked);
}

void DMainDialog::on_checkBoxAutoUpdate_toggled(bool checked)
{
    config()->setAutoUpdate(checked);
}

void DMainDialog::on_radioButtonAskForName_toggled(bool checked)
{
    if (checked)
        config()->setNameMethod(0);
}

void DMainDialog::on_radioButtonAutomaticName_toggled(bool checked)
{
    if (checked)
        config()->setNameMethod(1);
}

void DMainDialog::on_lineEditAutomaticSaveFolder_textChanged(const QString& text)
{
    config()->setAutomaticSaveFolder(text);
}

void DMainDialog::on_radioButtonPNG_toggled(bool checked)
{
    if (checked)
        config()->setTargetFormat(DD::PNG);
}

void DMainDialog::on_radioButtonJPG_toggled(bool checked)
{
    if (checked)
        config()->setTargetFormat(DD::JPG);
}

void DMainDialog::on_radioButtonBMP_toggled(bool checked)
{
    if (checked)
        config()->setTargetFormat(DD::BMP);
}

void DMainDialog::on_horizontalSliderJpgQuality_valueChanged(int value)
{
    config()->setJpgQuality(static_cast<unsigned int>(value));
}

void DMainDialog::on_pushButtonAutomaticOptions_clicked()
{
    DDialogFileOptions dialog(this);
    dialog.exec();
    // The dialog may have changed the name settings whatever its result.
    updateNamePreview();
}

QString DMainDialog::chooseFolder(const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(this, tr("Select a directory"), startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

void DMainDialog::on_toolButtonSelectAutomaticSaveFolder_clicked()
{
    const QString folder = chooseFolder(config()->automaticSaveFolder());
    // A cancelled chooser returns an empty path: keep the folder as it was.
    if (folder.isEmpty())
        return;
    ui->lineEditAutomaticSaveFolder->setText(folder);
}

void DMainDialog::on_toolButtonAdvancedOptions_clicked()
{
    if (ui->tabWidgetSettings->isVisible()) {
        ui->tabWidgetSettings->hide();
        ui->toolButtonAdvancedOptions->setIcon(QIcon(QStringLiteral(":/images/Zorvelshot-More-Show.png")));
        condenseWindow();
    } else {
        ui->tabWidgetSettings->show();
        ui->toolButtonAdvancedOptions->setIcon(QIcon(QStringLiteral(":/images/Zorvelshot-More-Hide.png")));
    }
    resize(width(), baseSize().height());
}

void DMainDialog::on_toolButtonAbout_clicked()
{
    DDialogAbout dialog(this);
    dialog.exec();
}

void DMainDialog::on_toolButtonDontShowTellFriend_clicked()
{
    config()->setShowTellFriend(false);
    ui->horizontalWidgetBottom->hide();
    if (!m_bTellFriendEntryAdded) {
        m_pHelpMenu->addAction(QIcon(QStringLiteral(":/images/bookmark.png")), tr("Tell a Friend"), this,
                               SLOT(onHelpTellFriend()));
        m_bTellFriendEntryAdded = true;
    }
}

void DMainDialog::useHotkeyToggled(DD::enumCaptureMode mode, bool checked)
{
    DHotkeyEdit* edits[] = {ui->lineEditHotkeyRegion, ui->lineEditHotkeyWindow, ui->lineEditHotkeyScrolling,
                            ui->lineEditHotkeyFullScreen};
    QToolButton* defaults[] = {ui->toolButtonDefaultHotkeyRegion, ui->toolButtonDefaultHotkeyWindow,
                               ui->toolButtonDefaultHotkeyScrolling, ui->toolButtonDefaultHotkeyFullScreen};
    edits[mode]->setEnabled(checked);
    defaults[mode]->setEnabled(checked);
    config()->setUseHotkey(mode, checked);
    setHotkey(checked, edits[mode], config()->hotkey(mode));
}

void DMainDialog::on_checkBoxUseHotkeyRegion_toggled(bool checked)
{
    useHotkeyToggled(DD::Region, checked);
}

void DMainDialog::on_checkBoxUseHotkeyWindow_toggled(bool checked)
{
    useHotkeyToggled(DD::Window, checked);
}

void DMainDialog::on_checkBoxUseHotkeyScrolling_toggled(bool checked)
{
    useHotkeyToggled(DD::Scrolling, checked);
}

void DMainDialog::on_checkBoxUseHotkeyFullScreen_toggled(bool checked)
{
    useHotkeyToggled(DD::FullScreen, checked);
}

void DMainDialog::on_toolButtonDefaultHotkeyRegion_clicked()
{
    setHotkeyByDefault(ui->lineEditHotkeyRegion);
}

void DMainDialog::on_toolButtonDefaultHotkeyWindow_clicked()
{
    setHotkeyByDefault(ui->lineEditHotkeyWindow);
}

void DMainDialog::on_toolButtonDefaultHotkeyScrolling_clicked()
{
    setHotkeyByDefault(ui->lineEditHotkeyScrolling);
}

void DMainDialog::on_toolButtonDefaultHotkeyFullScreen_clicked()
{
    setHotkeyByDefault(ui->lineEditHotkeyFullScreen);
}

void DMainDialog::setHotkey(bool enable, DHotkeyEdit* edit, const DHotkey& hotkey)
{
    if (!enable)
        DUtility::unsetHotkey(static_cast<DD::enumCaptureMode>(edit->captureMode()));
    else
        edit->setHotkey(hotkey);
}

void DMainDialog::setHotkeyByDefault(DHotkeyEdit* edit)
{
    QMenu menu;
    QList<DHotkey> hotkeys;
    for (int mode = DD::Region; mode <= DD::FullScreen; ++mode) {
        const DHotkey hotkey = config()->defaultHotkey(static_cast<DD::enumCaptureMode>(mode));
        QAction* action = menu.addAction(hotkey.toString());
        action->setData(mode);
        hotkeys.append(hotkey);
    }
    QAction* chosen = menu.exec(QCursor::pos());
    if (chosen)
        setHotkey(true, edit, hotkeys.at(chosen->data().toInt()));
}

// ---------------------------------------------------------------------------
// Help menu

void DMainDialog::onHelpEmail()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + DProduct::emailCustomerService()));
}

void DMainDialog::onHelpTicket()
{
    QDesktopServices::openUrl(DProduct::onlineTicket());
}

void DMainDialog::onHelpProductWebPage()
{
    QDesktopServices::openUrl(DProduct::linkToProduct());
}

void DMainDialog::onHelpTellFriend()
{
    QDesktopServices::openUrl(DProduct::tellFriend());
}
