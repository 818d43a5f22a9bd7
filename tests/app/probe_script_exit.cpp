// Runs a script under the debugger with the debugger's window shown, then
// ends the application, either through its event loop ("exec") or without
// ever running one ("noexec"). The script engine itself lives on until the
// singleton repository deletes it after main() returns.
#include <QApplication>
#include <QMainWindow>
#include <QScriptEngineDebugger>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "DScript.h"

int main(int argc, char** argv)
{
    const bool runEventLoop = argc > 1 && QByteArray(argv[1]) == "exec";
    {
        QApplication app(argc, argv);
        QTemporaryDir dir;
        const QString fileName = dir.filePath("probe.js");
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write("var probe = 1 + 1;\n");
        file.close();

        DScript* script = DSingleton<DScript>::instance();
        script->runScript(fileName, true);
        if (!script->debugger())
            return 3;
        script->debugger()->standardWindow()->show();
        app.processEvents();
        if (runEventLoop) {
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
            app.exec();
        }
    }
    std::printf("application gone\n");
    std::fflush(stdout);
    return 0;
}
