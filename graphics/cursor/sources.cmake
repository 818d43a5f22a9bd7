# Sources of graphics/cursor/, relative to the folder.
set(DIR_SOURCES
    # drawn cursor
    DCursorGraphics.cpp
    DCursorGraphicsCross.cpp
    DCursor.cpp
)
