#include "DStartup.h"

#include "DLastLogin.h"

DStartup::Arguments DStartup::parseArguments(const QStringList& arguments)
{
    Arguments result;
    for (const QString& argument : arguments) {
        if (argument.compare(QLatin1String("/autorun"), Qt::CaseInsensitive) == 0)
            result.autorun = true;
        else if (argument.compare(QLatin1String("DebugScript"), Qt::CaseInsensitive) == 0)
            result.debugScripts = true;
    }
    return result;
}

bool DStartup::showWindowAtStart(const QDateTime& lastLogin, const QDateTime& now, bool autorun)
{
    return lastLogin.secsTo(now) > QuietSecondsAfterLogin && !autorun;
}

QDateTime lastLoginTime(const DLastLogin& records)
{
    // Never an invalid time: its distance to any time is 0 seconds, which
    // would keep every start in the tray.
    const QDateTime longPast = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    const QString user = records.userName();
    if (user.isEmpty())
        return longPast;
    const auto seconds = records.lastLoginSecs(user);
    return seconds ? QDateTime::fromSecsSinceEpoch(*seconds, Qt::UTC) : longPast;
}

QDateTime lastLoginTime()
{
    return lastLoginTime(DLastLogin::current());
}
