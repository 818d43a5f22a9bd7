#ifndef DLOGINITEMSXDG_H
#define DLOGINITEMSXDG_H

#include <QString>
#include <QStringList>

#include "DLoginItems.h"

// Login items as XDG autostart entries: one file "<name>.desktop" in
// $XDG_CONFIG_HOME/autostart/ whose Exec runs the executable with "/autorun".
class DLoginItemsXdg : public DLoginItems
{
public:
    // Empty arguments take the running process's values: the autostart folder
    // of the user's configuration folder, the executable's absolute path and
    // the application name.
    explicit DLoginItemsXdg(const QString& autostartFolder = QString(),
                            const QString& executablePath = QString(),
                            const QString& entryName = QString());

    void add() override;
    bool contains() const override;
    bool remove() override;

    QString autostartFolder() const;
    QString executablePath() const;
    // The file that add() writes.
    QString entryFilePath() const;

    // The Exec value that runs the executable with "/autorun", quoted as the
    // desktop-entry format asks.
    static QString execLine(const QString& executablePath);
    // The program and arguments of an Exec value; empty when it does not parse.
    static QStringList splitExec(const QString& exec);

private:
    // Entry files in the autostart folder whose Exec runs the executable.
    QStringList matchingEntries(bool activeOnly) const;
    bool runsExecutable(const QString& exec) const;

    QString m_autostartFolder;
    QString m_executablePath;
    QString m_entryName;
};

#endif // DLOGINITEMSXDG_H
