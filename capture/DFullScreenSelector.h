#ifndef DFULLSCREENSELECTOR_H
#define DFULLSCREENSELECTOR_H

#include <QDialog>
#include <QEasingCurve>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QScreen>
#include <QString>

#include "DD.h"
#include "DWidgetData.h"

class QEvent;
class QImage;
class QKeyEvent;
class QPropertyAnimation;
class QToolButton;
class QWindow;
class DCreatePrompt;
class DGraphicsItem;
class DGraphicsLayer;
class DGraphicsScene;
class Ui_DFullScreenSelector;

// The style of the overlay's main-bar buttons (and of every button a script
// adds), and of its sub-tool buttons.
extern const QString sToolButtonStyleMainTool;
extern const QString sToolButtonStyleSubTool;

// The overlay on which every capture but FullScreen runs. It covers the
// grabbed screen with the screenshot under a dim veil and runs the capture
// prompt of the mode; the captured piece lands on the canvas's document, the
// veil gives way to a white page and two tool bars slide up from the bottom
// edge: more captures, drawing, delete, print, save, clipboard, discard.
//
// The scene's coordinates are screenshot pixels; the window tree's are global
// screen pixels, its root the grabbed screen.
//
// It is also the script object "editor": scripts may add buttons to its main
// bar and take its rendered image.
class DFullScreenSelector : public QDialog
{
    Q_OBJECT

public:
    explicit DFullScreenSelector(QWidget* parent = nullptr);
    ~DFullScreenSelector() override;

    // Runs one capture on the screenshot to its end and gives the dialog's
    // result; FullScreen returns 0 at once.
    int capture(DD::enumCaptureMode mode, const QPixmap& pixmap, const DWidgetData& windows);
    // Covers the screen with the overlay and sets the canvas up for the screenshot.
    void initialize(const QPixmap& pixmap);
    // The screen that was grabbed; without one, the screen that holds the
    // window tree's root, else the primary screen.
    void setCaptureScreen(QScreen* screen) { m_pCaptureScreen = screen; }

    // Takes a button of no window, or of the overlay itself; another window's stays there.
    Q_INVOKABLE void addMainTool(QToolButton* button, bool dependent = false);
    Q_INVOKABLE void prepareImage(QString name);

    // Shows the three capture buttons of the sub-tool bar, or its six draw buttons.
    void setCaptureToolsVisibility(bool capture);

    // Slides a bar out to `target` and hides it when it gets there / slides it
    // in from where it is; both give the running animation.
    QPropertyAnimation* hideSubTool(QWidget* bar, const QPointF& target);
    QPropertyAnimation* showSubTool(QWidget* bar, const QPointF& target);

    Ui_DFullScreenSelector* form() const { return ui; }
    DD::enumCaptureMode captureMode() const { return m_captureMode; }
    bool restoreSubTools() const { return m_bRestoreSubTools; }
    const QPixmap& screenshot() const { return m_screenshot; }
    const QPixmap& dimmedScreenshot() const { return m_dimmedScreenshot; }
    QList<QToolButton*> selectionTools() const;
    // A scene rectangle in global screen pixels: corners on the first and the
    // last pixel, moved by the grabbed screen's origin.
    QRect globalRectOf(const QRectF& sceneRect) const;

    static constexpr int SlideDuration = 300;   // ms
    static constexpr qreal DimOpacity = 0.6;

public slots:
    void showDrawOrCaptureTools();
    void addCapture();
    void restoreTools();

protected:
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private slots:
    void on_toolButtonCaptureRectangle_clicked();
    void on_toolButtonCapturePolygon_clicked();
    void on_toolButtonCaptureWindow_clicked();
    void on_toolButtonDrawLine_clicked();
    void on_toolButtonDrawArrow_clicked();
    void on_toolButtonDrawPolyline_clicked();
    void on_toolButtonDrawRectangle_clicked();
    void on_toolButtonDrawPolygon_clicked();
    void on_toolButtonDrawText_clicked();
    void on_toolButtonCapture_toggled(bool checked);
    void on_toolButtonDraw_toggled(bool checked);
    void on_toolButtonDelete_clicked();
    void on_toolButtonPrint_clicked();
    void on_toolButtonSave_clicked();
    void on_toolButtonClipboard_clicked();
    void on_toolButtonCancel_clicked();
    void onPostEditing(DCreatePrompt* prompt);
    void onPromptCancelled();
    void onSelectionChanged(QList<DGraphicsItem*> selection);
    void onModalWindowStateChanged();

private:
    DGraphicsScene* scene() const;
    DGraphicsLayer* activeLayer() const;
    QScreen* captureScreen() const;
    void captureRegion(DD::enumRegionType type);
    void startCapturePrompt();
    void startDrawPrompt(DCreatePrompt* prompt);
    // A checked toggle brings its set in; an unchecked one slides the bar away.
    void toolToggled(bool checked, QToolButton* other);
    void grabScrollingWindow(DGraphicsItem* sample);
    QImage renderDocument() const;
    // Saves to the file the settings name; when the write fails the user is
    // told and may send the image elsewhere.
    void saveToFile(const QImage& image);
    // The keyboard back to the overlay, after a nested dialog or on showing.
    void takeKeyboard();
    // Steps below the managed windows while a modal dialog that the window
    // manager manages is open, and keeps that dialog within reach.
    void giveWayToModalWindow();
    // On every desktop, and never left minimised, while the overlay gave way.
    void keepWithinReach(QWindow* modal);
    // Covers the screen again after it changed its size.
    void followScreen(const QRect& geometry);
    QPropertyAnimation* slide(QWidget* bar, const QPointF& target, QEasingCurve::Type easing);

    Ui_DFullScreenSelector* ui;
    QPixmap m_screenshot;
    QPixmap m_dimmedScreenshot;
    DWidgetData m_windows;
    DD::enumCaptureMode m_captureMode;
    bool m_bRestoreSubTools;
    // The bars slide away for a capture prompt that has not started yet.
    bool m_bCaptureStarting = false;
    // Guarded: a script may delete a button it added.
    QList<QPointer<QToolButton>> m_selectionTools;
    QPointer<QScreen> m_pCaptureScreen;
    // The bars' slides: they have no parent, and one that is still running
    // must move along when the screen changes its size.
    QList<QPointer<QPropertyAnimation>> m_slides;
    // Lowered for a dialog: raised again when it closes.
    bool m_bGaveWay = false;
};

#endif // DFULLSCREENSELECTOR_H
