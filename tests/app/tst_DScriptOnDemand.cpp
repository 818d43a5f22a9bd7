// The script engine is built only when first needed; what is exposed before
// that must still reach the scripts. Its own process, so that the engine does
// not exist yet when the first test starts. The slots run in order and share
// the one engine of the process.
#include <QApplication>
#include <QFile>
#include <QScriptEngine>
#include <QTemporaryDir>
#include <QtTest>

#include "DFakeLoginItems.h"
#include "DScript.h"
#include "DScriptProbe.h"

namespace {

// Counts the warning the engine gives while it is being built.
int s_bindingWarnings = 0;
QtMessageHandler s_previousHandler = nullptr;

void countBindingWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Failed to import")))
        ++s_bindingWarnings;
    else if (s_previousHandler)
        s_previousHandler(type, context, message);
}

} // namespace

class tst_DScriptOnDemand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void exposingObjectsAndSkippedRunsBuildNoEngine();
    void objectsExposedEarlierAreGlobalsOnceTheEngineExists();
    void objectsExposedLaterAreGlobalsAtOnce();
    void objectsExposedEarlierCannotBeDeletedByScripts();

private:
    QString writeScript(const QString& name, const QByteArray& text);
    DScript* script() const { return DSingleton<DScript>::instance(); }

    QTemporaryDir m_dir;
    DFakeLoginItems m_loginItems;
    DScriptProbe m_window{7};
    DScriptProbe m_replaced{1};
    DScriptProbe m_replacement{2};
};

void tst_DScriptOnDemand::initTestCase()
{
    QVERIFY(m_dir.isValid());
    s_previousHandler = qInstallMessageHandler(countBindingWarnings);
}

void tst_DScriptOnDemand::cleanupTestCase()
{
    qInstallMessageHandler(s_previousHandler);
}

QString tst_DScriptOnDemand::writeScript(const QString& name, const QByteArray& text)
{
    return writeScriptFile(m_dir, name, text);
}

void tst_DScriptOnDemand::exposingObjectsAndSkippedRunsBuildNoEngine()
{
    // What a start without any script does: expose the window, run a missing
    // start-up script.
    m_window.setObjectName("mgui");
    script()->addObjectToScript(&m_window);
    m_replaced.setObjectName("probe");
    script()->addObjectToScript(&m_replaced);
    m_replacement.setObjectName("probe");
    script()->addObjectToScript(&m_replacement);
    auto* gone = new DScriptProbe(3);
    gone->setObjectName("gone");
    script()->addObjectToScript(gone);
    delete gone;
    script()->addObjectToScript(nullptr);
    script()->runScript(m_dir.filePath("startup.js"), false);
    script()->runScript(m_dir.path(), false);
    QCOMPARE(s_bindingWarnings, 0);
}

void tst_DScriptOnDemand::objectsExposedEarlierAreGlobalsOnceTheEngineExists()
{
    const QString path = writeScript("startup.js", "var seen = mgui.answer * 10 + probe.answer;\n"
                                                   "var goneType = typeof gone;\n");
    script()->runScript(path, false);
    // Building the engine is when the missing bindings are noticed, once.
    QCOMPARE(s_bindingWarnings, 1);
    QScriptEngine* engine = script()->engine();
    QCOMPARE(engine->globalObject().property("seen").toInt32(), 72);
    // An object deleted before the engine existed is left out.
    QCOMPARE(engine->globalObject().property("goneType").toString(), QStringLiteral("undefined"));
    QCOMPARE(script()->engine(), engine);
    QCOMPARE(s_bindingWarnings, 1);
}

void tst_DScriptOnDemand::objectsExposedLaterAreGlobalsAtOnce()
{
    DScriptProbe later(5);
    later.setObjectName("probe");
    script()->addObjectToScript(&later);
    QCOMPARE(script()->engine()->evaluate("probe.answer").toInt32(), 5);
    // Shown to scripts, not handed over: the object outlives a collection.
    script()->engine()->collectGarbage();
    QCOMPARE(later.answer(), 5);
}

void tst_DScriptOnDemand::objectsExposedEarlierCannotBeDeletedByScripts()
{
    // The window is a member of this test, as it lives on main's stack in the
    // program: deleting it would end the process.
    QTest::ignoreMessage(QtWarningMsg,
                         "Refused to delete DScriptProbe \"mgui\": it belongs to the program, not to a script.");
    script()->runScript(writeScript("delete.js", "mgui.deleteLater();\n"), false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_window.answer(), 7);
}

QTEST_MAIN(tst_DScriptOnDemand)
#include "tst_DScriptOnDemand.moc"
