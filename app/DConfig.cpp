#include "DConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

#include "DUtility.h"

DConfig* DConfig::m_pConfigInstance = nullptr;

namespace {
const char* const kAutoRun = "AutoRun";
const QString kSystemTray = QStringLiteral("SystemTray");
const QString kShowTrayInstantMenu = QStringLiteral("ShowTrayInstantMenu");
const QString kRecentValuePrefix = QStringLiteral("RecentValue/");
const QString kScriptPreferencePrefix = QStringLiteral("ScriptPreference/");
const QString kOrganization = QStringLiteral("Orvanta");
}

DConfig::DConfig(QSettings* settings)
    : m_pSettings(settings)
{
    m_pConfigInstance = this;
}

DConfig::DConfig()
    : m_pSettings(nullptr)
{
    if (m_pConfigInstance) {
        DConfig* previous = m_pConfigInstance;
        m_pSettings = previous->m_pSettings;
        previous->m_pSettings = nullptr;
        delete previous;
    }
    if (!m_pSettings)
        m_pSettings = createSettings();
    m_pConfigInstance = this;
}

DConfig::~DConfig()
{
    delete m_pSettings;
    m_pSettings = nullptr;
    // Nobody may reach a store that is gone through _instance().
    if (m_pConfigInstance == this)
        m_pConfigInstance = nullptr;
}

namespace {

// The files a settings object of the user's scope reads: the program's own,
// then the one the maker's programs share.
QStringList userSettingsFiles(const QString& applicationName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {folder + QLatin1Char('/') + kOrganization + QLatin1Char('/') + applicationName + QStringLiteral(".ini"),
            folder + QLatin1Char('/') + kOrganization + QStringLiteral(".ini")};
}

// A path where something other than a file stands (links followed): a pipe,
// whose opening waits for a writer for ever, a socket, a device, a folder.
bool holdsNoFile(const QString& path)
{
    struct stat entry;
    return ::stat(QFile::encodeName(path).constData(), &entry) == 0 && !S_ISREG(entry.st_mode);
}

// Whether the lock file that saving the settings at `path` takes could never
// be taken: anything but a file stands in its place, a link included. Saving
// waits for it to go, for ever, since only a stale lock file is removed.
bool lockIsBlocked(const QString& path)
{
    struct stat entry;
    const QByteArray lock = QFile::encodeName(path + QStringLiteral(".lock"));
    return ::lstat(lock.constData(), &entry) == 0 && !S_ISREG(entry.st_mode);
}

// A settings object that reads and writes no file: a name below a device,
// where no file is ever found or made. Its values stay in memory.
QSettings* settingsInMemory(const QString& applicationName)
{
    return new QSettings(QStringLiteral("/dev/null/") + applicationName + QStringLiteral(".ini"), QSettings::IniFormat);
}

} // namespace

QSettings* DConfig::createSettings()
{
    const QString applicationName = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    for (const QString& path : userSettingsFiles(applicationName)) {
        if (!holdsNoFile(path))
            continue;
        qWarning("The settings at \"%s\" are not a file: running on defaults, and nothing is saved",
                 qPrintable(QDir::toNativeSeparators(path)));
        return settingsInMemory(applicationName);
    }
    QSettings* stored = new QSettings(QSettings::IniFormat, QSettings::UserScope, kOrganization, applicationName);
    if (!lockIsBlocked(stored->fileName()))
        return stored;
    // Reading takes no lock: the stored values are used, changes are not saved.
    qWarning("\"%s.lock\" is not a file: the settings are read, but nothing is saved",
             qPrintable(QDir::toNativeSeparators(stored->fileName())));
    QSettings* settings = settingsInMemory(applicationName);
    for (const QString& key : stored->allKeys())
        settings->setValue(key, stored->value(key));
    delete stored;
    return settings;
}

DConfig* DConfig::_instance()
{
    if (!m_pConfigInstance)
        new DConfig(createSettings());
    return m_pConfigInstance;
}

void DConfig::setAutoRun(bool on)
{
    m_pSettings->setValue(kAutoRun, on);
    DUtility::setAutoRun(on);
}

bool DConfig::isAutoRun() const
{
    const bool on = m_pSettings->value(kAutoRun, true).toBool();
    DUtility::setAutoRun(on);
    return on;
}

QVariant DConfig::propertyValue(const QString& name)
{
    return m_pSettings->value(kRecentValuePrefix + name);
}

void DConfig::setPropertyValue(const QString& name, const QVariant& value)
{
    m_pSettings->setValue(kRecentValuePrefix + name, value);
}

QVariant DConfig::scriptPreference(const QString& name)
{
    if (!isScriptPreferenceName(name))
        return QVariant();
    return m_pSettings->value(kScriptPreferencePrefix + name);
}

void DConfig::setScriptPreference(const QString& name, const QVariant& value)
{
    if (!isScriptPreferenceName(name))
        return;
    m_pSettings->setValue(kScriptPreferencePrefix + name, value);
}

bool DConfig::isScriptPreferenceName(const QString& name)
{
    // The settings object drops empty sections between slashes; whatever else
    // the name holds becomes a key below the group.
    for (const QChar c : name) {
        if (c != QLatin1Char('/'))
            return true;
    }
    return false;
}

int DConfig::boundedInt(const QString& key, int defaultValue, int minimum, int maximum) const
{
    const QVariant stored = m_pSettings->value(key);
    if (!stored.isValid())
        return defaultValue;
    // Read wide: a stored number beyond the range of int must not wrap into it.
    bool isNumber = false;
    const qlonglong value = stored.toLongLong(&isNumber);
    if (!isNumber || value < minimum || value > maximum)
        return defaultValue;
    return int(value);
}

bool DConfig::hasSystemTray() const
{
    return m_pSettings->value(kSystemTray, DefaultSystemTray).toBool();
}

void DConfig::setSystemTray(bool on)
{
    m_pSettings->setValue(kSystemTray, on);
}

bool DConfig::showTrayInstantMenu() const
{
    return m_pSettings->value(kShowTrayInstantMenu, DefaultShowTrayInstantMenu).toBool();
}

void DConfig::setShowTrayInstantMenu(bool on)
{
    m_pSettings->setValue(kShowTrayInstantMenu, on);
}
