// What scripts may not delete of the objects they are shown, and what the
// program and Qt still delete below those objects while scripts are there.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <QtTest>

#include <functional>

#include "DEventFilter.h"
#include "DFakeLoginItems.h"
#include "DGraphicsItemRectangle.h"
#include "DGraphicsItemText.h"
#include "QTextEdit_P.h"
#include "DGraphicsScene.h"
#include "DScript.h"
#include "DScriptProbe.h"
#include "DWarningCollector.h"

namespace {

QString refusal(const QObject* object)
{
    return QStringLiteral("Refused to delete %1 \"%2\": it belongs to the program, not to a script.")
        .arg(object->metaObject()->className(), object->objectName());
}

// A prompt that takes nothing over.
class IdleFilter : public DEventFilter
{
public:
    bool eventFilter(QEvent*) override { return false; }
};

// Scripts that go through everything below the shown window each time the
// window's title changes: looking at it, or deleting it.
const char* const LooksAtAllItFinds = "var names = [];\n"
                                      "shown.windowTitleChanged.connect(function () {\n"
                                      "    var all = shown.findChildren();\n"
                                      "    for (var i = 0; i < all.length; ++i)\n"
                                      "        names.push(all[i].objectName);\n"
                                      "});\n";
const char* const DeletesAllItFinds = "shown.windowTitleChanged.connect(function () {\n"
                                      "    var all = shown.findChildren();\n"
                                      "    for (var i = 0; i < all.length; ++i)\n"
                                      "        all[i].deleteLater();\n"
                                      "});\n";

} // namespace

class tst_DScriptOwnershipGuard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void programsOwnDeletionsGoAhead_data();
    void programsOwnDeletionsGoAhead();
    void requestFromAFunctionCalledWhileAScriptRunsIsRefused();
    void underTheDebuggerNothingShownIsDeleted();

private:
    QString writeScript(const QString& name, const QByteArray& text) { return writeScriptFile(m_dir, name, text); }
    DScript* script() const { return DSingleton<DScript>::instance(); }

    QTemporaryDir m_dir;
    DFakeLoginItems m_loginItems;
};

void tst_DScriptOwnershipGuard::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

// Below a window shown to a script that goes through all it finds whenever a
// signal fires, the program and Qt delete their own objects as they always
// did, also when the script's function runs between the request and the
// deletion: nothing is refused, and each object is freed. A script that asks
// for the same deletion meanwhile is refused, and the object goes all the same.
void tst_DScriptOwnershipGuard::programsOwnDeletionsGoAhead_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QByteArray>("between");
    for (const char* what : {"a child it lets go", "an animation that deletes itself when it stops",
                             "an item view's editor", "a text edit that ends", "a prompt that is finished",
                             "an item that is removed"}) {
        QTest::addRow("%s", what) << QString(what) << QByteArray();
        QTest::addRow("%s, a script looking at all between", what) << QString(what) << QByteArray(LooksAtAllItFinds);
        QTest::addRow("%s, a script deleting all between", what) << QString(what) << QByteArray(DeletesAllItFinds);
    }
}

void tst_DScriptOwnershipGuard::programsOwnDeletionsGoAhead()
{
    QFETCH(QString, what);
    QFETCH(QByteArray, between);
    QWidget shown;
    shown.setObjectName("shown");
    auto* scene = new DGraphicsScene;
    scene->setParent(&shown);
    script()->addObjectToScript(&shown);
    if (!between.isEmpty())
        script()->runScript(writeScript("all.js", between), false);

    QPointer<QObject> going;
    std::function<void()> deleteIt;
    if (what == "a child it lets go") {
        going = new QObject(&shown);
        deleteIt = [&] { going->deleteLater(); };
    } else if (what == "an animation that deletes itself when it stops") {
        auto* animation = new QVariantAnimation(&shown);
        animation->setStartValue(0);
        animation->setEndValue(1);
        animation->setDuration(1);
        going = animation;
        deleteIt = [animation] { animation->start(QAbstractAnimation::DeleteWhenStopped); };
    } else if (what == "an item view's editor") {
        auto* list = new QListWidget(&shown);
        auto* item = new QListWidgetItem("entry", list);
        list->openPersistentEditor(item);
        going = list->findChild<QLineEdit*>();
        deleteIt = [list, item] { list->closePersistentEditor(item); };
    } else if (what == "a text edit that ends") {
        auto* item = new DGraphicsItemText;
        scene->addPersistenItem(item, false);
        item->startEditing();
        going = item->editor();
        deleteIt = [item] { item->stopEditing(); };
    } else if (what == "a prompt that is finished") {
        auto* filter = new IdleFilter;
        scene->eventFilterList().add(filter);
        going = filter;
        deleteIt = [scene, filter] { scene->removeEventFilter(filter); };
    } else if (what == "an item that is removed") {
        auto* item = new DGraphicsItemRectangle;
        item->setBoundary(QRectF(10, 10, 50, 50));
        scene->addPersistenItem(item, false);
        going = item;
        deleteIt = [scene, item] { scene->removePersistenItem(item); };
    }
    QVERIFY(going);
    going->setObjectName("going");

    DWarningCollector::Scope collector;
    deleteIt();
    shown.setWindowTitle("poked");
    QTRY_VERIFY2(!going, "still there");
    if (between != DeletesAllItFinds)
        QCOMPARE(DWarningCollector::warnings().filter("Refused to delete"), QStringList());
}

// A long script lets events through; a function a signal calls meanwhile
// asks for a deletion, which is refused when that function returns, and not
// carried out with the events let through next.
void tst_DScriptOwnershipGuard::requestFromAFunctionCalledWhileAScriptRunsIsRefused()
{
    auto* guarded = new DScriptProbe(1);
    guarded->setObjectName("guarded");
    QPointer<QObject> watched(guarded);
    script()->addObjectToScript(guarded);
    QTimer::singleShot(0, guarded, &DScriptProbe::poke);

    QTest::ignoreMessage(QtWarningMsg, qPrintable(refusal(guarded)));
    script()->runScript(writeScript("busy.js", "var poked = false;\n"
                                               "guarded.poked.connect(function () {\n"
                                               "    guarded.deleteLater();\n"
                                               "    poked = true;\n"
                                               "});\n"
                                               "while (!poked) {}\n"),
                        false);
    QCOMPARE(guarded->pokes, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched);
    delete guarded;
}

// While a debugger has the engine, nothing reports the calls into script
// code: every deletion of what scripts are shown is refused.
void tst_DScriptOwnershipGuard::underTheDebuggerNothingShownIsDeleted()
{
    auto* guarded = new DScriptProbe(1);
    guarded->setObjectName("guarded");
    QPointer<QObject> watched(guarded);
    script()->addObjectToScript(guarded);

    QTest::ignoreMessage(QtWarningMsg, qPrintable(refusal(guarded)));
    script()->runScript(writeScript("delete.js", "guarded.deleteLater();\n"), true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched);
    // A run without the debugger gives the engine back to the watchdog.
    script()->runScript(writeScript("idle.js", ""), false);
    delete guarded;
}

QTEST_MAIN(tst_DScriptOwnershipGuard)
#include "tst_DScriptOwnershipGuard.moc"
