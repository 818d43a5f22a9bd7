#ifndef DSCRIPT_H
#define DSCRIPT_H

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QScriptEngineDebugger>
#include <QString>

#include "DSingleton.h"

class DScriptOwnershipGuard;
class DScriptWatchdog;
class QObject;
class QScriptEngine;

// The one script engine of the process. Script files beside the executable
// extend the program; a missing, broken or oversized script is skipped.
// Scripts are guests: they cannot delete what the program hands them (see
// DScriptOwnershipGuard), and none runs longer than the time limit or keeps
// the interface from answering meanwhile (see DScriptWatchdog).
// No script ships with the program, so the engine (megabytes of interpreter
// state) is built only when something needs it: the first script that is
// really run, the first image handed over, or the first call of engine().
// Objects exposed before that wait, by name, and become globals as soon as the
// engine exists.
class DScript : public DSingleton<DScript>
{
    friend class DSingleton<DScript>;

public:
    // A script file is a few kilobytes; a larger one is skipped with a warning.
    static constexpr qint64 MaxScriptBytes = 1024 * 1024;

    // The scripts folder: the executable's folder followed by "/scripts/".
    static QString path();

    void runScript(const QString& fileName, bool debug);
    // Scripts see the object under its name; it and its descendants stay the
    // program's (a script cannot delete them).
    void addObjectToScript(QObject* object);
    void addImageToScript(const QString& name, const QImage& image);

    // Builds the engine on first use.
    QScriptEngine* engine();
    // Null until the first debug run, and again once the application quits.
    QScriptEngineDebugger* debugger() const { return m_pDebugger; }

private:
    DScript();
    ~DScript() override;

    void ensureEngine();
    void exposeObject(const QString& name, QObject* object);
    void ensureDebugger();
    // Tells the guard whether the calls into script code are reported to it.
    void guardAsTheAgentAllows();
    void deleteDebugger();
    // Runs while the application object is still alive, also when its event
    // loop never ran (and so never said it is about to quit).
    static void deleteDebuggerBeforeApplication();

    // Makes a request to quit that came while a script ran before the
    // application's event loop again, so that this loop ends at once.
    static void keepQuitRequest();

    // Reads the whole file, or nothing when it is no regular, readable file
    // of at most MaxScriptBytes.
    static bool readScript(const QString& fileName, QString& program);

    // Owned; null until first needed.
    QScriptEngine* m_pEngine;
    // Built with the engine, and deleted before it (which would delete it
    // too: an engine owns its agents).
    DScriptWatchdog* m_pWatchdog;
    // Owned; protects each object once scripts can reach it.
    DScriptOwnershipGuard* m_pGuard;
    // Exposed before the engine existed, by the name given to scripts. An
    // object deleted in the meantime is left out.
    QHash<QString, QPointer<QObject>> m_pendingObjects;
    // Owned. Its windows must go before the application object does, so it is
    // deleted when the application quits, and the pointer clears itself.
    QPointer<QScriptEngineDebugger> m_pDebugger;
};

#endif // DSCRIPT_H
