# Sources of platform/program/, relative to the folder: the platform services
# that only the program uses (linked into Zorvelshot, not the library, and off
# the library's include path).
# X11 code stays in files of its own: its headers clash with the generated messages.
set(DIR_SOURCES
    # the Linux implementations of every platform service, installed at start
    DLinuxPlatformServices.cpp
    # last login, hotkey registration
    DLastLogin.cpp
    DLastLoginLinux.cpp
    DHotkeyRegistrar.cpp
    DHotkeyRegistrarLinux.cpp
    # the X display, as the X11 services below use it
    DX11Connection.cpp
    # on-screen window list
    DOnScreenWindowList.cpp
    DX11WindowList.cpp
    DCompoundText.cpp
    # the screen's pixels
    DScreenGrabber.cpp
    DX11ScreenGrabber.cpp
    # the keyboard for a window that bypasses the window manager
    DKeyboardFocus.cpp
    DX11KeyboardFocus.cpp
    # every desktop for a dialog of a window that bypasses the window manager
    DAllDesktops.cpp
    DX11AllDesktops.cpp
)
