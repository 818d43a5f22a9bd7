// Choosing a platform service: the library's own Linux services and the
// program's quiet null services when nothing is installed, fakes in use
// exactly while they live, and the Linux services the program installs at
// start.
#include <QProcess>
#include <QTemporaryDir>
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
    // Runs first: nothing has been installed in this process yet. The
    // library's own services are there, the program's do nothing.
    void nothingInstalledGivesLibraryServicesAndQuietProgramServices()
    {
        QVERIFY(dynamic_cast<DLoginItemsXdg*>(&DLoginItems::current()));
        QVERIFY(dynamic_cast<DX11Compositor*>(&DDesktopCompositor::current()));

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
    }

    // A program of someone else's that links the library and calls it, with
    // no start-up of Zorvelshot's: its login item is written and removed, and
    // the desktop is asked about its compositing manager.
    void libraryAloneUsesItsOwnServices()
    {
        QTemporaryDir config;
        QVERIFY(config.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config.path());
        const QString probe = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/tests/probe_library_services";
        const QString entry = config.filePath("autostart/probe_library_services.desktop");
        auto run = [&](const QString& command) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(probe, {command});
            if (!process.waitForFinished(20000) || process.exitCode() != 0)
                return QByteArray("did not run");
            return process.readAllStandardOutput();
        };
        QCOMPARE(run("add"), QByteArray("login item: yes\ncompositor: X11\n"));
        QVERIFY(QFileInfo(entry).isFile());
        QCOMPARE(run("look"), QByteArray("login item: yes\ncompositor: X11\n"));
        QCOMPARE(run("remove"), QByteArray("login item: no\ncompositor: X11\n"));
        QVERIFY(!QFileInfo::exists(entry));
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
        {
            DFakeLoginItems fake;
            QCOMPARE(&DLoginItems::current(), static_cast<DLoginItems*>(&fake));
        }
        QVERIFY(dynamic_cast<DLoginItemsXdg*>(&DLoginItems::current()));
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
