#include "DScript.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QScriptEngine>
#include <QScriptEngineDebugger>
#include <QStringList>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include "DConfig.h"
#include "DScriptBuiltinLimits.h"
#include "DScriptOwnershipGuard.h"
#include "DScriptWatchdog.h"

namespace {

// The one engine, for the application's clean-up routine.
DScript* s_pScript = nullptr;

// getPreference(name): the stored value, or undefined.
QScriptValue getPreference(QScriptContext* context, QScriptEngine* engine)
{
    if (context->argumentCount() != 1)
        return QScriptValue(QScriptValue::UndefinedValue);
    const QVariant value = DConfig::_instance()->scriptPreference(context->argument(0).toString());
    if (!value.isValid())
        return QScriptValue(QScriptValue::UndefinedValue);
    return engine->newVariant(value);
}

// setPreference(name, value): true once stored, null for a wrong call, and
// for a name that would leave the scripts' own group of settings.
QScriptValue setPreference(QScriptContext* context, QScriptEngine*)
{
    if (context->argumentCount() != 2)
        return QScriptValue(QScriptValue::NullValue);
    const QString name = context->argument(0).toString();
    if (!DConfig::isScriptPreferenceName(name)) {
        qWarning("setPreference: \"%s\" names no preference; nothing stored.", qPrintable(name));
        return QScriptValue(QScriptValue::NullValue);
    }
    DConfig::_instance()->setScriptPreference(name, context->argument(1).toVariant());
    return QScriptValue(true);
}

} // namespace

DScript::DScript()
    : m_pEngine(nullptr)
    , m_pWatchdog(nullptr)
    , m_pGuard(new DScriptOwnershipGuard)
{
    s_pScript = this;
}

QScriptEngine* DScript::engine()
{
    ensureEngine();
    return m_pEngine;
}

void DScript::ensureEngine()
{
    if (m_pEngine)
        return;
    m_pEngine = new QScriptEngine;
    m_pWatchdog = new DScriptWatchdog(m_pEngine);
    QObject::connect(m_pWatchdog, &DScriptWatchdog::scriptCallBegins, m_pGuard,
                     &DScriptOwnershipGuard::beginScriptCall);
    QObject::connect(m_pWatchdog, &DScriptWatchdog::scriptCallEnds, m_pGuard, &DScriptOwnershipGuard::endScriptCall);
    DScriptBuiltinLimits::install(m_pEngine);
    QScriptValue global = m_pEngine->globalObject();
    global.setProperty(QStringLiteral("getPreference"), m_pEngine->newFunction(getPreference, 0));
    global.setProperty(QStringLiteral("setPreference"), m_pEngine->newFunction(setPreference, 0));

    const QStringList bindings = {QStringLiteral("qt.core"), QStringLiteral("qt.gui"),
                                  QStringLiteral("qt.network")};
    QStringList failed;
    for (const QString& binding : bindings) {
        if (m_pEngine->importExtension(binding).isError())
            failed << binding;
    }
    // A failed import leaves its exception pending until the next evaluation.
    m_pEngine->clearExceptions();
    if (failed.size() == bindings.size())
        qWarning("Failed to import Qt bindings!\n");
    else if (!failed.isEmpty())
        qWarning("Failed to import some Qt bindings: %s\n", failed.join(", ").toLocal8Bit().constData());

    for (auto it = m_pendingObjects.cbegin(); it != m_pendingObjects.cend(); ++it) {
        if (it.value())
            exposeObject(it.key(), it.value());
    }
    m_pendingObjects.clear();
}

DScript::~DScript()
{
    deleteDebugger();
    delete m_pWatchdog;
    delete m_pEngine;
    delete m_pGuard;
    if (s_pScript == this)
        s_pScript = nullptr;
}

QString DScript::path()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/scripts/");
}

bool DScript::readScript(const QString& fileName, QString& program)
{
    const QFileInfo info(fileName);
    // Only a regular file holds a script: opening a pipe would wait for a
    // writer, and a device could be read forever.
    if (!info.exists() || !info.isFile())
        return false;
    if (info.size() > MaxScriptBytes) {
        qWarning("Script %s is larger than %lld bytes and was skipped.", qPrintable(fileName), MaxScriptBytes);
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // It may have grown since its size was looked at.
    QByteArray text = file.read(MaxScriptBytes + 1);
    if (text.size() > MaxScriptBytes) {
        qWarning("Script %s is larger than %lld bytes and was skipped.", qPrintable(fileName), MaxScriptBytes);
        return false;
    }
    QTextStream stream(&text, QIODevice::ReadOnly);
    stream.setCodec("UTF-8");
    program = stream.readAll();
    return true;
}

void DScript::runScript(const QString& fileName, bool debug)
{
    QString program;
    if (!readScript(fileName, program))
        return;

    ensureEngine();

    if (debug) {
        ensureDebugger();
        if (m_pDebugger)
            m_pDebugger->attachTo(m_pEngine);
    } else if (m_pDebugger) {
        m_pDebugger->detach();
    }
    // A debugger, while attached, takes the watchdog's place.
    if (!debug || !m_pDebugger)
        m_pWatchdog->reinstall();
    guardAsTheAgentAllows();

    // The start-up script runs before the application's event loop does.
    const bool beforeEventLoop = QThread::currentThread()->loopLevel() == 0 && !m_pEngine->isEvaluating();

    // Errors in a script are the script's own business.
    m_pWatchdog->beginRun(fileName);
    m_pEngine->evaluate(program, fileName, 1);
    m_pWatchdog->endRun();
    m_pEngine->clearExceptions();
    m_pWatchdog->settleStop();

    if (beforeEventLoop)
        keepQuitRequest();
}

void DScript::keepQuitRequest()
{
    // A request to quit reaches only the event loops that run, and the
    // application's loop forgets any earlier one as it starts: one made while
    // a script let events through before that loop ran (the user chose "Exit"
    // meanwhile, or the script closed the window) would be lost. A loop
    // started now ends at once when one was made, and the request is made
    // again for the application's loop.
    if (!QCoreApplication::instance())
        return;
    QEventLoop probe;
    const int ranToItsEnd = 1;
    QTimer::singleShot(0, &probe, [&probe, ranToItsEnd] { probe.exit(ranToItsEnd); });
    if (probe.exec() != ranToItsEnd)
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

void DScript::addObjectToScript(QObject* object)
{
    if (!object)
        return;
    if (!m_pEngine) {
        // A later object under the same name replaces this one, as a global would.
        m_pendingObjects.insert(object->objectName(), object);
        return;
    }
    exposeObject(object->objectName(), object);
}

void DScript::exposeObject(const QString& name, QObject* object)
{
    // From the moment a script can reach it (no script, no cost).
    m_pGuard->protect(object);
    const QScriptValue value = m_pEngine->newQObject(object, QScriptEngine::QtOwnership);
    m_pEngine->globalObject().setProperty(name, value);
}

void DScript::addImageToScript(const QString& name, const QImage& image)
{
    ensureEngine();
    m_pEngine->globalObject().setProperty(name, m_pEngine->newVariant(QVariant(image)));
}

void DScript::ensureDebugger()
{
    if (m_pDebugger)
        return;
    // The debugger's windows need a GUI application, and they must be gone
    // before it is: the debugger is deleted when the application quits.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    m_pDebugger = new QScriptEngineDebugger;
    m_pDebugger->setAutoShowStandardWindow(true);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_pDebugger.data(),
                     &QObject::deleteLater);
    qRemovePostRoutine(&DScript::deleteDebuggerBeforeApplication);
    qAddPostRoutine(&DScript::deleteDebuggerBeforeApplication);
}

void DScript::deleteDebuggerBeforeApplication()
{
    if (s_pScript)
        s_pScript->deleteDebugger();
}

void DScript::deleteDebugger()
{
    if (!m_pDebugger)
        return;
    // Its windows cannot be deleted once the application object is gone; the
    // application's clean-up routine has deleted it before that.
    if (QCoreApplication::instance()) {
        m_pDebugger->detach();
        delete m_pDebugger.data();
    }
    m_pDebugger.clear();
    if (m_pWatchdog)
        m_pWatchdog->reinstall();
    guardAsTheAgentAllows();
}

void DScript::guardAsTheAgentAllows()
{
    // Only the watchdog tells the guard of the calls into script code.
    m_pGuard->setSeesScriptCalls(!m_pEngine || m_pEngine->agent() == m_pWatchdog);
}
