// Zorvelshot: one instance per user, living in the tray, with its main window.
#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QIcon>
#include <QScriptEngineDebugger>

#include "DApplication.h"
#include "DHotKeyEventFilter.h"
#include "DLinuxPlatformServices.h"
#include "DMainDialog.h"
#include "DProduct.h"
#include "DProgramGlobals.h"
#include "DScript.h"
#include "DStartup.h"

int main(int argc, char** argv)
{
    installLinuxPlatformServices();

    // Everything is painted with QPainter: loading the display's OpenGL driver
    // would only cost memory (tens of megabytes with a software renderer) for
    // the whole time the program idles in the tray. A value set by the user wins.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    DApplication app(DProduct::name(), argc, argv);
    if (app.isRunning()) {
        // A second start only brings the running instance forward.
        app.sendMessage(QString(), 5000);
        return 0;
    }

    DHotKeyEventFilter hotkeyFilter;
    QAbstractEventDispatcher::instance()->installNativeEventFilter(&hotkeyFilter);

    DMainDialog window;

    const DStartup::Arguments arguments = DStartup::parseArguments(QCoreApplication::arguments());
    g_bDebugScripts = arguments.debugScripts;
    // Started at login, or right after it, the program stays quietly in the tray.
    if (DStartup::showWindowAtStart(lastLoginTime(), QDateTime::currentDateTime(), arguments.autorun)) {
        window.setVisible(true);
        window.activateWindow();
        window.raise();
    }

    app.setWindowIcon(QIcon(QStringLiteral(":/images/App48.png")));
    app.setQuitOnLastWindowClosed(false);
    app.setActivationWindow(&window, true);
    app.checkUpdate();

    window.setObjectName(QStringLiteral("mgui"));
    DScript* script = DSingleton<DScript>::instance();
    script->addObjectToScript(&window);
    script->runScript(DScript::path() + QStringLiteral("startup.js"), g_bDebugScripts);

    return app.exec();
}
