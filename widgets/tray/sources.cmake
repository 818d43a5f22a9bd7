# Sources of widgets/tray/, relative to the folder.
set(DIR_SOURCES
    # tray icon and instant panel
    DSystemTrayIcon.cpp
    DShapedTrayPanel.cpp
)
