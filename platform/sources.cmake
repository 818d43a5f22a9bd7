# Sources of platform/, relative to the folder.
set(DIR_SOURCES
    # login items
    DLoginItems.cpp
    DLoginItemsXdg.cpp
    # compositing manager (X code in its own file: its headers clash with the generated messages)
    DDesktopCompositor.cpp
    DX11Compositor.cpp
)
