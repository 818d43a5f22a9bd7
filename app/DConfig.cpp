#include "DConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include "DUtility.h"

DConfig* DConfig::m_pConfigInstance = nullptr;

namespace {
const char* const kAutoRun = "AutoRun";
const QString kSystemTray = QStringLiteral("SystemTray");
const QString kShowTrayInstantMenu = QStringLiteral("ShowTrayInstantMenu");
const QString kRecentValuePrefix = QStringLiteral("RecentValue/");
const QString kScriptPreferencePrefix = QStringLiteral("ScriptPreference/");
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

QSettings* DConfig::createSettings()
{
    const QString applicationName = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    return new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Orvanta"),
                         applicationName);
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
