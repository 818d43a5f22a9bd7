# Sources of graphics/snap/, relative to the folder.
set(DIR_SOURCES
    # snap system and guide lines
    DSnapLine.cpp
    DGraphicsSnapSystem.cpp
)
