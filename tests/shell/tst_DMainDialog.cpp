// The main window offscreen: what the first start writes, the controls and
// their settings keys, the tray menu and panel, the help menu, the options
// panel, the folder chooser, closing, and a capture from a hidden window.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

#include "DConfigCapture.h"
#include "DDialogAbout.h"
#include "DDialogFileOptions.h"
#include "DFakeScreenGrabber.h"
#include "DHotkeyEdit.h"
#include "DLinuxPlatformServices.h"
#include "DMainDialog.h"
#include "DProgramGlobals.h"
#include "DShapedTrayPanel.h"
#include "DUtility.h"
#include "DWithinOneSecond.h"
#include "ui_DMainDialog.h"

// The main window with its capture roads and folder chooser observed.
class ObservedMainDialog : public DMainDialog
{
public:
    int m_nOverlayRuns = 0;
    int m_nFullScreenRuns = 0;
    DD::enumCaptureMode m_lastMode = DD::Scrolling;
    QRect m_lastScreenRect;
    QPixmap m_lastScreenshot;
    bool m_bVisibleDuringGrab = true;
    bool m_bTrayVisibleDuringGrab = true;
    QString m_chosenFolder;
    QString m_chooserStart;

protected:
    void runFullScreenOutput(const QPixmap& screenshot) override
    {
        m_lastScreenshot = screenshot;
        ++m_nFullScreenRuns;
        m_lastMode = DD::FullScreen;
        noteState();
    }
    void runCaptureOverlay(DD::enumCaptureMode mode, const QPixmap& screenshot, const QRect& screenRect) override
    {
        m_lastScreenshot = screenshot;
        ++m_nOverlayRuns;
        m_lastMode = mode;
        m_lastScreenRect = screenRect;
        noteState();
        // The overlay may change settings; the window reloads them afterwards.
        DSingleton<DConfigCapture>::instance()->m_pSettings->setValue(QStringLiteral("TargetFormat"), 2);
    }
    QString chooseFolder(const QString& startFolder) override
    {
        m_chooserStart = startFolder;
        return m_chosenFolder;
    }

private:
    void noteState()
    {
        m_bVisibleDuringGrab = isVisible();
        m_bTrayVisibleDuringGrab = trayIcon()->isVisible();
    }
};

class tst_DMainDialog : public QObject
{
    Q_OBJECT

private:
    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }
    QStringList visibleEntries(QMenu* menu) const;
    // Clicks the button and gives the class of the modal dialog it opened;
    // whileOpen runs while that dialog is up, before it is closed.
    static QString modalOpenedBy(QAbstractButton* button, const std::function<void()>& whileOpen = {});

    QTemporaryDir m_dir;
    int m_nFile = 0;
    QStringList m_firstStartKeys;
    bool m_bAutostartAfterFirstStart = false;

private slots:
    void initTestCase();
    void init();
    void firstStartWritesTheKeysItsControlsChange();
    void untickingAutoRunRemovesTheAutostartEntry();
    void windowShapeAndTexts();
    void hiddenControlsAndRemovedKeyboardPage();
    void styleSheets();
    void trayMenuEntriesInOrder();
    void instantPanelButtons();
    void helpMenu_data();
    void helpMenu();
    void hidingTheStripAddsTellAFriendOnce();
    void controlsLoadFromSettings();
    void checkBoxesWriteTheirKeys_data();
    void checkBoxesWriteTheirKeys();
    void radioButtonsWriteTheirKeys();
    void scrollingIntervalStoresWhatTheUserTypes();
    void scrollingIntervalShowsFourDigits_data();
    void scrollingIntervalShowsFourDigits();
    void jpegChoiceShowsTheQualitySlider();
    void automaticNameEnablesTheFolderField();
    void sliderStoresUnsignedQuality();
    void namePreview_data();
    void namePreview();
    void previewIsTheNameASaveWrites_data();
    void previewIsTheNameASaveWrites();
    void windowKeepsItsShapeWhateverThePreview_data();
    void windowKeepsItsShapeWhateverThePreview();
    void advancedOptionsFoldsBack();
    void folderChooser();
    void folderChooserCancelledKeepsTheFolder();
    void emptyStoredFolderShowsTheDefault();
    void aboutOpensTheAboutBox();
    void optionsOpensTheFileOptionsAndRefreshesThePreview();
    void useHotkeyEnablesItsRow();
    void garbageHotkeyShowsNothing();
    void defaultHotkeyMenu();
    void closeKeepsRunningInTheTray();
    void closeWithoutTrayQuits();
    void regionButtonsWriteTheRegionType();
    void captureFromHiddenWindow();
    void grabCoversTheMonitorThatShowsTheWindow_data();
    void grabCoversTheMonitorThatShowsTheWindow();
    void fullScreenTakesItsOwnRoad();
    void secondCaptureReplacesTheWaitingOne();
    void secondRequestKeepsHowTheWindowComesBack_data();
    void secondRequestKeepsHowTheWindowComesBack();
    void mainWindowIdIsRecorded();
    void settingsFileOfRandomBytes();
    void outOfRangeValuesShowWhatSavingDoes();
};

QStringList tst_DMainDialog::visibleEntries(QMenu* menu) const
{
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return entries;
}

void tst_DMainDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // As the program's start does: the autostart entry is a real one, in this
    // test's private home.
    installLinuxPlatformServices();
    // The first start: the real settings file of this private home is empty.
    QVERIFY(settings()->allKeys().isEmpty());
    QVERIFY(!DUtility::deleteAppFromLoginItem(true));
    {
        DMainDialog window;
        m_firstStartKeys = settings()->allKeys();
        m_firstStartKeys.sort();
        m_bAutostartAfterFirstStart = DUtility::deleteAppFromLoginItem(true);
    }
}

void tst_DMainDialog::init()
{
    if (QTest::currentTestFunction() == QLatin1String("firstStartWritesTheKeysItsControlsChange"))
        return;
    const QString path = m_dir.filePath(QStringLiteral("settings%1.ini").arg(++m_nFile));
    delete settings();
    DSingleton<DConfigCapture>::instance()->m_pSettings = new QSettings(path, QSettings::IniFormat);
}

void tst_DMainDialog::firstStartWritesTheKeysItsControlsChange()
{
    // Loading the controls writes back every key whose control changed state
    // from its form value; nothing else.
    QStringList expected{QStringLiteral("AutoRun"),          QStringLiteral("AutoUpdate"),
                         QStringLiteral("AutomaticSaveFolder"), QStringLiteral("NameMethod"),
                         QStringLiteral("ShowTrayInstantMenu"), QStringLiteral("SystemTray")};
    expected.sort();
    QCOMPARE(m_firstStartKeys, expected);
    QCOMPARE(settings()->value(QStringLiteral("AutoRun")).toBool(), true);
    QCOMPARE(settings()->value(QStringLiteral("NameMethod")).toInt(), 1);
    QCOMPARE(settings()->value(QStringLiteral("AutomaticSaveFolder")).toString(),
             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QVERIFY(m_bAutostartAfterFirstStart);
}

void tst_DMainDialog::untickingAutoRunRemovesTheAutostartEntry()
{
    ObservedMainDialog window;
    QVERIFY(window.form()->checkBoxAutoRun->isChecked());
    QVERIFY(DUtility::deleteAppFromLoginItem(true));
    window.form()->checkBoxAutoRun->click();
    QCOMPARE(settings()->value(QStringLiteral("AutoRun")).toBool(), false);
    QVERIFY(!DUtility::deleteAppFromLoginItem(true));
    window.form()->checkBoxAutoRun->click();
    QVERIFY(DUtility::deleteAppFromLoginItem(true));
}

void tst_DMainDialog::windowShapeAndTexts()
{
    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    QCOMPARE(window.windowTitle(), QStringLiteral("Zorvelshot"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Zorvelshot"));
    QVERIFY(window.windowFlags() & Qt::WindowSystemMenuHint);
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(window.minimumWidth(), 425);
    QCOMPARE(window.maximumWidth(), 425);
    QCOMPARE(window.layout()->sizeConstraint(), QLayout::SetMinAndMaxSize);
    QCOMPARE(window.layout()->spacing(), 0);
    QVERIFY(!window.isVisible());

    QCOMPARE(ui->toolButtonModeRegion->text(), QStringLiteral("&Region"));
    QCOMPARE(ui->toolButtonModePolygon->text(), QStringLiteral("&Polygon"));
    QCOMPARE(ui->toolButtonModeWindow->text(), QStringLiteral("&Window"));
    QCOMPARE(ui->toolButtonModeScrolling->text(), QStringLiteral("&Scrolling"));
    QCOMPARE(ui->toolButtonModeFullScreen->text(), QStringLiteral("F&ullScreen"));
    for (QToolButton* mode : {ui->toolButtonModeRegion, ui->toolButtonModePolygon, ui->toolButtonModeWindow,
                              ui->toolButtonModeFullScreen}) {
        QCOMPARE(mode->iconSize(), QSize(64, 64));
        QCOMPARE(mode->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(mode->minimumHeight() >= 90);
        QVERIFY(mode->autoRaise());
        QVERIFY(!mode->icon().pixmap(64, 64).isNull());
    }
    QVERIFY(ui->toolButtonModeRegion->toolTip().startsWith(
        QStringLiteral("Captures any user-defined rectangular region. This is good option\n")));
    QCOMPARE(ui->toolButtonModePolygon->toolTip(), ui->toolButtonModeRegion->toolTip());
    QCOMPARE(ui->toolButtonModeWindow->toolTip(), QStringLiteral("Captures all or part of any window you specify. "));
    QCOMPARE(ui->toolButtonAdvancedOptions->text(), QStringLiteral("Advanced &Options"));
    QCOMPARE(ui->toolButtonAdvancedOptions->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(ui->toolButtonAbout->text(), QStringLiteral("&About"));
    QCOMPARE(ui->toolButtonHelp->text(), QStringLiteral("&Help"));
    QCOMPARE(ui->toolButtonHelp->popupMode(), QToolButton::InstantPopup);
    QCOMPARE(ui->toolButtonHelp->menu(), window.helpMenu());
    QCOMPARE(ui->toolButtonAbout->toolTip(),
             QStringLiteral("Display the software version number and license information."));
    QCOMPARE(ui->toolButtonDontShowTellFriend->text(), QStringLiteral("hide"));
    QVERIFY(ui->labelTellFriend->text().contains(QStringLiteral("share.php?prod=Zorvelshot")));
    QVERIFY(ui->labelTellFriend->text().contains(QStringLiteral(" and help keep this tool Free!")));
    QVERIFY(ui->labelTellFriend->openExternalLinks());
    QCOMPARE(ui->checkBoxAutoRun->text(), QStringLiteral("Automatically run Zorvelshot when I log on to &Windows."));
    QCOMPARE(ui->checkBoxSystemTray->text(), QStringLiteral("Close to &system tray icon."));
    QCOMPARE(ui->radioButtonPNG->text(), QStringLiteral("PNG (Protable Network Graphics)"));
    QCOMPARE(ui->label_2->text(), QStringLiteral("miliseconds (0~5000)"));
    QCOMPARE(ui->horizontalSliderJpgQuality->minimum(), 1);
    QCOMPARE(ui->horizontalSliderJpgQuality->maximum(), 100);
    QCOMPARE(ui->horizontalSliderJpgQuality->tickPosition(), QSlider::TicksAbove);
}

void tst_DMainDialog::hiddenControlsAndRemovedKeyboardPage()
{
    ObservedMainDialog window;
    window.show();
    Ui_DMainDialog* ui = window.form();
    QVERIFY(!ui->toolButtonModeScrolling->isVisible());
    QVERIFY(ui->toolButtonModeRegion->isVisible());
    QVERIFY(!ui->tabWidgetSettings->isVisible());
    QCOMPARE(ui->tabWidgetSettings->count(), 2);
    QCOMPARE(ui->tabWidgetSettings->tabText(0), QStringLiteral("General"));
    QCOMPARE(ui->tabWidgetSettings->tabText(1), QStringLiteral("Output File"));
    QCOMPARE(ui->tabWidgetSettings->currentIndex(), 0);
    QCOMPARE(ui->tabWidgetSettings->indexOf(ui->tabSettingsKeyboard), -1);
    ui->toolButtonAdvancedOptions->click();
    QVERIFY(ui->tabWidgetSettings->isVisible());
    QVERIFY(!ui->checkBoxIncludeCursor->isVisible());
    QVERIFY(ui->checkBoxAutoRun->isVisible());
    // The hotkey fields live on, loaded, but are never on screen.
    QVERIFY(!ui->lineEditHotkeyRegion->isVisible());
    QCOMPARE(ui->lineEditHotkeyRegion->captureMode(), DD::Region);
    QCOMPARE(ui->lineEditHotkeyWindow->captureMode(), DD::Window);
    QCOMPARE(ui->lineEditHotkeyScrolling->captureMode(), DD::Scrolling);
    QCOMPARE(ui->lineEditHotkeyFullScreen->captureMode(), DD::FullScreen);
}

void tst_DMainDialog::styleSheets()
{
    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    QVERIFY(ui->toolButtonAbout->styleSheet().contains(QStringLiteral("border-radius: 8px;")));
    QCOMPARE(ui->toolButtonHelp->styleSheet(), ui->toolButtonAbout->styleSheet());
    QCOMPARE(ui->toolButtonDontShowTellFriend->styleSheet(), ui->toolButtonAbout->styleSheet());
    QVERIFY(ui->toolButtonAdvancedOptions->styleSheet().contains(QStringLiteral("border-radius: 13px;")));
    QVERIFY(ui->toolButtonModeRegion->styleSheet().contains(QStringLiteral("padding: 0 5px 0 5px;")));
    QCOMPARE(ui->toolButtonModeScrolling->styleSheet(), ui->toolButtonModeRegion->styleSheet());
    QCOMPARE(ui->horizontalWidgetTitle->styleSheet(), QStringLiteral(".QWidget { background-color: rgb(70,70,70); }"));
    QCOMPARE(ui->horizontalWidgetBottom->styleSheet(), ui->horizontalWidgetTitle->styleSheet());
    QCOMPARE(ui->toolButtonAbout->palette().color(QPalette::Active, QPalette::ButtonText), QColor(241, 239, 236));
    QCOMPARE(ui->toolButtonAbout->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(120, 120, 120));
}

void tst_DMainDialog::trayMenuEntriesInOrder()
{
    ObservedMainDialog window;
    QMenu* menu = window.trayIcon()->menu();
    const QStringList hidden{QStringLiteral("&Show Main Window"), QStringLiteral("-"),
                             QStringLiteral("Capture Rectangle Area"), QStringLiteral("Capture Polygon Area"),
                             QStringLiteral("Capture Window"), QStringLiteral("Capture Full Screen"),
                             QStringLiteral("-"), QStringLiteral("E&xit")};
    QCOMPARE(visibleEntries(menu), hidden);
    QVERIFY(window.trayIcon()->isVisible());
    window.show();
    QStringList shown = hidden;
    shown[0] = QStringLiteral("&Hide Main Window");
    QCOMPARE(visibleEntries(menu), shown);
    window.hide();
    QCOMPARE(visibleEntries(menu), hidden);

    // Each capture entry starts its mode.
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String("Capture Full Screen"))
            action->trigger();
    }
    QTRY_COMPARE(window.m_nFullScreenRuns, 1);
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String("Capture Window"))
            action->trigger();
    }
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
    QCOMPARE(window.m_lastMode, DD::Window);
}

void tst_DMainDialog::instantPanelButtons()
{
    ObservedMainDialog window;
    const QList<QToolButton*> buttons = window.trayIcon()->panel()->findChildren<QToolButton*>();
    QStringList tips;
    for (QToolButton* button : buttons)
        tips << button->toolTip();
    QCOMPARE(tips, (QStringList{QStringLiteral("Capture Rectangle Area"), QStringLiteral("Capture Polygon Area"),
                                QStringLiteral("Capture Window"), QStringLiteral("Capture Full Screen")}));
    // The panel button of the polygon starts a region capture as a polygon.
    buttons.at(1)->click();
    QCOMPARE(settings()->value(QStringLiteral("RegionType")).toInt(), 1);
    QVERIFY(window.isCaptureWaiting());
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
    QCOMPARE(window.m_lastMode, DD::Region);
}

void tst_DMainDialog::helpMenu_data()
{
    QTest::addColumn<bool>("showTellFriend");
    QTest::addColumn<QStringList>("entries");
    const QStringList three{QStringLiteral("Email Support"), QStringLiteral("Submit Issue Online"),
                            QStringLiteral("Product Homepage")};
    QTest::newRow("strip shown") << true << three;
    QTest::newRow("strip hidden") << false << (QStringList(three) << QStringLiteral("Tell a Friend"));
}

void tst_DMainDialog::helpMenu()
{
    QFETCH(bool, showTellFriend);
    QFETCH(QStringList, entries);
    settings()->setValue(QStringLiteral("ShowTellFriend"), showTellFriend);
    ObservedMainDialog window;
    window.show();
    QCOMPARE(visibleEntries(window.helpMenu()), entries);
    QCOMPARE(window.form()->horizontalWidgetBottom->isVisible(), showTellFriend);
    for (QAction* action : window.helpMenu()->actions())
        QVERIFY(!action->icon().pixmap(16, 16).isNull());
}

void tst_DMainDialog::hidingTheStripAddsTellAFriendOnce()
{
    ObservedMainDialog window;
    window.show();
    QVERIFY(window.form()->horizontalWidgetBottom->isVisible());
    window.form()->toolButtonDontShowTellFriend->click();
    QVERIFY(!window.form()->horizontalWidgetBottom->isVisible());
    QCOMPARE(settings()->value(QStringLiteral("ShowTellFriend")).toBool(), false);
    QCOMPARE(window.helpMenu()->actions().size(), 4);
    window.on_toolButtonDontShowTellFriend_clicked();
    QCOMPARE(window.helpMenu()->actions().size(), 4);
}

void tst_DMainDialog::controlsLoadFromSettings()
{
    QSettings* s = settings();
    s->setValue(QStringLiteral("ScrollingInterval"), 1200);
    s->setValue(QStringLiteral("ShowTrayInstantMenu"), false);
    s->setValue(QStringLiteral("SystemTray"), false);
    s->setValue(QStringLiteral("AutoRun"), false);
    s->setValue(QStringLiteral("AutoUpdate"), false);
    s->setValue(QStringLiteral("NameMethod"), 0);
    s->setValue(QStringLiteral("AutomaticSaveFolder"), QStringLiteral("/srv/shots"));
    s->setValue(QStringLiteral("TargetFormat"), 1);
    s->setValue(QStringLiteral("JpgQuality"), 33u);
    s->setValue(QStringLiteral("UseHotkeyWindow"), true);
    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    QCOMPARE(ui->lineEditScorllingInterval->text(), QStringLiteral("1200"));
    QVERIFY(!ui->checkBoxInstantSystemTrayMenu->isChecked());
    QVERIFY(!ui->checkBoxSystemTray->isChecked());
    QVERIFY(!ui->checkBoxAutoRun->isChecked());
    QVERIFY(!ui->checkBoxAutoUpdate->isChecked());
    QVERIFY(ui->radioButtonAskForName->isChecked());
    QVERIFY(!ui->lineEditAutomaticSaveFolder->isEnabled());
    QCOMPARE(ui->lineEditAutomaticSaveFolder->text(), QStringLiteral("/srv/shots"));
    QVERIFY(ui->radioButtonJPG->isChecked());
    QCOMPARE(ui->horizontalSliderJpgQuality->value(), 33);
    QVERIFY(ui->checkBoxUseHotkeyWindow->isChecked());
    QVERIFY(ui->lineEditHotkeyWindow->isEnabled());
    QVERIFY(!ui->lineEditHotkeyRegion->isEnabled());
    QCOMPARE(ui->lineEditHotkeyWindow->text(), DHotkey(QKeySequence(Qt::ALT + Qt::Key_Print)).toString());
    QCOMPARE(ui->lineEditHotkeyRegion->text(), DHotkey(QKeySequence(Qt::Key_Print)).toString());
}

void tst_DMainDialog::checkBoxesWriteTheirKeys_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("key");
    QTest::newRow("include cursor") << "checkBoxIncludeCursor" << "IncludeCursor";
    QTest::newRow("instant panel") << "checkBoxInstantSystemTrayMenu" << "ShowTrayInstantMenu";
    QTest::newRow("system tray") << "checkBoxSystemTray" << "SystemTray";
    QTest::newRow("auto update") << "checkBoxAutoUpdate" << "AutoUpdate";
    QTest::newRow("auto run") << "checkBoxAutoRun" << "AutoRun";
    QTest::newRow("use region hotkey") << "checkBoxUseHotkeyRegion" << "UseHotkeyRegion";
    QTest::newRow("use full-screen hotkey") << "checkBoxUseHotkeyFullScreen" << "UseHotkeyFullScreen";
}

void tst_DMainDialog::checkBoxesWriteTheirKeys()
{
    QFETCH(QString, box);
    QFETCH(QString, key);
    ObservedMainDialog window;
    QCheckBox* check = window.findChild<QCheckBox*>(box);
    QVERIFY(check);
    const bool before = check->isChecked();
    check->setChecked(!before);
    QCOMPARE(settings()->value(key).toBool(), !before);
    check->setChecked(before);
    QCOMPARE(settings()->value(key).toBool(), before);
}

void tst_DMainDialog::radioButtonsWriteTheirKeys()
{
    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    ui->radioButtonBMP->click();
    QCOMPARE(settings()->value(QStringLiteral("TargetFormat")).toInt(), 2);
    ui->radioButtonJPG->click();
    QCOMPARE(settings()->value(QStringLiteral("TargetFormat")).toInt(), 1);
    ui->radioButtonPNG->click();
    QCOMPARE(settings()->value(QStringLiteral("TargetFormat")).toInt(), 0);
    ui->radioButtonAskForName->click();
    QCOMPARE(settings()->value(QStringLiteral("NameMethod")).toInt(), 0);
    ui->radioButtonAutomaticName->click();
    QCOMPARE(settings()->value(QStringLiteral("NameMethod")).toInt(), 1);
}

void tst_DMainDialog::scrollingIntervalStoresWhatTheUserTypes()
{
    ObservedMainDialog window;
    QLineEdit* edit = window.form()->lineEditScorllingInterval;
    // Set by the program: nothing stored.
    QVERIFY(!settings()->contains(QStringLiteral("ScrollingInterval")));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1234"));
    QCOMPARE(settings()->value(QStringLiteral("ScrollingInterval")).toInt(), 1234);
    // The validator keeps out what is not a number from 0 to 5000.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("x9999"));
    QCOMPARE(edit->text(), QStringLiteral("999"));
    QCOMPARE(settings()->value(QStringLiteral("ScrollingInterval")).toInt(), 999);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("5001"));
    QCOMPARE(edit->text(), QStringLiteral("500"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("5000"));
    QCOMPARE(settings()->value(QStringLiteral("ScrollingInterval")).toInt(), 5000);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(settings()->value(QStringLiteral("ScrollingInterval")).toInt(), 0);
}

// The field shows all four digits it takes: with the cursor at the end, the
// text is not scrolled, so its first digit stays in sight.
void tst_DMainDialog::scrollingIntervalShowsFourDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("1234") << "1234";
    QTest::newRow("5000") << "5000";
    QTest::newRow("4888") << "4888";
}

void tst_DMainDialog::scrollingIntervalShowsFourDigits()
{
    QFETCH(QString, text);
    ObservedMainDialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.form()->toolButtonAdvancedOptions->click();
    window.form()->tabWidgetSettings->setCurrentWidget(window.form()->tabSettingsGeneral);
    QLineEdit* edit = window.form()->lineEditScorllingInterval;
    QTRY_VERIFY(edit->isVisible());
    QTRY_VERIFY(window.height() > 300);
    const auto cursorAt = [edit]() { return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center(); };
    edit->setText(text);

    edit->setCursorPosition(0);
    const int first = cursorAt().x();
    edit->setCursorPosition(text.size());
    const int last = cursorAt().x();
    edit->setCursorPosition(0);
    // Scrolled to show the end, the start would have moved out to the left.
    QCOMPARE(cursorAt().x(), first);
    QCOMPARE(last - first, edit->fontMetrics().horizontalAdvance(text));
    QVERIFY(edit->contentsRect().contains(cursorAt()));
}

void tst_DMainDialog::jpegChoiceShowsTheQualitySlider()
{
    ObservedMainDialog window;
    window.show();
    window.form()->toolButtonAdvancedOptions->click();
    window.form()->tabWidgetSettings->setCurrentWidget(window.form()->tabSettingsOutputFile);
    QVERIFY(!window.form()->widgetJpegOptions->isVisible());
    window.form()->radioButtonJPG->click();
    QVERIFY(window.form()->widgetJpegOptions->isVisible());
    window.form()->radioButtonBMP->click();
    QVERIFY(!window.form()->widgetJpegOptions->isVisible());
    window.form()->radioButtonJPG->click();
    window.form()->radioButtonPNG->click();
    QVERIFY(!window.form()->widgetJpegOptions->isVisible());
}

void tst_DMainDialog::automaticNameEnablesTheFolderField()
{
    ObservedMainDialog window;
    window.show();
    Ui_DMainDialog* ui = window.form();
    ui->toolButtonAdvancedOptions->click();
    ui->tabWidgetSettings->setCurrentWidget(ui->tabSettingsOutputFile);
    // Automatic naming is the default.
    QVERIFY(ui->radioButtonAutomaticName->isChecked());
    QVERIFY(ui->lineEditAutomaticSaveFolder->isEnabled());
    QVERIFY(ui->toolButtonSelectAutomaticSaveFolder->isEnabled());
    QVERIFY(ui->widgetAutomaticSaveOptions->isVisible());
    ui->radioButtonAskForName->click();
    QVERIFY(!ui->lineEditAutomaticSaveFolder->isEnabled());
    QVERIFY(!ui->toolButtonSelectAutomaticSaveFolder->isEnabled());
    QVERIFY(!ui->widgetAutomaticSaveOptions->isVisible());
}

void tst_DMainDialog::sliderStoresUnsignedQuality()
{
    ObservedMainDialog window;
    window.form()->horizontalSliderJpgQuality->setValue(90);
    const QVariant stored = settings()->value(QStringLiteral("JpgQuality"));
    QCOMPARE(stored.userType(), int(QMetaType::UInt));
    QCOMPARE(stored.toUInt(), 90u);
}

void tst_DMainDialog::namePreview_data()
{
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("plain png") << false << 0 << "Snap-Y-M-D-h-m-s";
    QTest::newRow("subfolder jpg") << true << 1 << "Snap-Y-M-D-h-m-s";
    QTest::newRow("own pattern bmp") << false << 2 << "Capture";
}

void tst_DMainDialog::namePreview()
{
    QFETCH(bool, subfolders);
    QFETCH(int, format);
    QFETCH(QString, pattern);
    settings()->setValue(QStringLiteral("CreateSubfolders"), subfolders);
    settings()->setValue(QStringLiteral("SubFolderFormat"), QStringLiteral("YM"));
    settings()->setValue(QStringLiteral("FileNameFormat"), pattern);
    settings()->setValue(QStringLiteral("TargetFormat"), format);
    ObservedMainDialog window;
    const QString text = window.form()->labelAutomaticNamePreview->text();
    const QString extension = DUtility::TargetFormatToString(static_cast<DD::enumTargetFormat>(format));
    QString expected = DUtility::convertTimeVariables(pattern) + QLatin1Char('.') + extension;
    if (subfolders)
        expected = DUtility::convertTimeVariables(QStringLiteral("YM")) + QDir::separator() + expected;
    // The clock may tick between the two conversions: compare the shape, and
    // the text exactly when no second went by.
    QCOMPARE(text.size(), expected.size());
    QVERIFY(text.endsWith(QLatin1Char('.') + extension));
    QCOMPARE(text.contains(QDir::separator()), subfolders);
    if (pattern == QLatin1String("Capture"))
        QCOMPARE(text, QStringLiteral("Capture.bmp"));
    if (subfolders)
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{6}/Snap-\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}\\.jpg$"))
                    .match(text).hasMatch());
    // A change of type alone does not recompute it.
    window.form()->radioButtonBMP->click();
    window.form()->radioButtonPNG->click();
    QVERIFY(window.form()->labelAutomaticNamePreview->text().endsWith(QLatin1Char('.') + extension));
}

void tst_DMainDialog::previewIsTheNameASaveWrites_data()
{
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<QString>("subFolderPattern");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("shape");
    QTest::newRow("slash in the name") << false << "YM" << "Y/M-name" << 0 << "^\\d{6}-na\\d{2}e\\.png$";
    QTest::newRow("nothing left of the name")
        << false << "YM" << "/:*" << 0 << "^Snap-\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}\\.png$";
    QTest::newRow("cleaned sub-folder") << true << "Y:M" << "cap|s" << 1 << "^\\d{6}/cap\\d{2}\\.jpg$";
    QTest::newRow("nothing left of the sub-folder") << true << "//" << "cap" << 2 << "^cap\\.bmp$";
}

void tst_DMainDialog::previewIsTheNameASaveWrites()
{
    QFETCH(bool, subfolders);
    QFETCH(QString, subFolderPattern);
    QFETCH(QString, pattern);
    QFETCH(int, format);
    QFETCH(QString, shape);
    QTemporaryDir folder;
    settings()->setValue(QStringLiteral("NameMethod"), 1);
    settings()->setValue(QStringLiteral("AutomaticSaveFolder"), folder.path());
    settings()->setValue(QStringLiteral("CreateSubfolders"), subfolders);
    settings()->setValue(QStringLiteral("SubFolderFormat"), subFolderPattern);
    settings()->setValue(QStringLiteral("FileNameFormat"), pattern);
    settings()->setValue(QStringLiteral("TargetFormat"), format);
    ObservedMainDialog window;
    QString shown;
    QString written;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(runWithinOneSecond([&] {
        window.updateNamePreview();
        shown = window.form()->labelAutomaticNamePreview->text();
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, image, DD::ImageFile, false, &report));
        written = QDir(folder.path()).relativeFilePath(report.path);
        // The next run would otherwise meet the file and get a counter.
        QVERIFY(QFile::remove(report.path));
    }));
    QCOMPARE(shown, written);
    QVERIFY2(QRegularExpression(shape).match(shown).hasMatch(), qPrintable(shown));
}

void tst_DMainDialog::windowKeepsItsShapeWhateverThePreview_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("short name") << 20;
    QTest::newRow("120 characters") << 120;
    QTest::newRow("300 characters") << 300;
}

// The window stays 425 wide and 200 to 500 high whatever its layout asks for:
// a name preview too long for its label is cut, with the whole name as the
// label's tool tip, and a resize beyond the limits is held to them.
void tst_DMainDialog::windowKeepsItsShapeWhateverThePreview()
{
    QFETCH(int, length);
    // No time letters: the name stays the same while the test looks at it.
    const QString pattern = QStringLiteral("capture_").repeated(length / 8 + 1).left(length);
    settings()->setValue(QStringLiteral("NameMethod"), 1);
    settings()->setValue(QStringLiteral("CreateSubfolders"), true);
    settings()->setValue(QStringLiteral("SubFolderFormat"), QStringLiteral("capture"));
    settings()->setValue(QStringLiteral("FileNameFormat"), pattern);
    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    const QString formToolTip = ui->labelAutomaticNamePreview->toolTip();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ui->toolButtonAdvancedOptions->click();
    ui->tabWidgetSettings->setCurrentWidget(ui->tabSettingsOutputFile);
    QTRY_VERIFY(ui->labelAutomaticNamePreview->isVisible());
    QTRY_VERIFY(window.height() > 300);

    const auto verifyShape = [&]() {
        QCOMPARE(window.width(), 425);
        QCOMPARE(window.minimumWidth(), 425);
        QCOMPARE(window.maximumWidth(), 425);
        QVERIFY2(window.minimumHeight() >= 200 && window.maximumHeight() <= 500,
                 qPrintable(QString("%1 to %2").arg(window.minimumHeight()).arg(window.maximumHeight())));
        QVERIFY(window.height() >= 200 && window.height() <= 500);
    };
    verifyShape();
    if (QTest::currentTestFailed())
        return;
    QLabel* preview = ui->labelAutomaticNamePreview;
    const QString name = QStringLiteral("capture") + QDir::separator() + pattern + QStringLiteral(".png");
    QVERIFY(preview->mapTo(&window, QPoint(preview->width(), 0)).x() <= window.width());
    QVERIFY(preview->fontMetrics().horizontalAdvance(preview->text()) <= preview->contentsRect().width());
    if (preview->fontMetrics().horizontalAdvance(name) <= preview->contentsRect().width()) {
        QCOMPARE(preview->text(), name);
        QCOMPARE(preview->toolTip(), formToolTip);
    } else {
        QVERIFY(preview->text() != name);
        QVERIFY(preview->text().startsWith(QStringLiteral("capture")));
        QVERIFY(preview->text().endsWith(QStringLiteral(".png")));
        QCOMPARE(preview->toolTip(), name);
    }

    // Asked for more room, the window stays within its limits.
    window.resize(1000, 900);
    verifyShape();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(window.height(), 500);
    // Folded back, it settles at the height of what it shows.
    ui->toolButtonAdvancedOptions->click();
    QTRY_VERIFY(window.height() < 300);
    verifyShape();
}

void tst_DMainDialog::advancedOptionsFoldsBack()
{
    ObservedMainDialog window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.height() > 1);
    const int condensed = window.height();
    Ui_DMainDialog* ui = window.form();
    const QImage showImage = ui->toolButtonAdvancedOptions->icon().pixmap(24, 24).toImage();
    ui->toolButtonAdvancedOptions->click();
    QVERIFY(ui->tabWidgetSettings->isVisible());
    QTRY_VERIFY(window.height() > condensed);
    QVERIFY(ui->toolButtonAdvancedOptions->icon().pixmap(24, 24).toImage() != showImage);
    ui->toolButtonAdvancedOptions->click();
    QVERIFY(!ui->tabWidgetSettings->isVisible());
    QTRY_COMPARE(window.height(), condensed);
    QCOMPARE(ui->toolButtonAdvancedOptions->icon().pixmap(24, 24).toImage(), showImage);
}

void tst_DMainDialog::folderChooser()
{
    ObservedMainDialog window;
    window.m_chosenFolder = m_dir.filePath(QStringLiteral("chosen"));
    window.form()->toolButtonSelectAutomaticSaveFolder->setEnabled(true);
    window.form()->toolButtonSelectAutomaticSaveFolder->click();
    QCOMPARE(window.m_chooserStart, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QCOMPARE(window.form()->lineEditAutomaticSaveFolder->text(), window.m_chosenFolder);
    QCOMPARE(settings()->value(QStringLiteral("AutomaticSaveFolder")).toString(), window.m_chosenFolder);
    // The next choice starts where the last one ended.
    window.form()->toolButtonSelectAutomaticSaveFolder->click();
    QCOMPARE(window.m_chooserStart, window.m_chosenFolder);
}

void tst_DMainDialog::folderChooserCancelledKeepsTheFolder()
{
    settings()->setValue(QStringLiteral("AutomaticSaveFolder"), QStringLiteral("/srv/shots"));
    ObservedMainDialog window;
    window.m_chosenFolder.clear();
    window.form()->toolButtonSelectAutomaticSaveFolder->click();
    QCOMPARE(window.m_chooserStart, QStringLiteral("/srv/shots"));
    QCOMPARE(window.form()->lineEditAutomaticSaveFolder->text(), QStringLiteral("/srv/shots"));
    QCOMPARE(settings()->value(QStringLiteral("AutomaticSaveFolder")).toString(), QStringLiteral("/srv/shots"));
}

void tst_DMainDialog::emptyStoredFolderShowsTheDefault()
{
    settings()->setValue(QStringLiteral("AutomaticSaveFolder"), QString());
    ObservedMainDialog window;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QCOMPARE(window.form()->lineEditAutomaticSaveFolder->text(), desktop);
    // The user clears the field: saving still goes to the default folder.
    window.form()->lineEditAutomaticSaveFolder->clear();
    QCOMPARE(settings()->value(QStringLiteral("AutomaticSaveFolder")).toString(), QString());
    QCOMPARE(DSingleton<DConfigCapture>::instance()->automaticSaveFolder(), desktop);
    window.form()->toolButtonSelectAutomaticSaveFolder->click();
    QCOMPARE(window.m_chooserStart, desktop);
}

QString tst_DMainDialog::modalOpenedBy(QAbstractButton* button, const std::function<void()>& whileOpen)
{
    QString opened;
    QTimer::singleShot(50, [&opened, &whileOpen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        opened = QString::fromLatin1(modal->metaObject()->className());
        if (whileOpen)
            whileOpen();
        if (QDialog* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    button->click();
    return opened;
}

void tst_DMainDialog::aboutOpensTheAboutBox()
{
    ObservedMainDialog window;
    window.show();
    QCOMPARE(modalOpenedBy(window.form()->toolButtonAbout), QStringLiteral("DDialogAbout"));
}

void tst_DMainDialog::optionsOpensTheFileOptionsAndRefreshesThePreview()
{
    ObservedMainDialog window;
    window.show();
    // What the dialog would store on its way out.
    const auto storeFormat = [] {
        DSingleton<DConfigCapture>::instance()->m_pSettings->setValue(QStringLiteral("FileNameFormat"),
                                                                      QStringLiteral("Capture"));
    };
    QCOMPARE(modalOpenedBy(window.form()->pushButtonAutomaticOptions, storeFormat),
             QStringLiteral("DDialogFileOptions"));
    QCOMPARE(window.form()->labelAutomaticNamePreview->text(), QStringLiteral("Capture.png"));
}

void tst_DMainDialog::useHotkeyEnablesItsRow()
{
    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    QVERIFY(!ui->lineEditHotkeyFullScreen->isEnabled());
    QVERIFY(!ui->toolButtonDefaultHotkeyFullScreen->isEnabled());
    ui->checkBoxUseHotkeyFullScreen->click();
    QVERIFY(ui->lineEditHotkeyFullScreen->isEnabled());
    QVERIFY(ui->toolButtonDefaultHotkeyFullScreen->isEnabled());
    QCOMPARE(ui->lineEditHotkeyFullScreen->hotkey(), DHotkey(QKeySequence(Qt::CTRL + Qt::Key_Print)));
    QCOMPARE(ui->lineEditHotkeyFullScreen->text(), DHotkey(QKeySequence(Qt::CTRL + Qt::Key_Print)).toString());
    QCOMPARE(DSingleton<DConfigCapture>::instance()->isUseHotkey(DD::FullScreen), true);
    ui->checkBoxUseHotkeyFullScreen->click();
    QVERIFY(!ui->lineEditHotkeyFullScreen->isEnabled());
    QCOMPARE(DSingleton<DConfigCapture>::instance()->isUseHotkey(DD::FullScreen), false);
    // Nothing but the "Use" flags is written by the page.
    QVERIFY(!settings()->contains(QStringLiteral("HotkeyFullScreen")));
}

void tst_DMainDialog::garbageHotkeyShowsNothing()
{
    settings()->setValue(QStringLiteral("HotkeyRegion"), QStringLiteral("\x01\x7f garbage ++"));
    settings()->setValue(QStringLiteral("UseHotkeyRegion"), true);
    ObservedMainDialog window;
    QCOMPARE(window.form()->lineEditHotkeyRegion->text(), QString());
    QVERIFY(window.form()->lineEditHotkeyRegion->hotkey().isEmpty());
}

void tst_DMainDialog::defaultHotkeyMenu()
{
    ObservedMainDialog window;
    window.show();
    Ui_DMainDialog* ui = window.form();
    QStringList offered;
    QTimer::singleShot(50, [&offered] {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            offered << action->text();
        // Choose the full-screen default, as the user would.
        menu->setActiveAction(menu->actions().at(3));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    window.setHotkeyByDefault(ui->lineEditHotkeyWindow);
    QCOMPARE(offered, (QStringList{DHotkey(QKeySequence(Qt::Key_Print)).toString(),
                                   DHotkey(QKeySequence(Qt::ALT + Qt::Key_Print)).toString(),
                                   DHotkey(QKeySequence(Qt::META + Qt::Key_Print)).toString(),
                                   DHotkey(QKeySequence(Qt::CTRL + Qt::Key_Print)).toString()}));
    QCOMPARE(ui->lineEditHotkeyWindow->hotkey(), DHotkey(QKeySequence(Qt::CTRL + Qt::Key_Print)));

    // Closed without a choice: nothing changes.
    QTimer::singleShot(50, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    window.setHotkeyByDefault(ui->lineEditHotkeyWindow);
    QCOMPARE(ui->lineEditHotkeyWindow->hotkey(), DHotkey(QKeySequence(Qt::CTRL + Qt::Key_Print)));
}

void tst_DMainDialog::closeKeepsRunningInTheTray()
{
    ObservedMainDialog window;
    window.show();
    QVERIFY(window.isVisible());
    QVERIFY(!window.close());
    QVERIFY(!window.isVisible());
}

void tst_DMainDialog::closeWithoutTrayQuits()
{
    settings()->setValue(QStringLiteral("SystemTray"), false);
    ObservedMainDialog window;
    window.show();
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    // Guards against a close that does not quit.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void tst_DMainDialog::regionButtonsWriteTheRegionType()
{
    ObservedMainDialog window;
    window.form()->toolButtonModePolygon->click();
    QCOMPARE(settings()->value(QStringLiteral("RegionType")).toInt(), 1);
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
    window.form()->toolButtonModeRegion->click();
    QCOMPARE(settings()->value(QStringLiteral("RegionType")).toInt(), 0);
    QTRY_COMPARE(window.m_nOverlayRuns, 2);
    QCOMPARE(window.m_lastMode, DD::Region);
}

void tst_DMainDialog::captureFromHiddenWindow()
{
    ObservedMainDialog window;
    QVERIFY(!window.isVisible());
    window.capture(DD::Window);
    // Out of the way at once: no tray icon in the grab.
    QVERIFY(!window.trayIcon()->isVisible());
    QCOMPARE(window.restoreFlags(), 0);
    QCOMPARE(window.m_nOverlayRuns, 0);
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
    QCOMPARE(window.m_lastMode, DD::Window);
    QVERIFY(!window.m_bVisibleDuringGrab);
    QVERIFY(!window.m_bTrayVisibleDuringGrab);
    QCOMPARE(window.m_lastScreenRect, QGuiApplication::primaryScreen()->geometry());
    QVERIFY(!window.isCaptureWaiting());
    // Afterwards: the window stays hidden, the tray icon is back, and the
    // controls show what the capture changed.
    QVERIFY(!window.isVisible());
    QVERIFY(window.trayIcon()->isVisible());
    QVERIFY(window.form()->radioButtonBMP->isChecked());
}

void tst_DMainDialog::grabCoversTheMonitorThatShowsTheWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QRect>("monitor");
    // The offscreen screen (800 x 600) shown by two monitors side by side.
    QTest::newRow("overlay, right monitor") << int(DD::Window) << QPoint(500, 100) << QRect(400, 0, 400, 600);
    QTest::newRow("overlay, left monitor") << int(DD::Region) << QPoint(20, 300) << QRect(0, 0, 400, 600);
    QTest::newRow("full screen, right monitor") << int(DD::FullScreen) << QPoint(450, 350) << QRect(400, 0, 400, 600);
}

// The grab and the rectangle handed on are the monitor's, in the display's
// pixels, with every pixel of that monitor and nothing else.
void tst_DMainDialog::grabCoversTheMonitorThatShowsTheWindow()
{
    QFETCH(int, mode);
    QFETCH(QPoint, place);
    QFETCH(QRect, monitor);
    DFakeScreenGrabber grabber({QRect(0, 0, 400, 600), QRect(400, 0, 400, 600)});
    ObservedMainDialog window;
    window.setGeometry(QRect(place, QSize(100, 80)));
    window.capture(DD::enumCaptureMode(mode));
    QTRY_COMPARE(window.m_nOverlayRuns + window.m_nFullScreenRuns, 1);
    QCOMPARE(grabber.grabbed, QList<QRect>{monitor});
    if (mode != DD::FullScreen)
        QCOMPARE(window.m_lastScreenRect, monitor);
    const QImage shot = window.m_lastScreenshot.toImage();
    QCOMPARE(shot.size(), monitor.size());
    QCOMPARE(window.m_lastScreenshot.devicePixelRatio(), 1.0);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(shot.width() - 1, shot.height() - 1)})
        QCOMPARE(shot.pixel(corner), DFakeScreenGrabber::patternAt(monitor.x() + corner.x(), monitor.y() + corner.y()));
}

void tst_DMainDialog::fullScreenTakesItsOwnRoad()
{
    ObservedMainDialog window;
    window.form()->toolButtonModeFullScreen->click();
    QTRY_COMPARE(window.m_nFullScreenRuns, 1);
    QCOMPARE(window.m_nOverlayRuns, 0);
}

void tst_DMainDialog::secondCaptureReplacesTheWaitingOne()
{
    ObservedMainDialog window;
    window.capture(DD::Window);
    window.capture(DD::Region);
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
    QCOMPARE(window.m_lastMode, DD::Region);
    QTest::qWait(500);
    QCOMPARE(window.m_nOverlayRuns, 1);
}

// How the window stands when a capture is asked for.
enum WindowAtRequest { Hidden, Minimised, Shown };

void tst_DMainDialog::secondRequestKeepsHowTheWindowComesBack_data()
{
    QTest::addColumn<int>("atFirst");
    QTest::addColumn<bool>("shownBetween");
    QTest::addColumn<int>("flags");
    const int normal = DMainDialog::RestoreShowNormal | DMainDialog::RestoreGeometry;
    // A double click on a mode button: the second click finds the window
    // minimised by the first.
    QTest::newRow("shown, double click") << int(Shown) << false << normal;
    QTest::newRow("minimised, double click") << int(Minimised) << false << int(DMainDialog::RestoreGeometry);
    QTest::newRow("hidden, double click") << int(Hidden) << false << 0;
    // Shown again (a second start of the program does that) before the
    // second request: it is on screen, and comes back.
    QTest::newRow("hidden, then shown") << int(Hidden) << true << normal;
}

void tst_DMainDialog::secondRequestKeepsHowTheWindowComesBack()
{
    QFETCH(int, atFirst);
    QFETCH(bool, shownBetween);
    QFETCH(int, flags);
    ObservedMainDialog window;
    // Where the window stood when it was last on screen.
    QSize size;
    QPoint position;
    const auto showAt = [&](const QPoint& place) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(place);
        size = window.size();
        position = window.pos();
    };
    if (atFirst != Hidden)
        showAt(QPoint(40, 60));
    if (atFirst == Minimised)
        window.showMinimized();
    QToolButton* mode = window.form()->toolButtonModeWindow;
    QTest::mouseClick(mode, Qt::LeftButton);
    if (shownBetween)
        showAt(QPoint(70, 90));
    QTest::mouseClick(mode, Qt::LeftButton);
    QCOMPARE(window.restoreFlags(), flags);
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
    QVERIFY(!window.m_bVisibleDuringGrab);
    const bool comesBack = flags & DMainDialog::RestoreShowNormal;
    QCOMPARE(window.isVisible(), comesBack);
    if (comesBack)
        QVERIFY(!window.isMinimized());
    if (flags & DMainDialog::RestoreGeometry) {
        QCOMPARE(window.size(), size);
        QCOMPARE(window.pos(), position);
    }
    QTest::qWait(300);
    QCOMPARE(window.m_nOverlayRuns, 1);
}

void tst_DMainDialog::mainWindowIdIsRecorded()
{
    ObservedMainDialog window;
    QVERIFY(g_MainWindowWId != 0);
    QCOMPARE(g_MainWindowWId, static_cast<quintptr>(window.winId()));
    QCOMPARE(DUtility::getMainWindowWId(), g_MainWindowWId);
}

void tst_DMainDialog::settingsFileOfRandomBytes()
{
    const QString path = settings()->fileName();
    delete settings();
    QByteArray noise(8192, '\0');
    QRandomGenerator generator(77);
    for (char& byte : noise)
        byte = char(generator.bounded(256));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(noise);
    file.close();
    DSingleton<DConfigCapture>::instance()->m_pSettings = new QSettings(path, QSettings::IniFormat);
    ObservedMainDialog window;
    window.show();
    // Usable: one file type chosen, a folder shown, and captures still start.
    Ui_DMainDialog* ui = window.form();
    QVERIFY(ui->radioButtonPNG->isChecked() || ui->radioButtonJPG->isChecked() || ui->radioButtonBMP->isChecked());
    QVERIFY(!ui->lineEditAutomaticSaveFolder->text().isEmpty());
    window.capture(DD::Window);
    QTRY_COMPARE(window.m_nOverlayRuns, 1);
}

void tst_DMainDialog::outOfRangeValuesShowWhatSavingDoes()
{
    // Values no control offers, written into the file by hand or by another
    // program: each reads as its key's default, on the page and when saving.
    QTemporaryDir folder;
    const QString path = settings()->fileName();
    delete settings();
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\nTargetFormat=7\nNameMethod=9\nJpgQuality=-5\nScrollingInterval=-99999999999\n"
               "FileNameFormat=Cap\nAutomaticSaveFolder=" + folder.path().toUtf8() + "\n");
    file.close();
    DSingleton<DConfigCapture>::instance()->m_pSettings = new QSettings(path, QSettings::IniFormat);

    ObservedMainDialog window;
    Ui_DMainDialog* ui = window.form();
    QVERIFY(ui->radioButtonPNG->isChecked());
    QVERIFY(ui->radioButtonAutomaticName->isChecked());
    QCOMPARE(ui->horizontalSliderJpgQuality->value(), 75);
    QCOMPARE(ui->lineEditScorllingInterval->text(), QStringLiteral("500"));
    // Loading the page turns no value into another one (-5 into the worst quality).
    QCOMPARE(DSingleton<DConfigCapture>::instance()->jpgQuality(), 75u);

    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QVERIFY(DUtility::saveImage(nullptr, image, DD::ImageFile, false));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("Cap.png")});
    QCOMPARE(QImageReader(folder.filePath(QStringLiteral("Cap.png"))).format(), QByteArray("png"));
}

QTEST_MAIN(tst_DMainDialog)
#include "tst_DMainDialog.moc"
