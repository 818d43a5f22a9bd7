// Choosing a platform service: the quiet null services when nothing is
// installed, fakes in use exactly while they live, and the Linux services the
// program installs at start.
#include <QtTest>

#include "DDesktopCompositor.h"
#include "DFakeDesktopCompositor.h"
#include "DFakeHotkeyRegistrar.h"
#include "DFakeLastLogin.h"
#include "DFakeLoginItems.h"
#include "DFakeOnScreenWindowList.h"
#include "DFakeScreenGrabber.h"
#include "DHotkeyRegistrarLinux.h"
#include "DLastLoginLinux.h"
#include "DLinuxPlatformServices.h"
#include "DLoginItemsXdg.h"
#include "DUtility.h"
#include "DX11Compositor.h"
#include "DX11ScreenGrabber.h"
#include "DX11WindowList.h"

class tst_DPlatformService : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: nothing has been installed in this process yet.
    void nothingInstalledGivesQuietNullServices()
    {
        DLoginItems& loginItems = DLoginItems::current();
        loginItems.add();
        QVERIFY(!loginItems.contains());
        QVERIFY(!loginItems.remove());
        // The library's own callers go through it without harm.
        DUtility::setAutoRun(true);
        QVERIFY(!DUtility::deleteAppFromLoginItem(true));

        QVERIFY(DLastLogin::current().userName().isEmpty());
        QCOMPARE(DLastLogin::current().lastLoginSecs(QStringLiteral("tester")), std::optional<qint64>());

        QString errorText;
        QVERIFY(DHotkeyRegistrar::current().registerHotkey(1, QKeySequence(Qt::Key_Print), errorText));
        QVERIFY(errorText.isEmpty());
        DHotkeyRegistrar::current().unregisterHotkey(1);

        QList<DOnScreenWindow> windows{ { true, QStringLiteral("stale"), QRectF(0, 0, 5, 5) } };
        QVERIFY(!DOnScreenWindowList::current().onScreenWindows(windows));
        QVERIFY(windows.isEmpty());

        QVERIFY(DScreenGrabber::current().monitors().isEmpty());
        QVERIFY(DScreenGrabber::current().grab(QRect(0, 0, 4, 4)).isNull());

        QVERIFY(!DDesktopCompositor::current().isRunning());
    }

    void fakeIsInUseWhileItLivesThenThePreviousIsBack()
    {
        {
            DFakeLastLogin outer;
            outer.user = QStringLiteral("outer");
            QCOMPARE(&DLastLogin::current(), static_cast<DLastLogin*>(&outer));
            {
                DFakeLastLogin inner;
                inner.user = QStringLiteral("inner");
                QCOMPARE(DLastLogin::current().userName(), QStringLiteral("inner"));
            }
            QCOMPARE(DLastLogin::current().userName(), QStringLiteral("outer"));
        }
        QVERIFY(DLastLogin::current().userName().isEmpty());
    }

    void libraryCodeSeesWhatTheProgramInstalled()
    {
        // The library reaches login items through DUtility; the fake is
        // installed from this executable: both see one service pointer.
        DFakeLoginItems fake;
        DUtility::addAppAsLoginItem();
        QCOMPARE(fake.adds, 1);
        QVERIFY(DUtility::deleteAppFromLoginItem(false));
        QCOMPARE(fake.removes, 1);
    }

    // Runs last: the Linux services stay installed for the rest of the process.
    void linuxServicesInstalledAtStart()
    {
        installLinuxPlatformServices();
        QVERIFY(dynamic_cast<DLoginItemsXdg*>(&DLoginItems::current()));
        QVERIFY(dynamic_cast<DLastLoginLinux*>(&DLastLogin::current()));
        QVERIFY(dynamic_cast<DHotkeyRegistrarLinux*>(&DHotkeyRegistrar::current()));
        QVERIFY(dynamic_cast<DX11WindowList*>(&DOnScreenWindowList::current()));
        QVERIFY(dynamic_cast<DX11ScreenGrabber*>(&DScreenGrabber::current()));
        QVERIFY(dynamic_cast<DX11Compositor*>(&DDesktopCompositor::current()));

        DScreenGrabber* const platform = &DScreenGrabber::current();
        {
            DFakeScreenGrabber grabber({ QRect(0, 0, 8, 8) });
            DFakeOnScreenWindowList windows;
            DFakeDesktopCompositor compositor(true);
            DFakeHotkeyRegistrar hotkeys;
            QCOMPARE(DScreenGrabber::current().monitors(), QList<QRect>{ QRect(0, 0, 8, 8) });
            QVERIFY(DDesktopCompositor::current().isRunning());
            QString errorText;
            hotkeys.refuse = true;
            QVERIFY(!DHotkeyRegistrar::current().registerHotkey(2, QKeySequence(Qt::Key_F1), errorText));
            QCOMPARE(errorText, hotkeys.refusal);
        }
        QCOMPARE(&DScreenGrabber::current(), platform);
        QVERIFY(dynamic_cast<DX11WindowList*>(&DOnScreenWindowList::current()));
        QVERIFY(dynamic_cast<DX11Compositor*>(&DDesktopCompositor::current()));
        QVERIFY(dynamic_cast<DHotkeyRegistrarLinux*>(&DHotkeyRegistrar::current()));
        // Installing again keeps the one of each.
        installLinuxPlatformServices();
        QCOMPARE(&DScreenGrabber::current(), platform);
    }
};

QTEST_MAIN(tst_DPlatformService)
#include "tst_DPlatformService.moc"
