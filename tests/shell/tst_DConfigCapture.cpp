// The program's settings object: defaults, hotkeys, the take-over of the
// library's settings store, and what bad stored values read as.
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <functional>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "DConfig.h"
#include "DConfigCapture.h"
#include "DSingleton.h"
#include "DUtility.h"

#include <QIcon>


class tst_DConfigCapture : public QObject
{
    Q_OBJECT

private:
    DConfigCapture* config() { return DSingleton<DConfigCapture>::instance(); }
    // Points the settings object at a fresh file of this test's own.
    QSettings* useFreshFile(const QByteArray& contents = QByteArray());

    QTemporaryDir m_dir;
    int m_nFile = 0;
    QSettings* m_pLibrarySettings = nullptr;
    bool m_bLibraryValueSeen = false;

private slots:
    void initTestCase();
    void takesOverTheLibrarySettings();
    void emptyFileGivesDefaults();
    void configNames_data();
    void configNames();
    void defaultHotkeys_data();
    void defaultHotkeys();
    void storedHotkeys_data();
    void storedHotkeys();
    void hotkeyRoundTrip();
    void useFlags();
    void unsupportedModeUsesItsOwnKeys();
    void emptyFolderMeansDefaultFolder();
    void valuesReadBackAsText();
    void randomBytesFileGivesUsableValues();
    void readsAreNotCached();
    void settersStoreTheKeysAsBefore();
    void iconOfRegionType();
    void outOfRangeNumbersReadAsTheirDefault_data();
    void outOfRangeNumbersReadAsTheirDefault();
    void relativeFolderLiesInTheHomeFolder_data();
    void relativeFolderLiesInTheHomeFolder();
};

QSettings* tst_DConfigCapture::useFreshFile(const QByteArray& contents)
{
    const QString path = m_dir.filePath(QStringLiteral("settings%1.ini").arg(++m_nFile));
    if (!contents.isNull()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(contents);
    }
    delete config()->m_pSettings;
    config()->m_pSettings = new QSettings(path, QSettings::IniFormat);
    return config()->m_pSettings;
}

void tst_DConfigCapture::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The library reaches the settings first, as the tray icon would at load.
    DConfig* library = DConfig::_instance();
    QVERIFY(library);
    m_pLibrarySettings = library->m_pSettings;
    QVERIFY(m_pLibrarySettings);
    m_pLibrarySettings->setValue(QStringLiteral("JpgQuality"), 42u);
    // Then the program's object comes and takes that settings object over.
    DConfigCapture* capture = config();
    m_bLibraryValueSeen = capture->jpgQuality() == 42u;
}

void tst_DConfigCapture::takesOverTheLibrarySettings()
{
    QCOMPARE(static_cast<DConfig*>(config()), DConfig::_instance());
    QCOMPARE(config()->m_pSettings, m_pLibrarySettings);
    QVERIFY(m_bLibraryValueSeen);
    QCOMPARE(config(), DSingleton<DConfigCapture>::instance());
    QVERIFY(DSingletonRepository::instance()->singletons().contains(config()));
    QCOMPARE(DSingletonRepository::instance()->singletons().count(config()), 1);
}

void tst_DConfigCapture::emptyFileGivesDefaults()
{
    QSettings* settings = useFreshFile();
    DConfigCapture* c = config();
    QCOMPARE(c->nameMethod(), 1);
    QCOMPARE(c->automaticSaveFolder(), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QCOMPARE(c->targetFormat(), 0);
    QCOMPARE(c->jpgQuality(), 75u);
    QCOMPARE(c->fileNameFormat(), QStringLiteral("Snap-Y-M-D-h-m-s"));
    QCOMPARE(c->subFolderFormat(), QStringLiteral("YM"));
    QCOMPARE(c->createSubfolders(), false);
    QCOMPARE(c->hasSystemTray(), true);
    QCOMPARE(c->showTrayInstantMenu(), true);
    QCOMPARE(c->autoUpdate(), true);
    QCOMPARE(c->showTellFriend(), true);
    QCOMPARE(c->includeCursor(), false);
    QCOMPARE(c->scrollingInterval(), 500);
    QCOMPARE(c->regionType(), 0);
    QCOMPARE(c->lastFilePath(), QString());
    for (int mode = DD::Region; mode <= DD::FullScreen; ++mode) {
        const auto m = static_cast<DD::enumCaptureMode>(mode);
        QCOMPARE(c->isUseHotkey(m), false);
        QCOMPARE(c->hotkey(m), c->defaultHotkey(m));
        QVERIFY(!c->hotkey(m).isEmpty());
    }
    // Reading writes nothing.
    QCOMPARE(settings->allKeys(), QStringList());
}

void tst_DConfigCapture::configNames_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::newRow("region") << 0 << "HotkeyRegion";
    QTest::newRow("window") << 1 << "HotkeyWindow";
    QTest::newRow("scrolling") << 2 << "HotkeyScrolling";
    QTest::newRow("full screen") << 3 << "HotkeyFullScreen";
    QTest::newRow("negative") << -1 << "UnsupportedCaptuerMode";
    QTest::newRow("four") << 4 << "UnsupportedCaptuerMode";
}

void tst_DConfigCapture::configNames()
{
    QFETCH(int, mode);
    QFETCH(QString, name);
    QCOMPARE(captureModeToConfigName(static_cast<DD::enumCaptureMode>(mode)), name);
}

void tst_DConfigCapture::defaultHotkeys_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("code");
    QTest::newRow("region: Print") << 0 << 0x01000009;
    QTest::newRow("window: Alt+Print") << 1 << 0x09000009;
    QTest::newRow("scrolling: Meta+Print") << 2 << 0x11000009;
    QTest::newRow("full screen: Ctrl+Print") << 3 << 0x05000009;
}

void tst_DConfigCapture::defaultHotkeys()
{
    QFETCH(int, mode);
    QFETCH(int, code);
    const QKeySequence sequence = config()->defaultHotkey(static_cast<DD::enumCaptureMode>(mode)).keySequence();
    QCOMPARE(sequence.count(), 1);
    QCOMPARE(sequence[0], code);
}

void tst_DConfigCapture::storedHotkeys_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QKeySequence>("expected");
    QTest::newRow("shortcut text") << "Ctrl+Shift+A" << QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_A);
    QTest::newRow("function key") << "F5" << QKeySequence(Qt::Key_F5);
    QTest::newRow("garbage") << "garbage" << QKeySequence();
    QTest::newRow("modifier and garbage") << "Ctrl+nonsense" << QKeySequence();
    QTest::newRow("empty text") << "" << QKeySequence();
}

void tst_DConfigCapture::storedHotkeys()
{
    QFETCH(QString, stored);
    QFETCH(QKeySequence, expected);
    QSettings* settings = useFreshFile();
    settings->setValue(QStringLiteral("HotkeyWindow"), stored);
    QCOMPARE(config()->hotkey(DD::Window).keySequence(), expected);
    // The other modes keep their defaults.
    QCOMPARE(config()->hotkey(DD::Region), config()->defaultHotkey(DD::Region));
}

void tst_DConfigCapture::hotkeyRoundTrip()
{
    QSettings* settings = useFreshFile();
    const DHotkey hotkey(QKeySequence(Qt::CTRL + Qt::ALT + Qt::Key_R));
    config()->setHotkey(DD::FullScreen, hotkey);
    QCOMPARE(settings->value(QStringLiteral("HotkeyFullScreen")).userType(), int(QMetaType::QKeySequence));
    QCOMPARE(config()->hotkey(DD::FullScreen), hotkey);

    // After a restart the file holds text; it reads back as the same sequence.
    const QString path = settings->fileName();
    settings->sync();
    delete config()->m_pSettings;
    config()->m_pSettings = new QSettings(path, QSettings::IniFormat);
    QCOMPARE(config()->hotkey(DD::FullScreen), hotkey);
}

void tst_DConfigCapture::useFlags()
{
    QSettings* settings = useFreshFile();
    config()->setUseHotkey(DD::Scrolling, true);
    QCOMPARE(settings->value(QStringLiteral("UseHotkeyScrolling")).toBool(), true);
    QCOMPARE(config()->isUseHotkey(DD::Scrolling), true);
    QCOMPARE(config()->isUseHotkey(DD::Region), false);
    config()->setUseHotkey(DD::Scrolling, false);
    QCOMPARE(config()->isUseHotkey(DD::Scrolling), false);
    QCOMPARE(settings->allKeys(), QStringList{QStringLiteral("UseHotkeyScrolling")});
}

void tst_DConfigCapture::unsupportedModeUsesItsOwnKeys()
{
    QSettings* settings = useFreshFile();
    const auto bad = static_cast<DD::enumCaptureMode>(9);
    QVERIFY(config()->defaultHotkey(bad).isEmpty());
    QVERIFY(config()->hotkey(bad).isEmpty());
    config()->setUseHotkey(bad, true);
    config()->setHotkey(bad, DHotkey(QKeySequence(Qt::Key_F2)));
    QStringList keys = settings->allKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{QStringLiteral("UnsupportedCaptuerMode"), QStringLiteral("UseUnsupportedCaptuerMode")}));
    QCOMPARE(config()->isUseHotkey(bad), true);
    QCOMPARE(config()->hotkey(bad).keySequence(), QKeySequence(Qt::Key_F2));
}

void tst_DConfigCapture::emptyFolderMeansDefaultFolder()
{
    QSettings* settings = useFreshFile();
    settings->setValue(QStringLiteral("AutomaticSaveFolder"), QString());
    QCOMPARE(config()->automaticSaveFolder(), QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QVERIFY(!config()->automaticSaveFolder().isEmpty());
    settings->setValue(QStringLiteral("AutomaticSaveFolder"), QStringLiteral("/tmp/shots"));
    QCOMPARE(config()->automaticSaveFolder(), QStringLiteral("/tmp/shots"));
}

void tst_DConfigCapture::valuesReadBackAsText()
{
    useFreshFile("[General]\nNameMethod=0\nTargetFormat=2\nJpgQuality=90\nSystemTray=false\n"
                 "ShowTrayInstantMenu=false\nAutoUpdate=false\nUseHotkeyRegion=true\nCreateSubfolders=true\n");
    DConfigCapture* c = config();
    QCOMPARE(c->nameMethod(), 0);
    QCOMPARE(c->targetFormat(), 2);
    QCOMPARE(c->jpgQuality(), 90u);
    QCOMPARE(c->hasSystemTray(), false);
    QCOMPARE(c->showTrayInstantMenu(), false);
    QCOMPARE(c->autoUpdate(), false);
    QCOMPARE(c->isUseHotkey(DD::Region), true);
    QCOMPARE(c->createSubfolders(), true);
}

void tst_DConfigCapture::randomBytesFileGivesUsableValues()
{
    QByteArray noise(4096, '\0');
    QRandomGenerator generator(20261210);
    for (char& byte : noise)
        byte = char(generator.bounded(256));
    useFreshFile(noise);
    DConfigCapture* c = config();
    // The folder is never empty and the hotkeys are either their default or nothing.
    QVERIFY(!c->automaticSaveFolder().isEmpty());
    for (int mode = DD::Region; mode <= DD::FullScreen; ++mode) {
        const auto m = static_cast<DD::enumCaptureMode>(mode);
        const DHotkey hotkey = c->hotkey(m);
        QVERIFY(hotkey == c->defaultHotkey(m) || hotkey.isEmpty());
    }
    // Writing still works on top of the damaged file.
    c->setUseHotkey(DD::Window, true);
    QCOMPARE(c->isUseHotkey(DD::Window), true);
}

void tst_DConfigCapture::readsAreNotCached()
{
    QSettings* settings = useFreshFile();
    QCOMPARE(config()->targetFormat(), 0);
    settings->setValue(QStringLiteral("TargetFormat"), 1);
    QCOMPARE(config()->targetFormat(), 1);
    settings->setValue(QStringLiteral("NameMethod"), 0);
    QCOMPARE(config()->nameMethod(), 0);
}

void tst_DConfigCapture::settersStoreTheKeysAsBefore()
{
    // Each setter writes its key under the name and in the value type that
    // files written so far hold; its reader gives the value back.
    struct Write
    {
        QString key;
        std::function<void(DConfigCapture*)> set;
        QVariant stored;
        std::function<QVariant(const DConfigCapture*)> read;
    };
    const QString folder = m_dir.filePath(QStringLiteral("shots"));
    const QList<Write> writes = {
        { QStringLiteral("IncludeCursor"), [](DConfigCapture* c) { c->setIncludeCursor(true); }, QVariant(true),
          [](const DConfigCapture* c) { return QVariant(c->includeCursor()); } },
        { QStringLiteral("ScrollingInterval"), [](DConfigCapture* c) { c->setScrollingInterval(1200); },
          QVariant(1200), [](const DConfigCapture* c) { return QVariant(c->scrollingInterval()); } },
        { QStringLiteral("SystemTray"), [](DConfigCapture* c) { c->setSystemTray(false); }, QVariant(false),
          [](const DConfigCapture* c) { return QVariant(c->hasSystemTray()); } },
        { QStringLiteral("ShowTrayInstantMenu"), [](DConfigCapture* c) { c->setShowTrayInstantMenu(false); },
          QVariant(false), [](const DConfigCapture* c) { return QVariant(c->showTrayInstantMenu()); } },
        { QStringLiteral("AutoUpdate"), [](DConfigCapture* c) { c->setAutoUpdate(false); }, QVariant(false),
          [](const DConfigCapture* c) { return QVariant(c->autoUpdate()); } },
        { QStringLiteral("ShowTellFriend"), [](DConfigCapture* c) { c->setShowTellFriend(false); }, QVariant(false),
          [](const DConfigCapture* c) { return QVariant(c->showTellFriend()); } },
        { QStringLiteral("NameMethod"), [](DConfigCapture* c) { c->setNameMethod(0); }, QVariant(0),
          [](const DConfigCapture* c) { return QVariant(c->nameMethod()); } },
        { QStringLiteral("AutomaticSaveFolder"), [folder](DConfigCapture* c) { c->setAutomaticSaveFolder(folder); },
          QVariant(folder), [](const DConfigCapture* c) { return QVariant(c->automaticSaveFolder()); } },
        { QStringLiteral("TargetFormat"), [](DConfigCapture* c) { c->setTargetFormat(DD::BMP); },
          QVariant(int(DD::BMP)), [](const DConfigCapture* c) { return QVariant(c->targetFormat()); } },
        { QStringLiteral("JpgQuality"), [](DConfigCapture* c) { c->setJpgQuality(33u); }, QVariant(33u),
          [](const DConfigCapture* c) { return QVariant(c->jpgQuality()); } },
        { QStringLiteral("RegionType"), [](DConfigCapture* c) { c->setRegionType(DD::RegionPolygon); },
          QVariant(int(DD::RegionPolygon)), [](const DConfigCapture* c) { return QVariant(c->regionType()); } },
        { QStringLiteral("FileNameFormat"), [](DConfigCapture* c) { c->setFileNameFormat(QStringLiteral("Y-h")); },
          QVariant(QStringLiteral("Y-h")), [](const DConfigCapture* c) { return QVariant(c->fileNameFormat()); } },
        { QStringLiteral("SubFolderFormat"), [](DConfigCapture* c) { c->setSubFolderFormat(QStringLiteral("D")); },
          QVariant(QStringLiteral("D")), [](const DConfigCapture* c) { return QVariant(c->subFolderFormat()); } },
        { QStringLiteral("CreateSubfolders"), [](DConfigCapture* c) { c->setCreateSubfolders(true); }, QVariant(true),
          [](const DConfigCapture* c) { return QVariant(c->createSubfolders()); } },
        { QStringLiteral("LastFilePath"), [folder](DConfigCapture* c) { c->setLastFilePath(folder); },
          QVariant(folder), [](const DConfigCapture* c) { return QVariant(c->lastFilePath()); } },
    };
    for (const Write& write : writes) {
        QSettings* settings = useFreshFile();
        write.set(config());
        const QVariant stored = settings->value(write.key);
        QVERIFY2(stored.userType() == write.stored.userType(), qPrintable(write.key));
        QVERIFY2(stored == write.stored, qPrintable(write.key));
        QVERIFY2(write.read(config()) == write.stored, qPrintable(write.key));
        // Nothing else was written beside the key.
        QCOMPARE(settings->allKeys(), QStringList{ write.key });
    }
}

void tst_DConfigCapture::iconOfRegionType()
{
    const QImage rectangle(QStringLiteral(":/images/profile-region-rectangle.png"));
    const QImage polygon(QStringLiteral(":/images/profile-region-polygon.png"));
    QVERIFY(!rectangle.isNull());
    QVERIFY(!polygon.isNull());
    QVERIFY(rectangle != polygon);
    const QSize size = rectangle.size();
    QCOMPARE(DUtility::iconOfRegionType(DD::RegionRectangle).pixmap(size).toImage().convertToFormat(rectangle.format()),
             rectangle);
    QCOMPARE(DUtility::iconOfRegionType(DD::RegionPolygon).pixmap(size).toImage().convertToFormat(polygon.format()),
             polygon);
    QVERIFY(DUtility::iconOfRegionType(static_cast<DD::enumRegionType>(2)).isNull());
    QVERIFY(DUtility::iconOfRegionType(static_cast<DD::enumRegionType>(-1)).isNull());
}

void tst_DConfigCapture::outOfRangeNumbersReadAsTheirDefault_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("read");
    QTest::newRow("TargetFormat 7") << "TargetFormat" << "7" << 0;
    QTest::newRow("TargetFormat -1") << "TargetFormat" << "-1" << 0;
    QTest::newRow("TargetFormat 2, the last") << "TargetFormat" << "2" << 2;
    QTest::newRow("NameMethod 9") << "NameMethod" << "9" << 1;
    QTest::newRow("NameMethod not a number") << "NameMethod" << "many" << 1;
    QTest::newRow("NameMethod 0") << "NameMethod" << "0" << 0;
    QTest::newRow("JpgQuality -5") << "JpgQuality" << "-5" << 75;
    QTest::newRow("JpgQuality 0") << "JpgQuality" << "0" << 75;
    QTest::newRow("JpgQuality 101") << "JpgQuality" << "101" << 75;
    QTest::newRow("JpgQuality 4294967297, 1 once wrapped") << "JpgQuality" << "4294967297" << 75;
    QTest::newRow("JpgQuality 1, the first") << "JpgQuality" << "1" << 1;
    QTest::newRow("JpgQuality 100, the last") << "JpgQuality" << "100" << 100;
    QTest::newRow("ScrollingInterval -99999999999") << "ScrollingInterval" << "-99999999999" << 500;
    QTest::newRow("ScrollingInterval 5001") << "ScrollingInterval" << "5001" << 500;
    QTest::newRow("ScrollingInterval 1.5") << "ScrollingInterval" << "1.5" << 500;
    QTest::newRow("ScrollingInterval 0, the first") << "ScrollingInterval" << "0" << 0;
    QTest::newRow("ScrollingInterval 5000, the last") << "ScrollingInterval" << "5000" << 5000;
    QTest::newRow("RegionType 2") << "RegionType" << "2" << 0;
    QTest::newRow("RegionType 1") << "RegionType" << "1" << 1;
}

void tst_DConfigCapture::outOfRangeNumbersReadAsTheirDefault()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(int, read);
    useFreshFile("[General]\n" + key.toLatin1() + "=" + stored.toLatin1() + "\n");
    const QHash<QString, std::function<int(const DConfigCapture*)>> readers{
        {"TargetFormat", &DConfigCapture::targetFormat},
        {"NameMethod", &DConfigCapture::nameMethod},
        {"JpgQuality", [](const DConfigCapture* c) { return int(c->jpgQuality()); }},
        {"ScrollingInterval", &DConfigCapture::scrollingInterval},
        {"RegionType", &DConfigCapture::regionType},
    };
    QCOMPARE(readers.value(key)(config()), read);
    // Reading leaves the stored value alone.
    QCOMPARE(config()->m_pSettings->value(key).toString(), stored);
}

void tst_DConfigCapture::relativeFolderLiesInTheHomeFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("read");
    const QString home = QDir::homePath();
    QTest::newRow("absolute") << "/srv/shots" << "/srv/shots";
    QTest::newRow("relative") << "Shots" << home + "/Shots";
    QTest::newRow("relative with dots") << "./a/../Shots" << home + "/Shots";
    QTest::newRow("home") << "~" << home;
    QTest::newRow("in home") << "~/Shots" << home + "/Shots";
    QTest::newRow("tilde inside a name") << "~shots" << home + "/~shots";
}

void tst_DConfigCapture::relativeFolderLiesInTheHomeFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, read);
    QSettings* settings = useFreshFile();
    settings->setValue(QStringLiteral("AutomaticSaveFolder"), stored);
    QCOMPARE(config()->automaticSaveFolder(), read);
}

QTEST_MAIN(tst_DConfigCapture)
#include "tst_DConfigCapture.moc"
