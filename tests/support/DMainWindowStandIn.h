#ifndef DMAINWINDOWSTANDIN_H
#define DMAINWINDOWSTANDIN_H

#include <QShowEvent>
#include <QHideEvent>
#include <QWidget>

// Stands in for the program's main window beside a tray icon: it tells when
// it is shown and hidden, and counts the calls of its capture slot.
class MainWindowStandIn : public QWidget
{
    Q_OBJECT
public:
    int m_nTriggered = 0;
signals:
    void shown();
    void hidden();
public slots:
    void onCapture() { ++m_nTriggered; }

protected:
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        emit shown();
    }
    void hideEvent(QHideEvent* event) override
    {
        QWidget::hideEvent(event);
        emit hidden();
    }
};

#endif // DMAINWINDOWSTANDIN_H
