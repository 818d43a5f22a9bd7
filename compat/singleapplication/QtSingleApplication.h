#pragma once

#include <QApplication>
#include <QPointer>

class DLocalInstancePeer;

// A QApplication of which one instance runs per user and id. A later start
// sees isRunning() and hands its message to the running instance, which emits
// messageReceived() and, if asked to, brings its activation window forward.
class QtSingleApplication : public QApplication
{
    Q_OBJECT

public:
    QtSingleApplication(const QString& id, int& argc, char** argv);
    ~QtSingleApplication() override;

    QString id() const;
    // True when another process already runs with this id.
    bool isRunning() const;
    // Sends a message to the running instance; true once it has taken it.
    // Blocks for at most timeout milliseconds.
    bool sendMessage(const QString& message, int timeout = 5000);

    // The window that activateWindow() brings forward; with activateOnMessage
    // every received message does so.
    void setActivationWindow(QWidget* window, bool activateOnMessage = true);
    QWidget* activationWindow() const;

public slots:
    // Takes the activation window out of the minimised state, raises and activates it.
    void activateWindow();

signals:
    void messageReceived(const QString& message);

private:
    DLocalInstancePeer* m_peer;
    QPointer<QWidget> m_activationWindow;
};
