// Recording hotkeys from key presses, and the hotkey ids and hooks around it.
#include "DHotKeyEventFilter.h"
#include "DHotkeyEdit.h"
#include "DFakeHotkeyRegistrar.h"
#include "DProgramGlobals.h"
#include "DUtility.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

Q_DECLARE_METATYPE(Qt::Key)

class tst_DHotkeyEdit : public QObject
{
    Q_OBJECT

private slots:
    void startsEmptyInRegionMode();
    void bareModifierRecordsNothing_data();
    void bareModifierRecordsNothing();
    void keyPressRecordsHotkey_data();
    void keyPressRecordsHotkey();
    void sameHotkeyRegistersOnce();
    void registrationUsesTheModeId_data();
    void registrationUsesTheModeId();
    void typingInsertsNothing();
    void shortcutsDoNotFireWhileFocused();
    void releaseAndShortcutEventsAreTaken();
    void unknownKeysRecordNothing();
    void keyGarbageNeverCrashes();
    void refusalOnScreenShowsReasonInField();
    void refusalOffScreenAlsoWarns();

    void hotkeyIdsFollowModes_data();
    void hotkeyIdsFollowModes();
    void platformRegistrationSucceedsAndDoesNothing();
    void unsetHotkeyReachesRegistrar();
    void nativeFilterPassesEverything();
    void keyTranslatorIsEmpty();
    void mainWindowIdIsWhatWasStored();
};

namespace {

QKeyEvent keyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text = QString())
{
    return QKeyEvent(QEvent::KeyPress, key, modifiers, text);
}

} // namespace

void tst_DHotkeyEdit::startsEmptyInRegionMode()
{
    DHotkeyEdit edit;
    QVERIFY(edit.hotkey().isEmpty());
    QCOMPARE(edit.captureMode(), DD::Region);
    QVERIFY(edit.text().isEmpty());
}

void tst_DHotkeyEdit::bareModifierRecordsNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier);
    QTest::newRow("Control") << int(Qt::Key_Control) << int(Qt::ControlModifier);
    QTest::newRow("Alt") << int(Qt::Key_Alt) << int(Qt::AltModifier);
    QTest::newRow("Meta") << int(Qt::Key_Meta) << int(Qt::MetaModifier);
    QTest::newRow("AltGr") << int(Qt::Key_AltGr) << 0;
    QTest::newRow("Super left") << int(Qt::Key_Super_L) << int(Qt::MetaModifier);
    QTest::newRow("Super right") << int(Qt::Key_Super_R) << 0;
}

void tst_DHotkeyEdit::bareModifierRecordsNothing()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    DFakeHotkeyRegistrar registrar;
    DHotkeyEdit edit;
    edit.setText("before");
    QKeyEvent press = keyPress(key, Qt::KeyboardModifiers(modifiers));
    edit.handleKeyEvent(&press);
    QVERIFY(edit.hotkey().isEmpty());
    QCOMPARE(edit.text(), QStringLiteral("before"));
    QVERIFY(registrar.registered.isEmpty());
}

void tst_DHotkeyEdit::keyPressRecordsHotkey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("recorded");

    QTest::newRow("Print") << int(Qt::Key_Print) << 0 << QString() << int(Qt::Key_Print);
    QTest::newRow("Shift+A keeps Shift") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A"
                                         << int(Qt::SHIFT | Qt::Key_A);
    QTest::newRow("Shift+1 gives ! without Shift") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << "!"
                                                   << int(Qt::Key_Exclam);
    QTest::newRow("Shift+F5 keeps Shift") << int(Qt::Key_F5) << int(Qt::ShiftModifier) << QString()
                                          << int(Qt::SHIFT | Qt::Key_F5);
    QTest::newRow("Shift+Space keeps Shift") << int(Qt::Key_Space) << int(Qt::ShiftModifier) << " "
                                             << int(Qt::SHIFT | Qt::Key_Space);
    QTest::newRow("Shift with control text keeps Shift")
        << int(Qt::Key_A) << int(Qt::ShiftModifier | Qt::ControlModifier) << QString(QChar(1))
        << int(Qt::SHIFT | Qt::CTRL | Qt::Key_A);
    QTest::newRow("Ctrl+Print") << int(Qt::Key_Print) << int(Qt::ControlModifier) << QString()
                                << int(Qt::CTRL | Qt::Key_Print);
    QTest::newRow("Alt+Print") << int(Qt::Key_Print) << int(Qt::AltModifier) << QString()
                               << int(Qt::ALT | Qt::Key_Print);
    QTest::newRow("Meta+Print") << int(Qt::Key_Print) << int(Qt::MetaModifier) << QString()
                                << int(Qt::META | Qt::Key_Print);
    QTest::newRow("keypad and group switch dropped")
        << int(Qt::Key_5) << int(Qt::KeypadModifier | Qt::GroupSwitchModifier | Qt::ControlModifier) << "5"
        << int(Qt::CTRL | Qt::Key_5);
    QTest::newRow("all four") << int(Qt::Key_F1)
                              << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
                              << QString() << int(Qt::SHIFT | Qt::CTRL | Qt::ALT | Qt::META | Qt::Key_F1);
}

void tst_DHotkeyEdit::keyPressRecordsHotkey()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, recorded);
    DFakeHotkeyRegistrar registrar;
    DHotkeyEdit edit;
    QKeyEvent press = keyPress(key, Qt::KeyboardModifiers(modifiers), text);
    edit.handleKeyEvent(&press);
    QCOMPARE(edit.hotkey().keySequence(), QKeySequence(recorded));
    QCOMPARE(edit.text(), QKeySequence(recorded).toString(QKeySequence::NativeText));
    QCOMPARE(registrar.registered.count(), 1);
    QCOMPARE(registrar.registered.at(0).second, QKeySequence(recorded));
}

void tst_DHotkeyEdit::sameHotkeyRegistersOnce()
{
    DFakeHotkeyRegistrar registrar;
    DHotkeyEdit edit;
    QKeyEvent press = keyPress(Qt::Key_Print, Qt::ControlModifier);
    edit.handleKeyEvent(&press);
    edit.handleKeyEvent(&press);
    edit.setHotkey(DHotkey(QKeySequence(Qt::CTRL | Qt::Key_Print)));
    QCOMPARE(registrar.registered.count(), 1);
    QKeyEvent other = keyPress(Qt::Key_Print, Qt::AltModifier);
    edit.handleKeyEvent(&other);
    QCOMPARE(registrar.registered.count(), 2);
}

void tst_DHotkeyEdit::registrationUsesTheModeId_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("Region") << int(DD::Region);
    QTest::newRow("Window") << int(DD::Window);
    QTest::newRow("Scrolling") << int(DD::Scrolling);
    QTest::newRow("FullScreen") << int(DD::FullScreen);
}

void tst_DHotkeyEdit::registrationUsesTheModeId()
{
    QFETCH(int, mode);
    DFakeHotkeyRegistrar registrar;
    DHotkeyEdit edit;
    edit.setCaptureMode(DD::enumCaptureMode(mode));
    edit.setHotkey(DHotkey(QKeySequence(Qt::Key_Print)));
    QCOMPARE(registrar.registered.count(), 1);
    QCOMPARE(registrar.registered.at(0).first, 0xC000 + mode);
}

void tst_DHotkeyEdit::typingInsertsNothing()
{
    DFakeHotkeyRegistrar registrar;
    QWidget window;
    auto* edit = new DHotkeyEdit(&window);
    window.show();
    edit->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClicks(edit, "abc");
    QCOMPARE(edit->text(), QKeySequence(Qt::Key_C).toString(QKeySequence::NativeText));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->hotkey().keySequence(), QKeySequence(Qt::Key_Backspace));
    QCOMPARE(edit->text(), QKeySequence(Qt::Key_Backspace).toString(QKeySequence::NativeText));
}

void tst_DHotkeyEdit::shortcutsDoNotFireWhileFocused()
{
    DFakeHotkeyRegistrar registrar;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new DHotkeyEdit(&window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    QAction action(&window);
    action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    action.setShortcutContext(Qt::WindowShortcut);
    window.addAction(&action);
    QSignalSpy triggered(&action, &QAction::triggered);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);

    // The control: the shortcut does fire from an ordinary field.
    other->setFocus();
    QTest::keyClick(other, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
    QCOMPARE(edit->hotkey().keySequence(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

void tst_DHotkeyEdit::releaseAndShortcutEventsAreTaken()
{
    DHotkeyEdit edit;
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    release.ignore();
    QVERIFY(QCoreApplication::sendEvent(&edit, &release));
    QVERIFY(release.isAccepted());
    QKeyEvent overrideEvent(QEvent::ShortcutOverride, Qt::Key_A, Qt::ControlModifier);
    overrideEvent.ignore();
    QVERIFY(QCoreApplication::sendEvent(&edit, &overrideEvent));
    QVERIFY(overrideEvent.isAccepted());
    QVERIFY(edit.text().isEmpty());
}

void tst_DHotkeyEdit::unknownKeysRecordNothing()
{
    DFakeHotkeyRegistrar registrar;
    DHotkeyEdit edit;
    QKeyEvent unknown = keyPress(Qt::Key_unknown, Qt::ControlModifier);
    edit.handleKeyEvent(&unknown);
    QKeyEvent none = keyPress(0, Qt::AltModifier);
    edit.handleKeyEvent(&none);
    QVERIFY(edit.hotkey().isEmpty());
    QVERIFY(registrar.registered.isEmpty());
}

void tst_DHotkeyEdit::keyGarbageNeverCrashes()
{
    DFakeHotkeyRegistrar registrar;
    DHotkeyEdit edit;
    QRandomGenerator random(20261210);
    for (int i = 0; i < 2000; ++i) {
        const int key = int(random.bounded(0x02000000u));
        const auto modifiers = Qt::KeyboardModifiers(int(random.generate()) & int(Qt::KeyboardModifierMask));
        QString text;
        for (int n = int(random.bounded(3)); n > 0; --n)
            text += QChar(ushort(random.bounded(0x10000u)));
        QKeyEvent press = keyPress(key, modifiers, text);
        edit.handleKeyEvent(&press);
        // Whatever was recorded is exactly what the field shows.
        QCOMPARE(edit.text(), edit.hotkey().toString());
    }
}

void tst_DHotkeyEdit::refusalOnScreenShowsReasonInField()
{
    DFakeHotkeyRegistrar registrar;
    registrar.refuse = true;
    QWidget window;
    auto* edit = new DHotkeyEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    bool boxSeen = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxSeen = true;
            box->accept();
        }
    });
    closer.start(20);
    edit->setHotkey(DHotkey(QKeySequence(Qt::Key_Print)));
    QTest::qWait(100);
    QVERIFY(!boxSeen);
    QCOMPARE(edit->text(), registrar.refusal);
    // The hotkey stays recorded even though it was refused.
    QCOMPARE(edit->hotkey().keySequence(), QKeySequence(Qt::Key_Print));
}

void tst_DHotkeyEdit::refusalOffScreenAlsoWarns()
{
    DFakeHotkeyRegistrar registrar;
    registrar.refuse = true;
    DHotkeyEdit edit;
    QString title;
    QString text;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    closer.start(20);
    edit.setHotkey(DHotkey(QKeySequence(Qt::Key_Print)));
    QCOMPARE(title, QStringLiteral("Setting Hotkey"));
    QCOMPARE(text, registrar.refusal);
    QCOMPARE(edit.text(), registrar.refusal);
}

void tst_DHotkeyEdit::hotkeyIdsFollowModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("id");
    QTest::newRow("Region") << int(DD::Region) << 0xC000;
    QTest::newRow("Window") << int(DD::Window) << 0xC001;
    QTest::newRow("Scrolling") << int(DD::Scrolling) << 0xC002;
    QTest::newRow("FullScreen") << int(DD::FullScreen) << 0xC003;
}

void tst_DHotkeyEdit::hotkeyIdsFollowModes()
{
    QFETCH(int, mode);
    QFETCH(int, id);
    QCOMPARE(DUtility::hotkeyIdFromCaptureMode(DD::enumCaptureMode(mode)), id);
    QCOMPARE(int(DUtility::captureModeFromHotkeyId(id)), mode);
}

void tst_DHotkeyEdit::platformRegistrationSucceedsAndDoesNothing()
{
    QString errorText = "untouched";
    QVERIFY(DUtility::setHotkey(DD::Region, DHotkey(QKeySequence(Qt::Key_Print)), errorText));
    QCOMPARE(errorText, QStringLiteral("untouched"));
    DUtility::unsetHotkey(DD::Region);

    DHotkeyEdit edit;
    edit.setHotkey(DHotkey(QKeySequence(Qt::ALT | Qt::Key_Print)));
    QCOMPARE(edit.text(), DHotkey(QKeySequence(Qt::ALT | Qt::Key_Print)).toString());
}

void tst_DHotkeyEdit::unsetHotkeyReachesRegistrar()
{
    DFakeHotkeyRegistrar registrar;
    DUtility::unsetHotkey(DD::FullScreen);
    QCOMPARE(registrar.unregistered, QList<int>{0xC003});
}

void tst_DHotkeyEdit::nativeFilterPassesEverything()
{
    QVERIFY(!HotKeyEventFilter(nullptr));
    DHotKeyEventFilter filter;
    long result = 0;
    QByteArray anything("garbage bytes");
    QVERIFY(!filter.nativeEventFilter("xcb_generic_event_t", anything.data(), &result));
    QAbstractEventDispatcher::instance()->installNativeEventFilter(&filter);
    // Ordinary event processing goes on with the filter installed.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QTRY_VERIFY(fired);
    QAbstractEventDispatcher::instance()->removeNativeEventFilter(&filter);
}

void tst_DHotkeyEdit::keyTranslatorIsEmpty()
{
    QVERIFY(initKeyTranslator().isEmpty());
    QVERIFY(g_KeyTranslator.isEmpty());
}

void tst_DHotkeyEdit::mainWindowIdIsWhatWasStored()
{
    QCOMPARE(DUtility::getMainWindowWId(), quintptr(0));
    g_MainWindowWId = 0x4200017;
    QCOMPARE(DUtility::getMainWindowWId(), quintptr(0x4200017));
    g_MainWindowWId = 0;
}

QTEST_MAIN(tst_DHotkeyEdit)
#include "tst_DHotkeyEdit.moc"
