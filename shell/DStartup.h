#ifndef DSTARTUP_H
#define DSTARTUP_H

#include <QDateTime>
#include <QStringList>

class DLastLogin;

// The rules by which a start of the program decides what it does.
class DStartup
{
public:
    struct Arguments
    {
        bool autorun = false;       // "/autorun": started at login
        bool debugScripts = false;  // "DebugScript": scripts run under the debugger
    };

    // A start this many seconds or fewer after the user's login stays in the tray.
    static constexpr qint64 QuietSecondsAfterLogin = 74;

    // Every entry, the program path included, compared without regard to case;
    // an entry counts only when it is the whole word.
    static Arguments parseArguments(const QStringList& arguments);

    // Whether the main window is shown at start: only when the login lies more
    // than QuietSecondsAfterLogin back and the start was not a login start.
    static bool showWindowAtStart(const QDateTime& lastLogin, const QDateTime& now, bool autorun);
};

// The time of the current user's last login. With no user or no record, a time
// long past, so that the start counts as a normal start.
QDateTime lastLoginTime();
QDateTime lastLoginTime(const DLastLogin& records);

#endif // DSTARTUP_H
