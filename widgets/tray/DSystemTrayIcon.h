#ifndef DSYSTEMTRAYICON_H
#define DSYSTEMTRAYICON_H

#include <QKeySequence>
#include <QRect>
#include <QSystemTrayIcon>

class QAction;
class QMenu;
class QTimerEvent;
class DShapedTrayPanel;

// The program's tray icon: a context menu with show/hide entries for the main
// window, a block of entries the main window adds, and "E&xit"; and the instant
// panel, which opens while the pointer rests on the icon.
//
// The main window must have the signals shown() and hidden(); the menu follows
// them so that exactly one of the show and hide entries is visible.
class DSystemTrayIcon : public QSystemTrayIcon
{
    Q_OBJECT
public:
    DSystemTrayIcon(QWidget* mainWindow, const QIcon& icon);
    ~DSystemTrayIcon() override;

    QAction* addAction(const QIcon& icon, const QString& text, const QObject* receiver, const char* member,
                       const QKeySequence& shortcut = QKeySequence());
    QAction* addAction(const QString& text, const QObject* receiver, const char* member,
                       const QKeySequence& shortcut = QKeySequence());

    DShapedTrayPanel* panel() const { return m_pPanel; }
    QMenu* menu() const { return m_pMenu; }
    QAction* showAction() const { return m_pShowAction; }
    QAction* hideAction() const { return m_pHideAction; }
    bool isPanelSuppressed() const { return m_bPanelSuppressed; }
    QRect hotRect() const { return m_rcHot; }

    // One tick of the instant panel's poll, for the given global pointer
    // position and icon geometry; the timer calls it with the real ones.
    void pollInstantPanel(const QPoint& pointer, const QRect& iconGeometry);

public slots:
    void onShowMainWindow();
    void onMainWindowShown();
    void onMainWindowHidden();
    void onActivated(QSystemTrayIcon::ActivationReason reason);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QAction* insertAction(QAction* action, const QObject* receiver, const char* member,
                          const QKeySequence& shortcut);

    QWidget* m_pMainWindow;
    QMenu* m_pMenu;
    QAction* m_pShowAction;
    QAction* m_pHideAction;
    QAction* m_pExitSeparator;
    DShapedTrayPanel* m_pPanel;
    bool m_bPanelSuppressed;
    bool m_bExtraSeparatorAdded;
    QRect m_rcHot;
};

#endif // DSYSTEMTRAYICON_H
