# Sources of data/, relative to the folder. Load-order sources are listed in
# app/ZorvelKitLoadOrder.cmake as well; they are taken out of this list there.
set(DIR_SOURCES
    # conversions between item-state messages and Qt types
    DFileFormatConversion.cpp
)
