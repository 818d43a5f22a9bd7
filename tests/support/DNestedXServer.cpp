#include "DNestedXServer.h"

#include <QElapsedTimer>

#include "DX11TestDisplay.h"

DNestedXServer::DNestedXServer(const QStringList& arguments)
{
    // The server picks a free display number itself and writes it to its
    // standard output once it accepts clients.
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("Xephyr"),
                    QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                QStringLiteral("tcp"), QStringLiteral("-noreset")}
                        + arguments);
    if (!m_process.waitForStarted(10000))
        return;
    QElapsedTimer clock;
    clock.start();
    QByteArray output;
    while (!output.contains('\n') && m_process.state() == QProcess::Running && clock.elapsed() < 30000) {
        m_process.waitForReadyRead(100);
        output += m_process.readAllStandardOutput();
    }
    const QByteArray number = output.trimmed();
    if (number.isEmpty())
        return;
    m_display = ':' + number;
    if (!DX11TestDisplay::isReachable(m_display))
        m_display.clear();
}

DNestedXServer::~DNestedXServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool DNestedXServer::isRunning() const
{
    return !m_display.isEmpty() && m_process.state() == QProcess::Running;
}
