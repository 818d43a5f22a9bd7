#ifndef DPROGRAMGLOBALS_H
#define DPROGRAMGLOBALS_H

#include <QMap>
#include <QtGlobal>

// Values that the whole program shares.

// True when the program was started with "DebugScript": every script run of
// the program then runs under the script debugger.
extern bool g_bDebugScripts;

// The main window's native window id, stored by its constructor; 0 before.
// DUtility::getMainWindowWId() returns it.
extern quintptr g_MainWindowWId;

// Translation from Qt key codes to the desktop's key codes for global hotkeys.
// Hotkeys are not bound on this platform, so the table is empty and unread.
extern QMap<Qt::Key, int> g_KeyTranslator;
QMap<Qt::Key, int> initKeyTranslator();

#endif // DPROGRAMGLOBALS_H
