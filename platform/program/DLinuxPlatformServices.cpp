#include "DLinuxPlatformServices.h"

#include "DHotkeyRegistrarLinux.h"
#include "DLastLoginLinux.h"
#include "DX11AllDesktops.h"
#include "DX11KeyboardFocus.h"
#include "DX11ScreenGrabber.h"
#include "DX11WindowList.h"

void installLinuxPlatformServices()
{
    // Each reads the process's environment and the display on every call, so
    // one of each serves the whole process, whenever it was installed. They
    // are never deleted: singletons deleted at exit may still reach them.
    static DLastLoginLinux* const lastLogin = new DLastLoginLinux;
    static DHotkeyRegistrarLinux* const hotkeys = new DHotkeyRegistrarLinux;
    static DX11WindowList* const windowList = new DX11WindowList;
    static DX11ScreenGrabber* const grabber = new DX11ScreenGrabber;
    static DX11KeyboardFocus* const keyboardFocus = new DX11KeyboardFocus;
    static DX11AllDesktops* const allDesktops = new DX11AllDesktops;
    DLastLogin::setCurrent(lastLogin);
    DHotkeyRegistrar::setCurrent(hotkeys);
    DOnScreenWindowList::setCurrent(windowList);
    DScreenGrabber::setCurrent(grabber);
    DKeyboardFocus::setCurrent(keyboardFocus);
    DAllDesktops::setCurrent(allDesktops);
}
