# Sources of data/, relative to the folder.
set(DIR_SOURCES
    # conversions between item-state messages and Qt types
    DFileFormatConversion.cpp
)
