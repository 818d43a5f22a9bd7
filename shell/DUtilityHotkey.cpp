// DUtility's hotkey members, defined by the program.
#include "DUtility.h"

#include "DHotkey.h"
#include "DHotkeyRegistrar.h"
#include "DProgramGlobals.h"

namespace {
const int HotkeyIdBase = 0xC000;
}

bool DUtility::setHotkey(DD::enumCaptureMode mode, const DHotkey& hotkey, QString& errorText)
{
    return DHotkeyRegistrar::current().registerHotkey(hotkeyIdFromCaptureMode(mode), hotkey.keySequence(),
                                                       errorText);
}

void DUtility::unsetHotkey(DD::enumCaptureMode mode)
{
    DHotkeyRegistrar::current().unregisterHotkey(hotkeyIdFromCaptureMode(mode));
}

int DUtility::hotkeyIdFromCaptureMode(DD::enumCaptureMode mode)
{
    return int(mode) + HotkeyIdBase;
}

DD::enumCaptureMode DUtility::captureModeFromHotkeyId(int id)
{
    return DD::enumCaptureMode(id - HotkeyIdBase);
}

quintptr DUtility::getMainWindowWId()
{
    return g_MainWindowWId;
}
