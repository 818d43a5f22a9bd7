#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "DConfig.h"
#include "DFakeLoginItems.h"

namespace {

// A plain store that says when it is deleted.
class WatchedConfig : public DConfig
{
public:
    WatchedConfig(QSettings* settings, bool* deleted) : DConfig(settings), m_deleted(deleted) {}
    ~WatchedConfig() override { *m_deleted = true; }

private:
    bool* m_deleted;
};

QString settingsFolderPath()
{
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/Orvanta";
}

QString settingsFilePath()
{
    return settingsFolderPath() + "/" + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
           + ".ini";
}

// Watches an entry in the settings' way while it lives, so that a test fails
// where the store would hang: should anything open it as a pipe for reading,
// which waits for a writer for ever, it is let go at once (it then reads
// nothing); with `removeAfterMs`, the entry is taken away once that time has
// passed, for whatever waits for it to go.
class PipeRescue
{
public:
    explicit PipeRescue(const QByteArray& path, int removeAfterMs = 0)
        : m_thread([this, path, removeAfterMs] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(removeAfterMs);
            std::unique_lock<std::mutex> lock(m_mutex);
            while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stopped; })) {
                // Succeeds only while someone has the pipe open for reading.
                const int writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (writer >= 0) {
                    m_needed = true;
                    ::close(writer);
                }
                if (removeAfterMs > 0 && std::chrono::steady_clock::now() > deadline
                    && (::unlink(path.constData()) == 0 || ::rmdir(path.constData()) == 0))
                    m_needed = true;
            }
        })
    {
    }
    ~PipeRescue() { stop(); }

    // Whether anything opened the pipe for reading, or the entry had to go.
    bool stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_needed;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    std::atomic<bool> m_needed{false};
    std::thread m_thread;
};

// A socket's entry at `path`, left when the socket closes.
bool makeSocketEntry(const QByteArray& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    qstrcpy(address.sun_path, path.constData());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool bound = socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0)
        ::close(socket);
    return bound;
}

// The kind of entry at `path` (S_IFIFO, S_IFDIR, ...), the link itself for a
// link; 0 when there is none.
mode_t entryKind(const QByteArray& path)
{
    struct stat entry;
    return ::lstat(path.constData(), &entry) == 0 ? (entry.st_mode & S_IFMT) : 0;
}

// Puts something other than a file at `path`: a "pipe", a "socket", a
// "folder", a "dangling link", or a "link to a pipe" made at `pipe`. False
// when it could not be made.
bool makeEntry(const QString& kind, const QByteArray& path, const QByteArray& pipe)
{
    if (kind == "pipe")
        return ::mkfifo(path.constData(), 0600) == 0;
    if (kind == "link to a pipe")
        return ::mkfifo(pipe.constData(), 0600) == 0 && ::symlink(pipe.constData(), path.constData()) == 0;
    if (kind == "socket")
        return makeSocketEntry(path);
    if (kind == "folder")
        return ::mkdir(path.constData(), 0700) == 0;
    if (kind == "dangling link")
        return ::symlink("/nonexistent/settings", path.constData()) == 0;
    return false;
}

} // namespace

class tst_DConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void settingsAreAnIniFileInTheUserScope();
    void instanceTwiceGivesTheSameStore();
    void defaultConstructorTakesOverTheCurrentSettings();
    void defaultConstructorWithoutCurrentCreatesSettings();
    void adoptingConstructorLeavesThePreviousStoreAlone();
    void destroyedCurrentStoreIsNotReturnedAgain();
    void autoRunDefaultsToTrueAndAddsTheLoginItem();
    void setAutoRunWritesTheSettingAndSyncsLoginItems_data();
    void setAutoRunWritesTheSettingAndSyncsLoginItems();
    void everyAutoRunReadResyncsTheLoginItems();
    void propertyValues();
    void scriptPreferences();
    void scriptPreferenceNamesStayInTheGroup();
    void systemTrayDefaultsToTrue();
    void valuesSurviveARestart();
    void randomBytesReadAsDefaults();
    void unwritableSettingsFileLeavesDefaultsInUse();
    void unwritableSettingsFolderLeavesDefaultsInUse();
    void settingsPathThatIsNoFileRunsOnDefaults_data();
    void settingsPathThatIsNoFileRunsOnDefaults();
    void settingsLockThatIsNoFileKeepsTheStoredValues_data();
    void settingsLockThatIsNoFileKeepsTheStoredValues();

private:
    DFakeLoginItems m_loginItems;
};

void tst_DConfig::init()
{
    m_loginItems.clear();
    QFile::remove(settingsFilePath());
}

void tst_DConfig::cleanup()
{
    delete DConfig::_instance();
    QFile::remove(settingsFilePath());
    if (QFileInfo(settingsFolderPath()).isFile())
        QFile::remove(settingsFolderPath());
}

void tst_DConfig::settingsAreAnIniFileInTheUserScope()
{
    QScopedPointer<QSettings> settings(DConfig::createSettings());
    QCOMPARE(settings->format(), QSettings::IniFormat);
    QCOMPARE(settings->scope(), QSettings::UserScope);
    QCOMPARE(settings->organizationName(), QStringLiteral("Orvanta"));
    QCOMPARE(settings->applicationName(), QStringLiteral("tst_DConfig"));
    QCOMPARE(settings->fileName(), settingsFilePath());
    QVERIFY(!settings->parent());
}

void tst_DConfig::instanceTwiceGivesTheSameStore()
{
    DConfig* first = DConfig::_instance();
    QSettings* settings = first->m_pSettings;
    QVERIFY(settings);
    QCOMPARE(DConfig::_instance(), first);
    QCOMPARE(DConfig::_instance()->m_pSettings, settings);
}

void tst_DConfig::defaultConstructorTakesOverTheCurrentSettings()
{
    bool previousDeleted = false;
    QSettings* settings = DConfig::createSettings();
    new WatchedConfig(settings, &previousDeleted);

    DConfig* replacement = new DConfig();
    QVERIFY(previousDeleted);
    QCOMPARE(replacement->m_pSettings, settings);
    QCOMPARE(DConfig::_instance(), replacement);
}

void tst_DConfig::defaultConstructorWithoutCurrentCreatesSettings()
{
    delete DConfig::_instance();
    DConfig* config = new DConfig();
    QVERIFY(config->m_pSettings);
    QCOMPARE(config->m_pSettings->fileName(), settingsFilePath());
    QCOMPARE(DConfig::_instance(), config);
}

void tst_DConfig::adoptingConstructorLeavesThePreviousStoreAlone()
{
    bool firstDeleted = false;
    WatchedConfig* first = new WatchedConfig(DConfig::createSettings(), &firstDeleted);
    QSettings* second = DConfig::createSettings();
    DConfig* adopting = new DConfig(second);
    QVERIFY(!firstDeleted);
    QVERIFY(first->m_pSettings);
    QCOMPARE(adopting->m_pSettings, second);
    QCOMPARE(DConfig::_instance(), adopting);
    delete first;
    QVERIFY(firstDeleted);
    // Deleting a store that is not the current one leaves the current alone.
    QCOMPARE(DConfig::_instance(), adopting);
}

void tst_DConfig::destroyedCurrentStoreIsNotReturnedAgain()
{
    bool deleted = false;
    WatchedConfig* watched = new WatchedConfig(DConfig::createSettings(), &deleted);
    QCOMPARE(DConfig::_instance(), static_cast<DConfig*>(watched));
    delete watched;
    QVERIFY(deleted);
    // A fresh store, not the deleted one (under the sanitizer a dangling
    // pointer would be reported on this use).
    DConfig* fresh = DConfig::_instance();
    QVERIFY(fresh);
    QVERIFY(!dynamic_cast<WatchedConfig*>(fresh));
    QVERIFY(fresh->m_pSettings);
}

void tst_DConfig::autoRunDefaultsToTrueAndAddsTheLoginItem()
{
    QVERIFY(!DConfig::_instance()->m_pSettings->contains("AutoRun"));
    QVERIFY(DConfig::_instance()->isAutoRun());
    QCOMPARE(m_loginItems.adds, 1);
    QCOMPARE(m_loginItems.removes, 0);
    QVERIFY(m_loginItems.contains());
}

void tst_DConfig::setAutoRunWritesTheSettingAndSyncsLoginItems_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("adds");
    QTest::addColumn<int>("removes");
    QTest::newRow("on") << true << 1 << 0;
    QTest::newRow("off") << false << 0 << 1;
}

void tst_DConfig::setAutoRunWritesTheSettingAndSyncsLoginItems()
{
    QFETCH(bool, on);
    QFETCH(int, adds);
    QFETCH(int, removes);
    m_loginItems.entries = on ? 0 : 2;
    DConfig::_instance()->setAutoRun(on);
    QCOMPARE(DConfig::_instance()->m_pSettings->value("AutoRun").toBool(), on);
    QCOMPARE(m_loginItems.adds, adds);
    QCOMPARE(m_loginItems.removes, removes);
    QCOMPARE(m_loginItems.contains(), on);
}

void tst_DConfig::everyAutoRunReadResyncsTheLoginItems()
{
    DConfig* config = DConfig::_instance();
    config->m_pSettings->setValue("AutoRun", false);
    m_loginItems.entries = 1;
    QVERIFY(!config->isAutoRun());
    QCOMPARE(m_loginItems.removes, 1);
    QVERIFY(!m_loginItems.contains());

    config->m_pSettings->setValue("AutoRun", true);
    QVERIFY(config->isAutoRun());
    QVERIFY(config->isAutoRun());
    QCOMPARE(m_loginItems.adds, 2);
    QVERIFY(m_loginItems.contains());
}

void tst_DConfig::propertyValues()
{
    DConfig* config = DConfig::_instance();
    QVERIFY(!config->propertyValue("width").isValid());
    config->setPropertyValue("width", 5);
    QCOMPARE(config->propertyValue("width").toInt(), 5);
    QCOMPARE(config->m_pSettings->value("RecentValue/width").toInt(), 5);
    QVERIFY(!config->scriptPreference("width").isValid());
}

void tst_DConfig::scriptPreferences()
{
    DConfig* config = DConfig::_instance();
    QVERIFY(!config->scriptPreference("lastFolder").isValid());
    config->setScriptPreference("lastFolder", "/tmp/x");
    QCOMPARE(config->scriptPreference("lastFolder").toString(), QStringLiteral("/tmp/x"));
    QCOMPARE(config->m_pSettings->value("ScriptPreference/lastFolder").toString(),
             QStringLiteral("/tmp/x"));
    QVERIFY(!config->propertyValue("lastFolder").isValid());
}

void tst_DConfig::scriptPreferenceNamesStayInTheGroup()
{
    // The settings object folds these into the group's own name: a key of
    // the general group, beside the program's own.
    DConfig* config = DConfig::_instance();
    for (const QString& name : {QString(), QStringLiteral("/"), QStringLiteral("///")}) {
        QVERIFY(!DConfig::isScriptPreferenceName(name));
        config->setScriptPreference(name, "x");
        QVERIFY(!config->scriptPreference(name).isValid());
    }
    QCOMPARE(config->m_pSettings->allKeys(), QStringList());
    config->m_pSettings->setValue("ScriptPreference", "general");
    QVERIFY(!config->scriptPreference("").isValid());

    // Anything else in the name is a key inside the group.
    for (const QString& name : {QStringLiteral(" "), QStringLiteral("/a"), QStringLiteral("..")}) {
        QVERIFY(DConfig::isScriptPreferenceName(name));
        config->setScriptPreference(name, "y");
        QCOMPARE(config->scriptPreference(name).toString(), QStringLiteral("y"));
    }
    config->m_pSettings->beginGroup("ScriptPreference");
    QCOMPARE(config->m_pSettings->allKeys().size(), 3);
    config->m_pSettings->endGroup();
    QCOMPARE(config->m_pSettings->value("ScriptPreference").toString(), QStringLiteral("general"));
}

void tst_DConfig::systemTrayDefaultsToTrue()
{
    DConfig* config = DConfig::_instance();
    QVERIFY(config->hasSystemTray());
    config->m_pSettings->setValue("SystemTray", false);
    QVERIFY(!config->hasSystemTray());
}

void tst_DConfig::valuesSurviveARestart()
{
    DConfig::_instance()->setAutoRun(false);
    DConfig::_instance()->setPropertyValue("opacity", 0.5);
    DConfig::_instance()->m_pSettings->setValue("SystemTray", false);
    delete DConfig::_instance(); // writes the file

    QVERIFY(QFile::exists(settingsFilePath()));
    DConfig* restarted = new DConfig();
    // Read back from the file, the values are text: the accessors still
    // give the right types.
    QVERIFY(!restarted->isAutoRun());
    QVERIFY(!restarted->hasSystemTray());
    QCOMPARE(restarted->propertyValue("opacity").toDouble(), 0.5);
}

void tst_DConfig::randomBytesReadAsDefaults()
{
    QDir().mkpath(QFileInfo(settingsFilePath()).absolutePath());
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QRandomGenerator random(20261210);
    QByteArray bytes(64 * 1024, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    file.write(bytes);
    file.close();

    DConfig* config = new DConfig();
    QVERIFY(config->isAutoRun());
    QVERIFY(config->hasSystemTray());
    QVERIFY(!config->propertyValue("width").isValid());
    QVERIFY(!config->scriptPreference("anything").isValid());
    config->setPropertyValue("width", 3);
    QCOMPARE(config->propertyValue("width").toInt(), 3);
}

void tst_DConfig::unwritableSettingsFileLeavesDefaultsInUse()
{
    // A folder where the file should be: it can be neither read nor written,
    // also not by root.
    QVERIFY(QDir().mkpath(settingsFilePath()));
    DConfig* config = new DConfig();
    QVERIFY(config->isAutoRun());
    QVERIFY(config->hasSystemTray());
    config->setPropertyValue("width", 7);
    QCOMPARE(config->propertyValue("width").toInt(), 7);
    config->m_pSettings->sync();
    QCOMPARE(config->m_pSettings->status(), QSettings::AccessError);
    delete config;
    QVERIFY(QDir().rmdir(settingsFilePath()));
}

void tst_DConfig::unwritableSettingsFolderLeavesDefaultsInUse()
{
    // A file where the maker's settings folder should be: the folder cannot
    // be made, so the settings file can be neither read nor written.
    QVERIFY(QDir(settingsFolderPath()).removeRecursively());
    QFile blocker(settingsFolderPath());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("AutoRun=false\nSystemTray=false\n");
    blocker.close();

    DConfig* config = new DConfig();
    QVERIFY(config->isAutoRun());
    QCOMPARE(m_loginItems.adds, 1);
    QVERIFY(config->hasSystemTray());
    QVERIFY(!config->propertyValue("width").isValid());
    config->setPropertyValue("width", 9);
    QCOMPARE(config->propertyValue("width").toInt(), 9);
    config->m_pSettings->sync();
    QCOMPARE(config->m_pSettings->status(), QSettings::AccessError);
    delete config;

    // What stood in the way is left as it was.
    QVERIFY(QFileInfo(settingsFolderPath()).isFile());
    QVERIFY(blocker.open(QIODevice::ReadOnly));
    QCOMPARE(blocker.readAll(), QByteArray("AutoRun=false\nSystemTray=false\n"));
}

// A pipe, a socket or a folder at a settings path (or a link to one): the
// store never opens it (a pipe would hold the start for ever), runs on its
// defaults in memory, says so, and leaves everything as it was.
void tst_DConfig::settingsPathThatIsNoFileRunsOnDefaults_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("path");
    const QString own = settingsFilePath();
    QTest::newRow("pipe") << "pipe" << own;
    QTest::newRow("link to a pipe") << "link to a pipe" << own;
    QTest::newRow("socket") << "socket" << own;
    QTest::newRow("folder") << "folder" << own;
    // Read too: the file that the maker's programs share.
    QTest::newRow("pipe as the shared file") << "pipe" << settingsFolderPath() + ".ini";
}

void tst_DConfig::settingsPathThatIsNoFileRunsOnDefaults()
{
    QFETCH(QString, kind);
    QFETCH(QString, path);
    delete DConfig::_instance();
    const QString configHome = QFileInfo(settingsFolderPath()).path();
    QVERIFY(QDir().mkpath(settingsFolderPath()));
    const QByteArray entry = QFile::encodeName(path);
    const QByteArray pipe = kind == "link to a pipe" ? QFile::encodeName(configHome + "/pipe") : entry;
    const auto removeEntries = qScopeGuard([&] {
        ::unlink(entry.constData());
        ::rmdir(entry.constData());
        ::unlink(pipe.constData());
    });
    QVERIFY(makeEntry(kind, entry, pipe));
    const mode_t before = entryKind(entry);
    QVERIFY(before != 0);
    const auto everything = [](const QString& folder) {
        QStringList all;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all << it.next();
        all.sort();
        return all;
    };
    const QStringList allBefore = everything(configHome);

    PipeRescue rescue(pipe);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(path) + ".*defaults"));
    DConfig* config = new DConfig();
    QVERIFY(config->isAutoRun());
    QVERIFY(config->hasSystemTray());
    QVERIFY(!config->propertyValue("width").isValid());
    config->setPropertyValue("width", 5);
    QCOMPARE(config->propertyValue("width").toInt(), 5);
    config->m_pSettings->sync();
    delete config;
    QVERIFY2(!rescue.stop(), "the settings pipe was opened");

    // Nothing was replaced, written into or beside it.
    QCOMPARE(entryKind(entry), before);
    QCOMPARE(everything(configHome), allBefore);
}

// Something other than a file where saving the settings takes its lock (a
// pipe, a folder, a link): every save would wait for it to go, for ever. The
// stored values are read all the same, changes stay in memory, and what is
// there is left as it was.
void tst_DConfig::settingsLockThatIsNoFileKeepsTheStoredValues_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("folder") << "folder";
    QTest::newRow("link that leads nowhere") << "dangling link";
}

void tst_DConfig::settingsLockThatIsNoFileKeepsTheStoredValues()
{
    QFETCH(QString, kind);
    delete DConfig::_instance();
    QVERIFY(QDir().mkpath(settingsFolderPath()));
    const QByteArray stored = "[General]\nAutoRun=false\nSystemTray=false\n";
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(stored), qint64(stored.size()));
    file.close();
    const QString lock = settingsFilePath() + ".lock";
    const QByteArray entry = QFile::encodeName(lock);
    const auto removeEntry = qScopeGuard([&] {
        ::unlink(entry.constData());
        ::rmdir(entry.constData());
    });
    QVERIFY(makeEntry(kind, entry, entry));
    const mode_t before = entryKind(entry);
    QVERIFY(before != 0);

    PipeRescue rescue(entry, 10000);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(lock)));
    DConfig* config = new DConfig();
    QVERIFY(!config->isAutoRun());
    QVERIFY(!config->hasSystemTray());
    config->setPropertyValue("width", 5);
    QCOMPARE(config->propertyValue("width").toInt(), 5);
    config->m_pSettings->sync();
    delete config;
    QVERIFY2(!rescue.stop(), "saving the settings waited for the lock");

    QCOMPARE(entryKind(entry), before);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), stored);
}

QTEST_GUILESS_MAIN(tst_DConfig)
#include "tst_DConfig.moc"
