# Sources of shell/ (the program; main.cpp is not listed: it is the executable's own).
# Add a file only once it compiles.
set(DIR_SOURCES
    # product identity
    DProduct.cpp
    # start-up, single instance, hotkeys, update check, about box
    DProgramGlobals.cpp
    DHotKeyEventFilter.cpp
    DUtilityHotkey.cpp
    DHotkeyEdit.cpp
    DBoundedHttpGet.cpp
    DUpdateChecker.cpp
    DStartup.cpp
    DApplication.cpp
    DDialogAbout.cpp
    # capture settings, main window, settings pages
    DConfigCapture.cpp
    DUtilityRegionIcon.cpp
    DMainDialog.cpp
    # capture output, file-name options dialog
    DImageDigest.cpp
    DUtilityCaptureOutput.cpp
    DStagedFile.cpp
    DSaveFileDialog.cpp
    DDialogFileOptions.cpp
)
