#ifndef DSCRIPT_H
#define DSCRIPT_H

#include <QImage>
#include <QPointer>
#include <QScriptEngineDebugger>
#include <QString>

#include "DSingleton.h"

class QObject;
class QScriptEngine;

// The one script engine of the process. Script files beside the executable
// extend the program; a missing or broken script is skipped.
class DScript : public DSingleton<DScript>
{
    friend class DSingleton<DScript>;

public:
    // The scripts folder: the executable's folder followed by "/scripts/".
    static QString path();

    void runScript(const QString& fileName, bool debug);
    void addObjectToScript(QObject* object);
    void addImageToScript(const QString& name, const QImage& image);

    QScriptEngine* engine() const { return m_pEngine; }
    // Null until the first debug run, and again once the application quits.
    QScriptEngineDebugger* debugger() const { return m_pDebugger; }

private:
    DScript();
    ~DScript() override;

    void ensureDebugger();
    void deleteDebugger();
    // Runs while the application object is still alive, also when its event
    // loop never ran (and so never said it is about to quit).
    static void deleteDebuggerBeforeApplication();

    QScriptEngine* m_pEngine;
    // Owned. Its windows must go before the application object does, so it is
    // deleted when the application quits, and the pointer clears itself.
    QPointer<QScriptEngineDebugger> m_pDebugger;
};

#endif // DSCRIPT_H
