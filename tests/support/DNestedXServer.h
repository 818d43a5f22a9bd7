#ifndef DNESTEDXSERVER_H
#define DNESTEDXSERVER_H

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// An X server of the test's own inside its display (Xephyr), for monitor
// layouts and screen sizes that the outer server does not have: for example
// {"+xinerama", "-extension", "RANDR", "-screen", "1280x800", "-screen", "1280x800"}
// gives two heads side by side that Qt sees as two screens. Stopped when destroyed.
class DNestedXServer
{
public:
    explicit DNestedXServer(const QStringList& arguments);
    ~DNestedXServer();
    DNestedXServer(const DNestedXServer&) = delete;
    DNestedXServer& operator=(const DNestedXServer&) = delete;

    // Whether it has started and accepts clients.
    bool isRunning() const;
    // Its name for DISPLAY, for example ":3".
    QByteArray display() const { return m_display; }

private:
    QProcess m_process;
    QByteArray m_display;
};

#endif // DNESTEDXSERVER_H
