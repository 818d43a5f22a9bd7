#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScriptEngine>
#include <QScriptEngineAgent>
#include <QScriptEngineDebugger>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

#include "DConfig.h"
#include "DFakeLoginItems.h"
#include "DProcessMemory.h"
#include "DScript.h"
#include "DScriptProbe.h"
#include "DScriptWatchdog.h"
#include "DWarningCollector.h"

namespace {

QString outerStoppedWarning()
{
    return QStringLiteral("Script outer.js ran longer than 5 seconds and was stopped.");
}

} // namespace

class tst_DScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void constructionWarnsAboutTheMissingBindings();
    void pathIsTheScriptsFolderBesideTheExecutable();
    void getPreferenceWithWrongArgumentsIsUndefined_data();
    void getPreferenceWithWrongArgumentsIsUndefined();
    void setPreferenceWithWrongArgumentsIsNullAndStoresNothing_data();
    void setPreferenceWithWrongArgumentsIsNullAndStoresNothing();
    void preferencesComeBackInALaterRun();
    void scriptTextIsUtf8();
    void missingFileChangesNothing();
    void brokenScriptsAreSkipped_data();
    void brokenScriptsAreSkipped();
    void unreadableScriptIsSkipped();
    void scriptWithoutReadPermissionIsSkipped();
    void pipesAndDevicesAreSkipped_data();
    void pipesAndDevicesAreSkipped();
    void exposedObjectsAreGlobalsByName();
    void exposedImageIsAGlobalVariant();
    void debuggerIsCreatedOnceAndAttachedOnlyForDebugRuns();
    void debuggerGoesWhenTheApplicationQuits();
    void exitWithTheDebuggerWindowShownDoesNotCrash_data();
    void exitWithTheDebuggerWindowShownDoesNotCrash();

    void scriptCannotDeleteWhatItIsShown_data();
    void scriptCannotDeleteWhatItIsShown();
    void childMadeLaterIsTheProgramsToo_data();
    void childMadeLaterIsTheProgramsToo();
    void programDeletesWhatItMadeLater_data();
    void programDeletesWhatItMadeLater();
    void endlessScriptIsStoppedWhileTheEventLoopRuns_data();
    void endlessScriptIsStoppedWhileTheEventLoopRuns();
    void scriptWithinTheTimeLimitRunsToItsEnd();
    void scriptRunWhileAnotherRunsHasItsOwnTimeLimit_data();
    void scriptRunWhileAnotherRunsHasItsOwnTimeLimit();
    void functionsConnectedStillRunAfterAStop_data();
    void functionsConnectedStillRunAfterAStop();
    void quitAskedWhileAScriptRunsBeforeTheEventLoopIsKept_data();
    void quitAskedWhileAScriptRunsBeforeTheEventLoopIsKept();
    void oversizedScriptIsSkipped();
    void preferenceNamesStayInTheScriptsGroup_data();
    void preferenceNamesStayInTheScriptsGroup();
    void builtinsAnswerAsBefore_data();
    void builtinsAnswerAsBefore();
    void hungryScriptsAreStopped_data();
    void hungryScriptsAreStopped();

private:
    QString writeScript(const QString& name, const QByteArray& text);
    DScript* script() const { return DSingleton<DScript>::instance(); }
    // The debugger's agent in place of the watchdog's.
    bool attached() const
    {
        QScriptEngineAgent* agent = script()->engine()->agent();
        return agent && !dynamic_cast<DScriptWatchdog*>(agent);
    }

    QTemporaryDir m_dir;
    DFakeLoginItems m_loginItems;
};

void tst_DScript::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString tst_DScript::writeScript(const QString& name, const QByteArray& text)
{
    return writeScriptFile(m_dir, name, text);
}

void tst_DScript::constructionWarnsAboutTheMissingBindings()
{
    // No Qt binding plug-ins exist for this Qt; the engine works without them.
    QTest::ignoreMessage(QtWarningMsg, "Failed to import Qt bindings!\n");
    QVERIFY(script()->engine());
    QCOMPARE(script()->engine()->evaluate("6 * 7").toInt32(), 42);
    QVERIFY(!script()->engine()->hasUncaughtException());
}

void tst_DScript::pathIsTheScriptsFolderBesideTheExecutable()
{
    QCOMPARE(DScript::path(), QCoreApplication::applicationDirPath() + "/scripts/");
}

void tst_DScript::getPreferenceWithWrongArgumentsIsUndefined_data()
{
    QTest::addColumn<QString>("call");
    QTest::newRow("no argument") << "getPreference()";
    QTest::newRow("two arguments") << "getPreference('a', 'b')";
    QTest::newRow("never written") << "getPreference('neverWritten')";
}

void tst_DScript::getPreferenceWithWrongArgumentsIsUndefined()
{
    QFETCH(QString, call);
    const QScriptValue result = script()->engine()->evaluate(call);
    QVERIFY(!script()->engine()->hasUncaughtException());
    QVERIFY(result.isUndefined());
}

void tst_DScript::setPreferenceWithWrongArgumentsIsNullAndStoresNothing_data()
{
    QTest::addColumn<QString>("call");
    QTest::newRow("one argument") << "setPreference('a')";
    QTest::newRow("three arguments") << "setPreference('a', 1, 2)";
    QTest::newRow("no argument") << "setPreference()";
}

void tst_DScript::setPreferenceWithWrongArgumentsIsNullAndStoresNothing()
{
    QFETCH(QString, call);
    const QScriptValue result = script()->engine()->evaluate(call);
    QVERIFY(result.isNull());
    QVERIFY(!DConfig::_instance()->m_pSettings->contains("ScriptPreference/a"));
}

void tst_DScript::preferencesComeBackInALaterRun()
{
    const QString writer = writeScript("writer.js", "var stored = setPreference('count', 41 + 1);\n");
    script()->runScript(writer, false);
    QCOMPARE(script()->engine()->globalObject().property("stored").toBool(), true);
    QCOMPARE(DConfig::_instance()->scriptPreference("count").toInt(), 42);

    const QString reader = writeScript("reader.js", "var back = getPreference('count');\n");
    script()->runScript(reader, false);
    QCOMPARE(script()->engine()->globalObject().property("back").toInt32(), 42);
}

void tst_DScript::scriptTextIsUtf8()
{
    const QString path = writeScript("utf8.js", "setPreference('word', '\xc3\xa4\xc3\xb6');\n");
    script()->runScript(path, false);
    QCOMPARE(DConfig::_instance()->scriptPreference("word").toString(), QString::fromUtf8("\xc3\xa4\xc3\xb6"));
}

void tst_DScript::missingFileChangesNothing()
{
    const QString present = writeScript("attach.js", "var attachedRun = 1;\n");
    script()->runScript(present, true);
    QVERIFY(attached());
    script()->runScript(m_dir.filePath("missing.js"), false);
    QVERIFY(attached());

    script()->runScript(present, false);
    QVERIFY(!attached());
    script()->runScript(m_dir.filePath("missing.js"), true);
    QVERIFY(!attached());
}

void tst_DScript::brokenScriptsAreSkipped_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("throws") << QByteArray("var before = 1; throw new Error('boom'); var after = 2;\n");
    QTest::newRow("does not parse") << QByteArray("var before = 1; function ( {\n");
    QTest::newRow("calls what does not exist") << QByteArray("noSuchFunction();\n");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01garbage", 11);
    QTest::newRow("empty") << QByteArray();
}

void tst_DScript::brokenScriptsAreSkipped()
{
    QFETCH(QByteArray, text);
    script()->runScript(writeScript("broken.js", text), false);
    // The engine carries on, with no exception left over from the script.
    QVERIFY(!script()->engine()->hasUncaughtException());
    script()->runScript(writeScript("after.js", "var healthy = 'yes';\n"), false);
    QCOMPARE(script()->engine()->globalObject().property("healthy").toString(), QStringLiteral("yes"));
}

void tst_DScript::unreadableScriptIsSkipped()
{
    script()->engine()->globalObject().setProperty("marker", QScriptValue());
    // A folder by the script's name exists but cannot be read as a file.
    const QString folder = m_dir.filePath("folder.js");
    QVERIFY(QDir().mkpath(folder));
    script()->runScript(folder, false);
    QVERIFY(!script()->engine()->globalObject().property("marker").isValid());
    QVERIFY(!script()->engine()->hasUncaughtException());
}

void tst_DScript::scriptWithoutReadPermissionIsSkipped()
{
    if (::geteuid() == 0)
        QSKIP("root reads files without read permission");
    script()->engine()->globalObject().setProperty("marker", QScriptValue());
    const QString locked = writeScript("locked.js", "var marker = 1;\n");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    script()->runScript(locked, false);
    QVERIFY(!script()->engine()->globalObject().property("marker").isValid());
}

void tst_DScript::pipesAndDevicesAreSkipped_data()
{
    QTest::addColumn<QString>("path");
    // Opening a pipe waits for a writer; reading this device never ends.
    QTest::newRow("pipe") << m_dir.filePath("pipe.js");
    QTest::newRow("device") << "/dev/zero";
}

void tst_DScript::pipesAndDevicesAreSkipped()
{
    QFETCH(QString, path);
    if (path.startsWith(m_dir.path()) && !QFileInfo::exists(path))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(QFileInfo::exists(path));
    script()->runScript(writeScript("attach-before-pipe.js", "1;\n"), true);
    QVERIFY(attached());
    // Returns at once and, like a missing file, leaves the debugger as it was.
    script()->runScript(path, false);
    QVERIFY(attached());
    QVERIFY(!script()->engine()->hasUncaughtException());
}

void tst_DScript::exposedObjectsAreGlobalsByName()
{
    DScriptProbe first(1);
    first.setObjectName("probe");
    script()->addObjectToScript(&first);
    QCOMPARE(script()->engine()->evaluate("probe.answer").toInt32(), 1);
    script()->engine()->evaluate("probe.poke()");
    QCOMPARE(first.pokes, 1);

    // A second object under the same name takes the place of the first.
    DScriptProbe second(2);
    second.setObjectName("probe");
    script()->addObjectToScript(&second);
    QCOMPARE(script()->engine()->evaluate("probe.answer").toInt32(), 2);

    // The script does not own what it is shown.
    script()->engine()->collectGarbage();
    QCOMPARE(second.answer(), 2);
}

void tst_DScript::exposedImageIsAGlobalVariant()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::red);
    script()->addImageToScript("shot", image);
    const QScriptValue value = script()->engine()->globalObject().property("shot");
    QVERIFY(value.isVariant());
    QCOMPARE(value.toVariant().type(), QVariant::Image);
    QCOMPARE(value.toVariant().value<QImage>(), image);
}

void tst_DScript::debuggerIsCreatedOnceAndAttachedOnlyForDebugRuns()
{
    const QString path = writeScript("debug.js", "var debugRuns = (typeof debugRuns == 'number') ? debugRuns + 1 : 1;\n");
    script()->runScript(path, true);
    QScriptEngineDebugger* debugger = script()->debugger();
    QVERIFY(debugger);
    QVERIFY(attached());
    // Owned by the script engine, not by some window.
    QVERIFY(!debugger->parent());

    script()->runScript(path, true);
    QCOMPARE(script()->debugger(), debugger);
    QVERIFY(attached());

    script()->runScript(path, false);
    QCOMPARE(script()->debugger(), debugger);
    QVERIFY(!attached());

    script()->runScript(path, true);
    QCOMPARE(script()->debugger(), debugger);
    QVERIFY(attached());
    QCOMPARE(script()->engine()->globalObject().property("debugRuns").toInt32(), 4);
}

void tst_DScript::debuggerGoesWhenTheApplicationQuits()
{
    script()->runScript(writeScript("quit.js", "1;\n"), true);
    QPointer<QScriptEngineDebugger> debugger = script()->debugger();
    QVERIFY(debugger);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    qApp->exec();
    QVERIFY(!debugger);
    QVERIFY(!script()->debugger());
    // A later debug run gets a new one.
    script()->runScript(writeScript("again.js", "1;\n"), true);
    QVERIFY(script()->debugger());
}

void tst_DScript::exitWithTheDebuggerWindowShownDoesNotCrash_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("through the event loop") << "exec";
    QTest::newRow("without an event loop") << "noexec";
}

void tst_DScript::exitWithTheDebuggerWindowShownDoesNotCrash()
{
    QFETCH(QString, mode);
    QProcess probe;
    probe.start(QCoreApplication::applicationDirPath() + "/probe_script_exit", {mode});
    QVERIFY2(probe.waitForFinished(60000), "the probe did not end");
    const QByteArray errors = probe.readAllStandardError();
    QVERIFY2(probe.exitStatus() == QProcess::NormalExit, errors.constData());
    QVERIFY2(probe.exitCode() == 0, errors.constData());
    QVERIFY(probe.readAllStandardOutput().contains("application gone"));
}

void tst_DScript::scriptCannotDeleteWhatItIsShown_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("the object") << "guarded" << QByteArray("guarded.deleteLater();\n");
    QTest::newRow("the object, by signature") << "guarded" << QByteArray("guarded['deleteLater()']();\n");
    QTest::newRow("its child by name") << "part" << QByteArray("guarded.part.deleteLater();\n");
    QTest::newRow("its child found") << "part" << QByteArray("guarded.findChild('part').deleteLater();\n");
    QTest::newRow("its child among all found")
        << "part" << QByteArray("guarded.findChildren()[0].deleteLater();\n");
    QTest::newRow("a borrowed slot")
        << "guarded" << QByteArray("var f = guarded.part.deleteLater; f.call(guarded);\n");
    QTest::newRow("a borrowed slot, by signature, applied")
        << "guarded" << QByteArray("guarded.part['deleteLater()'].apply(guarded, []);\n");
    QTest::newRow("call called through call")
        << "guarded" << QByteArray("Function.prototype.call.call(guarded.part.deleteLater, guarded);\n");
    QTest::newRow("a slot a built-in calls")
        << "guarded" << QByteArray("[guarded].forEach(function (o) { o.deleteLater(); });\n");
    QTest::newRow("a slot a built-in calls directly")
        << "guarded" << QByteArray("[0].forEach(guarded.deleteLater, guarded);\n");
    QTest::newRow("a function a signal calls later")
        << "guarded" << QByteArray("guarded.poked.connect(function() { guarded.deleteLater(); });\n");
    QTest::newRow("before a function a slot it calls calls")
        << "guarded" << QByteArray("guarded.poked.connect(function() {});\n"
                                   "guarded.deleteLater();\n"
                                   "guarded.poke();\n");
    QTest::newRow("a slot connected by name")
        << "guarded" << QByteArray("guarded.poked.connect(guarded, 'deleteLater');\n");
    QTest::newRow("a slot connected by signature")
        << "guarded" << QByteArray("guarded.poked.connect(guarded, 'deleteLater()');\n");
    QTest::newRow("a slot connected as a function")
        << "guarded" << QByteArray("guarded.poked.connect(guarded.deleteLater);\n");
    QTest::newRow("a slot connected with its object")
        << "guarded" << QByteArray("guarded.poked.connect(guarded, guarded.deleteLater);\n");
    QTest::newRow("a borrowed slot connected with another object")
        << "guarded" << QByteArray("guarded.poked.connect(guarded, guarded.part.deleteLater);\n");
    QTest::newRow("its child's slot connected")
        << "part" << QByteArray("guarded.poked.connect(guarded.part, 'deleteLater');\n");
}

void tst_DScript::scriptCannotDeleteWhatItIsShown()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, text);
    // On the heap here, so that a deletion shows as a cleared pointer rather
    // than as the crash it is for the program's window on main's stack.
    auto* guarded = new DScriptProbe(1);
    guarded->setObjectName("guarded");
    auto* part = new QObject(guarded);
    part->setObjectName("part");
    QPointer<QObject> watched = target == QLatin1String("part") ? part : static_cast<QObject*>(guarded);
    script()->addObjectToScript(guarded);

    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("Refused to delete %1 \"%2\": it belongs to the program, not to a script.")
                                        .arg(watched->metaObject()->className(), target)));
    script()->runScript(writeScript("delete.js", text), false);
    guarded->poke();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched);
    QCOMPARE(part->parent(), guarded);
    delete guarded;
}

// What comes into being after the object was shown (a panel's animation, a
// dialog's parts, a child moved in from elsewhere) is the program's as much:
// a script's deletion of it is refused, at once or from a function a signal
// calls later.
void tst_DScript::childMadeLaterIsTheProgramsToo_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("later");
    QTest::newRow("at once") << QByteArray("shown.later.deleteLater(); shown.later.inner.deleteLater();\n"
                                           "shown.moved.deleteLater(); shown.moved.movedChild.deleteLater();\n")
                             << false;
    QTest::newRow("from a function a signal calls")
        << QByteArray("shown.poked.connect(function () {\n"
                      "    var all = shown.findChildren();\n"
                      "    for (var i = 0; i < all.length; ++i)\n"
                      "        all[i].deleteLater();\n"
                      "});\n")
        << true;
}

void tst_DScript::childMadeLaterIsTheProgramsToo()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, later);
    // The engine is there, and the object is shown to it at once.
    script()->engine();
    DScriptProbe shown(1);
    shown.setObjectName("shown");
    script()->addObjectToScript(&shown);
    if (later)
        script()->runScript(writeScript("later.js", text), false);
    // Made after the object was shown: a child, its child, and a child
    // that came from elsewhere with one of its own.
    auto* child = new QObject(&shown);
    child->setObjectName("later");
    auto* inner = new QObject(child);
    inner->setObjectName("inner");
    QObject elsewhere;
    auto* moved = new QObject(&elsewhere);
    moved->setObjectName("moved");
    auto* movedChild = new QObject(moved);
    movedChild->setObjectName("movedChild");
    moved->setParent(&shown);
    const QList<QPointer<QObject>> watched{child, inner, moved, movedChild};

    DWarningCollector::start();
    if (later)
        shown.poke();
    else
        script()->runScript(writeScript("later.js", text), false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DWarningCollector::stop();
    for (const QPointer<QObject>& object : watched)
        QVERIFY2(object, "deleted by a script");
    for (const char* name : {"later", "inner", "moved", "movedChild"})
        QVERIFY2(DWarningCollector::warnings().contains(QStringLiteral("Refused to delete QObject \"%1\": it belongs to the program, "
                                                    "not to a script.").arg(name)),
                 qPrintable(DWarningCollector::warnings().join('|')));
}

// The program's own deferred deletions go ahead: of an object that left the
// shown tree, and of a window made later that deletes itself when closed (a
// context menu), whoever closes it.
void tst_DScript::programDeletesWhatItMadeLater_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("the program closes the menu") << QByteArray();
    QTest::newRow("a script closes the menu") << QByteArray("window.menu.close();\n");
}

void tst_DScript::programDeletesWhatItMadeLater()
{
    QFETCH(QByteArray, text);
    QWidget window;
    window.setObjectName("window");
    script()->addObjectToScript(&window);
    auto* menu = new QWidget(&window, Qt::Popup);
    menu->setObjectName("menu");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->show();
    auto* leaving = new QObject(&window);
    QPointer<QObject> watchedMenu(menu);
    QPointer<QObject> watchedLeaving(leaving);
    if (text.isEmpty())
        menu->close();
    else
        script()->runScript(writeScript("close.js", text), false);
    leaving->setParent(nullptr);
    leaving->deleteLater();
    DWarningCollector::start();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DWarningCollector::stop();
    QVERIFY(!watchedMenu);
    QVERIFY(!watchedLeaving);
    QCOMPARE(DWarningCollector::warnings(), QStringList());
}

void tst_DScript::endlessScriptIsStoppedWhileTheEventLoopRuns_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("called");
    QTest::addColumn<QString>("warning");
    const QString stoppedRun = QStringLiteral("Script endless.js ran longer than 5 seconds and was stopped.");
    QTest::newRow("endless loop") << QByteArray("while (true) {}\n") << false << stoppedRun;
    QTest::newRow("endless loop in a function")
        << QByteArray("function spin(n) { while (true) { n++; } }\nspin(0);\n") << false << stoppedRun;
    QTest::newRow("stop caught and ignored")
        << QByteArray("for (;;) { try { while (true) {} } catch (e) {} }\n") << false << stoppedRun;
    // Each step a slow built-in call: few steps for the engine to count.
    QTest::newRow("endless loop of slow steps")
        << QByteArray("var list = []; for (var i = 0; i < 1000000; ++i) list.push(i);\nwhile (true) list.slice();\n")
        << false << stoppedRun;
    QTest::newRow("endless function a signal calls")
        << QByteArray("looper.poked.connect(function() { while (true) {} });\n") << true
        << QStringLiteral("A script function ran longer than 5 seconds and was stopped.");
}

void tst_DScript::endlessScriptIsStoppedWhileTheEventLoopRuns()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, called);
    QFETCH(QString, warning);
    DScriptProbe looper(1);
    looper.setObjectName("looper");
    script()->addObjectToScript(&looper);
    const QString path = writeScript("endless.js", text);

    // Timers keep firing while the script runs: the interface is answered.
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(100);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    QElapsedTimer clock;
    clock.start();
    script()->runScript(path, false);
    if (called)
        looper.poke();
    QVERIFY(clock.elapsed() >= DScriptWatchdog::TimeLimitMs);
    // Stopped soon after the limit, not whenever the engine happens to look.
    QVERIFY2(clock.elapsed() < DScriptWatchdog::TimeLimitMs + 3000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    QVERIFY(!script()->engine()->isEvaluating());

    // The engine serves the next script as before.
    script()->runScript(writeScript("after.js", "var afterEndless = 'yes';\n"), false);
    QCOMPARE(script()->engine()->globalObject().property("afterEndless").toString(), QStringLiteral("yes"));
}

void tst_DScript::scriptWithinTheTimeLimitRunsToItsEnd()
{
    // Busy for a second, then done, without a warning.
    DWarningCollector::start();
    script()->runScript(writeScript("busy.js", "var t = Date.now(); while (Date.now() - t < 1000) {}\n"
                                               "var busyDone = true;\n"),
                        false);
    DWarningCollector::stop();
    QVERIFY(script()->engine()->globalObject().property("busyDone").toBool());
    QCOMPARE(DWarningCollector::warnings(), QStringList());
}

void tst_DScript::scriptRunWhileAnotherRunsHasItsOwnTimeLimit_data()
{
    // A capture started while the start-up script runs runs the overlay's
    // script inside the first one's event loop passes.
    QTest::addColumn<QByteArray>("inner");
    QTest::addColumn<QStringList>("warnings");
    QTest::newRow("a short one") << QByteArray("var innerDone = true;\n") << QStringList({outerStoppedWarning()});
    // Stopping the inner one stops the engine's whole evaluation, the outer
    // one's with it (whose clock has run past the limit by then as well).
    QTest::newRow("an endless one")
        << QByteArray("var innerDone = true;\nwhile (true) {}\n")
        << QStringList({QStringLiteral("Script inner.js ran longer than 5 seconds and was stopped.")});
}

void tst_DScript::scriptRunWhileAnotherRunsHasItsOwnTimeLimit()
{
    QFETCH(QByteArray, inner);
    QFETCH(QStringList, warnings);
    QScriptValue global = script()->engine()->globalObject();
    global.setProperty("innerDone", QScriptValue());
    global.setProperty("outerAfter", QScriptValue());
    const QString innerPath = writeScript("inner.js", inner);
    const QString outerPath = writeScript("outer.js", "while (true) {}\nvar outerAfter = true;\n");

    QElapsedTimer innerClock;
    qint64 innerTook = -1;
    QTimer::singleShot(200, [&] {
        innerClock.start();
        script()->runScript(innerPath, false);
        innerTook = innerClock.elapsed();
    });
    DWarningCollector::start();
    script()->runScript(outerPath, false);
    DWarningCollector::stop();

    QVERIFY2(innerTook >= 0, "the inner script did not run while the outer one did");
    QVERIFY(global.property("innerDone").toBool());
    QVERIFY(!global.property("outerAfter").toBool());
    QVERIFY2(DWarningCollector::warnings() == warnings, qPrintable(DWarningCollector::warnings().join('|') + " after " + QString::number(innerTook)));
    if (!warnings.contains(outerStoppedWarning()))
        QVERIFY2(innerTook >= DScriptWatchdog::TimeLimitMs, qPrintable(QString::number(innerTook)));
    QVERIFY(!script()->engine()->isEvaluating());

    // The engine serves the next script as before.
    script()->runScript(writeScript("after.js", "var afterNested = 'yes';\n"), false);
    QCOMPARE(global.property("afterNested").toString(), QStringLiteral("yes"));
}

void tst_DScript::functionsConnectedStillRunAfterAStop_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("warning");
    // The connected function is busy long enough for the engine to look
    // whether it is to stop.
    const QByteArray handler = "var handled = 0;\nvar first = true;\n"
                               "function busy() { var t = Date.now(); while (Date.now() - t < 300) {} }\n";
    QTest::newRow("after the run was stopped")
        << QByteArray(handler + "stopped.poked.connect(function() { busy(); handled++; });\nwhile (true) {}\n")
        << QStringLiteral("Script stopped.js ran longer than 5 seconds and was stopped.");
    QTest::newRow("after a function was stopped")
        << QByteArray(handler
                      + "stopped.poked.connect(function() {\n"
                        "    if (first) { first = false; while (true) {} }\n"
                        "    busy(); handled++;\n"
                        "});\n")
        << QStringLiteral("A script function ran longer than 5 seconds and was stopped.");
}

void tst_DScript::functionsConnectedStillRunAfterAStop()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, warning);
    DScriptProbe probe(1);
    probe.setObjectName("stopped");
    script()->addObjectToScript(&probe);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    script()->runScript(writeScript("stopped.js", text), false);
    if (QTest::currentDataTag() == QByteArray("after a function was stopped"))
        probe.poke();
    // The next signal comes through the event loop, as in the program.
    QCoreApplication::processEvents();

    QScriptValue global = script()->engine()->globalObject();
    QCOMPARE(global.property("handled").toInt32(), 0);
    probe.poke();
    QCOMPARE(global.property("handled").toInt32(), 1);
    probe.poke();
    QCOMPARE(global.property("handled").toInt32(), 2);
}

void tst_DScript::quitAskedWhileAScriptRunsBeforeTheEventLoopIsKept_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("quitAfterMs");   // -1: the test asks for no quit
    QTest::addColumn<int>("exitCode");
    const QByteArray busy = "var t = Date.now(); while (Date.now() - t < 1000) {}\n";
    // The user chooses "Exit" in the tray menu while the start-up script runs.
    QTest::newRow("while it runs") << busy << 200 << 0;
    // The script closes the window of a program without a tray icon.
    QTest::newRow("by the script") << QByteArray("quitter.poke();\n") << -1 << 0;
    QTest::newRow("none asked") << busy << -1 << 7;
}

void tst_DScript::quitAskedWhileAScriptRunsBeforeTheEventLoopIsKept()
{
    QFETCH(QByteArray, text);
    QFETCH(int, quitAfterMs);
    QFETCH(int, exitCode);
    DScriptProbe quitter(1);
    quitter.setObjectName("quitter");
    connect(&quitter, &DScriptProbe::poked, qApp, &QCoreApplication::quit);
    script()->addObjectToScript(&quitter);
    if (quitAfterMs >= 0)
        QTimer::singleShot(quitAfterMs, qApp, &QCoreApplication::quit);

    // As at start-up: the script runs, then the application's event loop.
    script()->runScript(writeScript("quit.js", text), false);
    QTimer fallback;
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    fallback.start(3000);
    const int result = QCoreApplication::exec();
    fallback.stop();
    QCOMPARE(result, exitCode);
}

void tst_DScript::oversizedScriptIsSkipped()
{
    script()->engine()->globalObject().setProperty("sizeMarker", QScriptValue());
    QByteArray text = "var sizeMarker = 1;\n//";
    text += QByteArray(int(DScript::MaxScriptBytes) - text.size(), 'x');
    QCOMPARE(text.size(), int(DScript::MaxScriptBytes));
    script()->runScript(writeScript("limit.js", text), false);
    QCOMPARE(script()->engine()->globalObject().property("sizeMarker").toInt32(), 1);

    script()->engine()->globalObject().setProperty("sizeMarker", QScriptValue());
    const QString path = writeScript("large.js", text + "x");
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Script %1 is larger than %2 bytes and was skipped.")
                                                      .arg(path)
                                                      .arg(DScript::MaxScriptBytes)));
    script()->runScript(path, false);
    QVERIFY(!script()->engine()->globalObject().property("sizeMarker").isValid());
}

void tst_DScript::preferenceNamesStayInTheScriptsGroup_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("slash") << "/";
    QTest::newRow("slashes") << "///";
}

void tst_DScript::preferenceNamesStayInTheScriptsGroup()
{
    QFETCH(QString, name);
    QSettings* settings = DConfig::_instance()->m_pSettings;
    // A value the program might keep in the general group, by the group's name.
    settings->setValue("ScriptPreference", "program's own");
    script()->engine()->globalObject().setProperty("escapeName", name);
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("setPreference: \"%1\" names no preference; nothing stored.").arg(name)));
    QVERIFY(script()->engine()->evaluate("setPreference(escapeName, 'x')").isNull());
    QCOMPARE(settings->value("ScriptPreference").toString(), QStringLiteral("program's own"));
    QVERIFY(script()->engine()->evaluate("getPreference(escapeName)").isUndefined());
    settings->remove("ScriptPreference");
    // A name with anything else in it is a key inside the group.
    QVERIFY(script()->engine()->evaluate("setPreference(escapeName + 'kept', 'y')").toBool());
    settings->beginGroup("ScriptPreference");
    QVERIFY(settings->childKeys().contains("kept"));
    settings->endGroup();
}

// The built-ins that stand behind a limit give what they always gave.
void tst_DScript::builtinsAnswerAsBefore_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");
    QTest::newRow("join") << "[1, 2, 3].join('-')" << "1-2-3";
    QTest::newRow("join of holes, null and undefined") << "[1, , null, undefined, 'x'].join()" << "1,,,,x";
    QTest::newRow("join of what is no array") << "Array.prototype.join.call({length: 2, 0: 'a', 1: 'b'}, '+')"
                                              << "a+b";
    QTest::newRow("toString of nested arrays") << "[1, [2, 3]].toString()" << "1,2,3";
    QTest::newRow("an array as text") << "String([1, 2]) + [3]" << "1,23";
    QTest::newRow("toString of what is no array")
        << "try { Array.prototype.toString.call({}); 'no error' } catch (e) { e.name }" << "TypeError";
    QTest::newRow("toLocaleString") << "[1, 'a'].toLocaleString()" << "1,a";
    QTest::newRow("an element's conversion throws")
        << "try { [{toString: function () { throw 'boom'; }}].join(); 'none' } catch (e) { 'caught ' + e }"
        << "caught boom";
    QTest::newRow("array concat") << "[1, 2].concat([3], 4).join()" << "1,2,3,4";
    QTest::newRow("string concat") << "'abc'.concat(1, null)" << "abc1null";
    QTest::newRow("replace every match by a template") << "'aXbX'.replace(/X/g, '[$&]')" << "a[X]b[X]";
    QTest::newRow("replace with captures") << "'john smith'.replace(/(\\w+)\\s(\\w+)/, '$2, $1')" << "smith, john";
    QTest::newRow("replace with what stands around") << "'abc'.replace('b', \"[$`|$']\")" << "a[a|c]c";
    QTest::newRow("replace with a dollar") << "'abc'.replace(/b/g, '$$')" << "a$c";
    QTest::newRow("replace by a function") << "'abc'.replace('b', function (m) { return m.toUpperCase(); })"
                                           << "aBc";
    QTest::newRow("replace by a function returning no text")
        << "'abc'.replace(/b/g, function () { return 7; })" << "a7c";
    QTest::newRow("split") << "'a,b,c'.split(',').length" << "3";
    QTest::newRow("split with a limit") << "'a,b,c'.split(',', 2).join('|')" << "a|b";
    QTest::newRow("match") << "'aaa'.match(/a/g).length" << "3";
    QTest::newRow("JSON") << "JSON.stringify({a: [1, 'x'], b: null})" << "{\"a\":[1,\"x\"],\"b\":null}";
    QTest::newRow("JSON with a list of keys") << "JSON.stringify({b: 1, a: 2, c: 3}, ['a', 'b'])"
                                              << "{\"a\":2,\"b\":1}";
    QTest::newRow("JSON with a replacer")
        << "JSON.stringify({a: 1}, function (k, v) { return typeof v === 'number' ? v * 2 : v; })" << "{\"a\":2}";
    QTest::newRow("JSON indented") << "JSON.stringify([1], null, 2)" << "[\n  1\n]";
    QTest::newRow("escape") << "escape('a b')" << "a%20b";
    QTest::newRow("encodeURIComponent") << "encodeURIComponent('\u00e4')" << "%C3%A4";
    QTest::newRow("sort and map") << "[3, 1, 2].sort().map(function (x) { return x * 2; }).join()" << "2,4,6";
    QTest::newRow("not listed in for-in") << "var n = 0; for (var k in []) ++n; for (k in '') ++n; n" << "0";
}

void tst_DScript::builtinsAnswerAsBefore()
{
    QFETCH(QString, expression);
    QFETCH(QString, result);
    QScriptEngine* engine = script()->engine();
    QCOMPARE(engine->evaluate(expression).toString(), result);
    QVERIFY(!engine->hasUncaughtException());
}

namespace {

// Sets the peak back to what the process holds now.
bool resetPeak()
{
    QFile clear("/proc/self/clear_refs");
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

const char* const MegabyteText = "var mb = 'x'; while (mb.length < 1048576) mb += mb; mb.charAt(0);\n";

} // namespace

// Scripts that ask for memory without end, in statements or in a single call
// of a built-in, or for a built-in's walk over billions of elements: each is
// stopped with a warning before the program holds far more than the limit,
// and well within the time limit.
void tst_DScript::hungryScriptsAreStopped_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    const QString memory = QStringLiteral("used more than 256 MB of memory");
    const QString elements = QStringLiteral("asked a built-in function for more than 4194304 elements");
    const QByteArray mb = MegabyteText;
    QTest::newRow("join of 200,000,000 elements") << QByteArray("new Array(200000000).join('ab');\n") << elements;
    QTest::newRow("join of 4,000,000 separators of a megabyte")
        << mb + "new Array(4000000).join(mb);\n" << memory;
    QTest::newRow("join of one megabyte a thousand times")
        << mb + "var a = []; for (var i = 0; i < 1000; ++i) a.push(mb);\na.join('');\n" << memory;
    QTest::newRow("an array of one megabyte a thousand times as text")
        << mb + "var a = []; for (var i = 0; i < 1000; ++i) a.push(mb);\nvar t = 'is ' + a;\n" << memory;
    QTest::newRow("concat of one megabyte a thousand times")
        << mb + "var a = []; for (var i = 0; i < 1000; ++i) a.push(mb);\n''.concat.apply('', a);\n" << memory;
    QTest::newRow("array concat of 5,000,000 elements")
        << QByteArray("var a = new Array(1000000); a.concat(a, a, a, a, a);\n") << elements;
    QTest::newRow("replace each character by all before it")
        << mb + "mb.substring(0, 65536).replace(/x/g, '$`');\n" << memory;
    QTest::newRow("replace by a function returning 16 megabytes")
        << mb + "var big = mb; while (big.length < 16777216) big += big; big.charAt(0);\n"
                "mb.substring(0, 10000).replace(/x/g, function () { return big; });\n"
        << memory;
    QTest::newRow("split of 8,000,000 characters")
        << mb + "var big = mb + mb + mb + mb; big = big + big; big.split('');\n" << elements;
    QTest::newRow("JSON of one megabyte a thousand times")
        << mb + "var a = []; for (var i = 0; i < 1000; ++i) a.push(mb);\nJSON.stringify(a);\n" << memory;
    QTest::newRow("escape of 64 megabytes")
        << mb + "var big = mb; while (big.length < 67108864) big += big; big.charAt(0); escape(big);\n" << memory;
    QTest::newRow("indexOf over 4,294,967,295 elements")
        << QByteArray("var a = []; a[4294967294] = 1; a.indexOf(2);\n") << elements;
    QTest::newRow("megabytes kept without end")
        << mb + "var kept = [];\nwhile (true) { var t = mb + kept.length; t.charAt(0); kept.push(t); }\n" << memory;
}

void tst_DScript::hungryScriptsAreStopped()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    script()->engine()->collectGarbage();
    const qint64 before = processMemoryBytes(QCoreApplication::applicationPid());
    QVERIFY(resetPeak());
    QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Script hungry.js %1 and was stopped.").arg(reason)));
    // The warning says which limit stopped it: how long that took depends on
    // the machine (a sanitized build is several times slower) and is no
    // measure of the limit.
    script()->runScript(writeScript("hungry.js", text + "var hungryDone = true;\n"), false);
    const qint64 growth = processMemoryBytes(QCoreApplication::applicationPid(), "VmHWM") - before;
    QVERIFY(!script()->engine()->globalObject().property("hungryDone").toBool());
    QVERIFY2(growth < 2 * DScriptWatchdog::MemoryLimitBytes, qPrintable(QString::number(growth)));

    // What it held is let go, and the engine serves the next script as before.
    script()->engine()->evaluate("mb = undefined; a = undefined; kept = undefined; big = undefined;");
    script()->engine()->collectGarbage();
    script()->runScript(writeScript("after.js", "var afterHungry = [1, 2].join('+');\n"), false);
    QCOMPARE(script()->engine()->globalObject().property("afterHungry").toString(), QStringLiteral("1+2"));
}

QTEST_MAIN(tst_DScript)
#include "tst_DScript.moc"
