#ifndef DWARNINGCOLLECTOR_H
#define DWARNINGCOLLECTOR_H

#include <QStringList>
#include <QtGlobal>

// Keeps the warnings given between start and stop from the test log, for the
// test to look at; other messages go on as before.
namespace DWarningCollector {

inline QStringList& warnings()
{
    static QStringList collected;
    return collected;
}

inline QtMessageHandler& previousHandler()
{
    static QtMessageHandler previous = nullptr;
    return previous;
}

inline void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg)
        warnings() << message;
    else if (previousHandler())
        previousHandler()(type, context, message);
}

inline void start()
{
    warnings().clear();
    previousHandler() = qInstallMessageHandler(collect);
}

inline void stop()
{
    qInstallMessageHandler(previousHandler());
}

// Collects for as long as it lives.
struct Scope
{
    Scope() { start(); }
    ~Scope() { stop(); }
};

} // namespace DWarningCollector

#endif // DWARNINGCOLLECTOR_H
