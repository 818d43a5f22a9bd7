#include "DSystemTrayIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QTimerEvent>

#include "DConfig.h"
#include "DShapedTrayPanel.h"

namespace {

const int PollInterval = 200;

} // namespace

DSystemTrayIcon::DSystemTrayIcon(QWidget* mainWindow, const QIcon& icon)
    : QSystemTrayIcon(mainWindow)
    , m_pMainWindow(mainWindow)
    , m_pMenu(nullptr)
    , m_pShowAction(nullptr)
    , m_pHideAction(nullptr)
    , m_pExitSeparator(nullptr)
    , m_pPanel(nullptr)
    , m_bPanelSuppressed(false)
    , m_bExtraSeparatorAdded(false)
{
    setIcon(icon);
    m_pPanel = new DShapedTrayPanel(mainWindow);
    m_pMenu = new QMenu;

    const QIcon windowIcon(QStringLiteral(":/images/mainwindow.png"));
    m_pShowAction = m_pMenu->addAction(windowIcon, QObject::tr("&Show Main Window"), this, SLOT(onShowMainWindow()),
                                       QKeySequence());
    m_pHideAction = m_pMenu->addAction(windowIcon, QObject::tr("&Hide Main Window"), mainWindow, SLOT(hide()),
                                       QKeySequence());
    if (mainWindow->isVisible())
        onMainWindowShown();
    else
        onMainWindowHidden();
    connect(mainWindow, SIGNAL(shown()), this, SLOT(onMainWindowShown()));
    connect(mainWindow, SIGNAL(hidden()), this, SLOT(onMainWindowHidden()));

    m_pExitSeparator = m_pMenu->addSeparator();
    m_pMenu->addAction(QIcon(QStringLiteral(":/images/exit.png")), QObject::tr("E&xit"), QCoreApplication::instance(),
                       SLOT(quit()), QKeySequence());

    setContextMenu(m_pMenu);
    connect(this, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
            SLOT(onActivated(QSystemTrayIcon::ActivationReason)));
    startTimer(PollInterval);
}

DSystemTrayIcon::~DSystemTrayIcon()
{
    delete m_pMenu;
    // The panel is a parentless window; it goes with the icon that shows it.
    delete m_pPanel;
}

QAction* DSystemTrayIcon::addAction(const QIcon& icon, const QString& text, const QObject* receiver,
                                    const char* member, const QKeySequence& shortcut)
{
    return insertAction(new QAction(icon, text, m_pMenu), receiver, member, shortcut);
}

QAction* DSystemTrayIcon::addAction(const QString& text, const QObject* receiver, const char* member,
                                    const QKeySequence& shortcut)
{
    return insertAction(new QAction(text, m_pMenu), receiver, member, shortcut);
}

QAction* DSystemTrayIcon::insertAction(QAction* action, const QObject* receiver, const char* member,
                                       const QKeySequence& shortcut)
{
    action->setShortcut(shortcut);
    connect(action, SIGNAL(triggered(bool)), receiver, member);
    if (!m_bExtraSeparatorAdded) {
        m_pMenu->insertSeparator(m_pExitSeparator);
        m_bExtraSeparatorAdded = true;
    }
    m_pMenu->insertAction(m_pExitSeparator, action);
    return action;
}

void DSystemTrayIcon::onShowMainWindow()
{
    if (!m_pMainWindow->isVisible())
        m_pMainWindow->setVisible(true);
    if (m_pMainWindow->isMinimized())
        m_pMainWindow->showNormal();
    m_pMainWindow->activateWindow();
    m_pMainWindow->raise();
}

void DSystemTrayIcon::onMainWindowShown()
{
    m_pShowAction->setVisible(false);
    m_pHideAction->setVisible(true);
}

void DSystemTrayIcon::onMainWindowHidden()
{
    m_pShowAction->setVisible(true);
    m_pHideAction->setVisible(false);
}

void DSystemTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        onShowMainWindow();
    // After a click the panel stays shut until the pointer has left the icon once.
    m_bPanelSuppressed = true;
    m_rcHot = geometry();
    m_pPanel->hide();
}

void DSystemTrayIcon::timerEvent(QTimerEvent* event)
{
    Q_UNUSED(event);
    pollInstantPanel(QCursor::pos(), geometry());
}

void DSystemTrayIcon::pollInstantPanel(const QPoint& pointer, const QRect& iconGeometry)
{
    const DConfig* config = DConfig::_instance();
    if (!config || !config->m_pSettings || !config->showTrayInstantMenu())
        return;
    if (m_pPanel->isVisible()) {
        if (!m_rcHot.contains(pointer))
            m_pPanel->hide();
        return;
    }
    if (!iconGeometry.contains(pointer)) {
        m_bPanelSuppressed = false;
        return;
    }
    if (m_bPanelSuppressed || m_pMenu->isVisible())
        return;
    m_pPanel->show(iconGeometry);
    m_rcHot = iconGeometry.united(m_pPanel->frameGeometry());
}
