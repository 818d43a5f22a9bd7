#ifndef DMAINDIALOG_H
#define DMAINDIALOG_H

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "DD.h"
#include "DSystemTrayIcon.h"

class QCloseEvent;
class QEvent;
class QHideEvent;
class QLineEdit;
class QMenu;
class QScreen;
class QShowEvent;
class QTimerEvent;
class DHotkey;
class DHotkeyEdit;
class Ui_DMainDialog;

// The main window of Zorvelshot: the capture mode buttons, the settings pages
// folded under "Advanced &Options", the help menu, and the tray icon with its
// menu and instant panel. Every control writes its settings key the moment it
// changes; there is no OK or Apply.
class DMainDialog : public QDialog
{
    Q_OBJECT
public:
    // Bits of the restore flags of a capture.
    enum RestoreFlag {
        RestoreShowNormal = 1,  // shown normally before, shown normally again after
        RestoreGeometry = 8     // visible (normal or minimised) before: size and place come back
    };

    explicit DMainDialog(QWidget* parent = nullptr);
    ~DMainDialog() override;

    // Starts a capture; returns at once, the capture runs from the timer once
    // the window is out of the way.
    void capture(DD::enumCaptureMode mode);
    // Grabs the screen that holds the window and runs the capture on the image.
    void showSelector();

    void initializeContextMenu();
    void initializeControls();
    void initializeFromSettings();
    void updateNamePreview();
    void condenseWindow();
    void setHotkey(bool enable, DHotkeyEdit* edit, const DHotkey& hotkey);
    void setHotkeyByDefault(DHotkeyEdit* edit);

    DSystemTrayIcon* trayIcon() { return &m_trayIcon; }
    QMenu* helpMenu() const { return m_pHelpMenu; }
    Ui_DMainDialog* form() const { return ui; }
    int restoreFlags() const { return m_nRestoreFlags; }
    bool isCaptureWaiting() const { return m_nTimerId != 0; }

signals:
    void shown();
    void hidden();

public slots:
    void on_toolButtonModeRegion_clicked();
    void on_toolButtonModePolygon_clicked();
    void on_toolButtonModeWindow_clicked();
    void on_toolButtonModeScrolling_clicked();
    void on_toolButtonModeFullScreen_clicked();

    void on_checkBoxIncludeCursor_toggled(bool checked);
    void on_lineEditScorllingInterval_textEdited(const QString& text);
    void on_checkBoxInstantSystemTrayMenu_toggled(bool checked);
    void on_checkBoxAutoRun_toggled(bool checked);
    void on_checkBoxSystemTray_toggled(bool checked);
    void on_checkBoxAutoUpdate_toggled(bool checked);
    void on_radioButtonAskForName_toggled(bool checked);
    void on_radioButtonAutomaticName_toggled(bool checked);
    void on_lineEditAutomaticSaveFolder_textChanged(const QString& text);
    void on_radioButtonPNG_toggled(bool checked);
    void on_radioButtonJPG_toggled(bool checked);
    void on_radioButtonBMP_toggled(bool checked);
    void on_horizontalSliderJpgQuality_valueChanged(int value);
    void on_pushButtonAutomaticOptions_clicked();
    void on_toolButtonSelectAutomaticSaveFolder_clicked();
    void on_toolButtonAdvancedOptions_clicked();
    void on_toolButtonAbout_clicked();
    void on_toolButtonDontShowTellFriend_clicked();
    void on_checkBoxUseHotkeyRegion_toggled(bool checked);
    void on_checkBoxUseHotkeyWindow_toggled(bool checked);
    void on_checkBoxUseHotkeyScrolling_toggled(bool checked);
    void on_checkBoxUseHotkeyFullScreen_toggled(bool checked);
    void on_toolButtonDefaultHotkeyRegion_clicked();
    void on_toolButtonDefaultHotkeyWindow_clicked();
    void on_toolButtonDefaultHotkeyScrolling_clicked();
    void on_toolButtonDefaultHotkeyFullScreen_clicked();

    void onHelpEmail();
    void onHelpTicket();
    void onHelpProductWebPage();
    void onHelpTellFriend();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

    // What the grab of showSelector() leads to, one method per road. The
    // full-screen mode sends the image to the output-target dialog; the other
    // modes build the window tree of the screen and run the capture overlay.
    // The screenshot holds the screen's pixels as the display has them (device
    // pixel ratio 1, whatever Qt's scale factor), and `screenRect` is that
    // screen in global physical pixels, the coordinates of the window tree.
    virtual void runFullScreenOutput(const QPixmap& screenshot);
    virtual void runCaptureOverlay(DD::enumCaptureMode mode, const QPixmap& screenshot, const QRect& screenRect);

    // The folder chooser; returns an empty text when cancelled.
    virtual QString chooseFolder(const QString& startFolder);

private:
    void useHotkeyToggled(DD::enumCaptureMode mode, bool checked);
    void addCaptureEntries();
    void applyStyleSheets();
    // The restore flags that the window as it is now calls for.
    int restoreFlagsOfWindow() const;
    // Keeps how the window is to come back after the capture: its restore
    // flags, size and position.
    void recordWindow(bool replacing);
    QScreen* screenOfWindow() const;
    // Hides the window for the grab, noting whether its own minimise request
    // is still outstanding.
    void hideForGrab();
    void undoLateMinimize();
    // Keeps the form's size limits and the preview's tool tip, and watches
    // the window and its parts for what changes the limits or the preview.
    void initializeShape();
    // Makes a number field just wide enough to show `digits` digits.
    static void fitDigits(QLineEdit* edit, int digits);
    // Puts the form's size limits over those the layout has set.
    void keepFormSizeLimits();
    // The name preview, cut to the label's width.
    void showNamePreview();

    Ui_DMainDialog* ui;
    DD::enumCaptureMode m_captureMode;
    int m_nRestoreFlags;
    QSize m_savedSize;
    QPoint m_savedPosition;
    int m_nTimerId;
    // When the window last came back shown after a capture, while a late
    // minimise of the window manager could still be on its way.
    QElapsedTimer m_restoredAt;
    bool m_bMinimizeOutstanding = false;
    QMenu* m_pHelpMenu;
    DSystemTrayIcon m_trayIcon;
    bool m_bTellFriendEntryAdded;
    QSize m_formMinimumSize;
    QSize m_formMaximumSize;
    QString m_namePreview;
    QString m_namePreviewToolTip;
};

#endif // DMAINDIALOG_H
