# Sources of platform/, relative to the folder.
set(DIR_SOURCES
    # login items
    DLoginItems.cpp
    DLoginItemsXdg.cpp
)
