#ifndef DCONFIG_H
#define DCONFIG_H

#include <QSettings>
#include <QString>
#include <QVariant>

// The one settings store of the process: an INI file in the user's scope.
// There is at most one current instance; a DConfig built with the default
// constructor takes over the settings object of the current one.
class DConfig
{
public:
    // Adopts the settings object and becomes the current instance.
    explicit DConfig(QSettings* settings);
    // Takes over the current instance's settings object (deleting that
    // instance) or creates a fresh one, and becomes the current instance.
    DConfig();
    virtual ~DConfig();

    static QSettings* createSettings();
    static DConfig* _instance();

    void setAutoRun(bool on);
    bool isAutoRun() const;

    QVariant propertyValue(const QString& name);
    void setPropertyValue(const QString& name, const QVariant& value);

    // Under "ScriptPreference/" + name. A name that would not stay inside that
    // group (see isScriptPreferenceName) reads as nothing and is not stored.
    QVariant scriptPreference(const QString& name);
    void setScriptPreference(const QString& name, const QVariant& value);
    // False for a name that names no key of its own inside the scripts' group:
    // empty, or slashes only, which the settings object would fold into the
    // group's own name, a key of the general group beside the program's.
    static bool isScriptPreferenceName(const QString& name);

    // A whole-number key read with its default: a stored value that is no whole
    // number, or lies outside minimum to maximum, reads as the default too, so
    // that every reader sees one value the program can act on.
    int boundedInt(const QString& key, int defaultValue, int minimum, int maximum) const;

    // The tray keys, read by the library's tray icon and written by the
    // program's settings page.
    static constexpr bool DefaultSystemTray = true;
    static constexpr bool DefaultShowTrayInstantMenu = true;
    // "SystemTray", on unless switched off.
    bool hasSystemTray() const;
    void setSystemTray(bool on);
    // "ShowTrayInstantMenu": whether the tray icon opens its panel under the pointer.
    bool showTrayInstantMenu() const;
    void setShowTrayInstantMenu(bool on);

    // Parts that own keys of their own read and write them through it.
    QSettings* m_pSettings;

protected:
    static DConfig* m_pConfigInstance;

private:
    DConfig(const DConfig&) = delete;
    DConfig& operator=(const DConfig&) = delete;
};

#endif // DCONFIG_H
