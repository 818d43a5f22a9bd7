# Sources of platform/, relative to the folder. Load-order sources are listed in
# app/ZorvelKitLoadOrder.cmake as well; they are taken out of this list there.
set(DIR_SOURCES
    # login items
    DLoginItems.cpp
    DLoginItemsXdg.cpp
)
