#include "QtSingleApplication.h"

#include "DLocalInstancePeer.h"

#include <QWidget>

QtSingleApplication::QtSingleApplication(const QString& id, int& argc, char** argv)
    : QApplication(argc, argv)
    , m_peer(new DLocalInstancePeer(id, this))
{
    connect(m_peer, &DLocalInstancePeer::messageReceived, this, &QtSingleApplication::messageReceived);
}

QtSingleApplication::~QtSingleApplication()
{
    // Release the id while the application object is still whole.
    delete m_peer;
}

QString QtSingleApplication::id() const
{
    return m_peer->id();
}

bool QtSingleApplication::isRunning() const
{
    return m_peer->isRunning();
}

bool QtSingleApplication::sendMessage(const QString& message, int timeout)
{
    if (!isRunning())
        return false;
    return m_peer->sendMessage(message, timeout);
}

void QtSingleApplication::setActivationWindow(QWidget* window, bool activateOnMessage)
{
    m_activationWindow = window;
    disconnect(this, &QtSingleApplication::messageReceived, this, &QtSingleApplication::activateWindow);
    if (activateOnMessage)
        connect(this, &QtSingleApplication::messageReceived, this, &QtSingleApplication::activateWindow);
}

QWidget* QtSingleApplication::activationWindow() const
{
    return m_activationWindow;
}

void QtSingleApplication::activateWindow()
{
    if (!m_activationWindow)
        return;
    m_activationWindow->setWindowState(m_activationWindow->windowState() & ~Qt::WindowMinimized);
    m_activationWindow->raise();
    m_activationWindow->activateWindow();
}
