# Sources of shell/ (the program; main.cpp is not listed: it is the executable's own).
# Add a file only once it compiles.
set(DIR_SOURCES
    # product identity
    # start-up, single instance, hotkeys, update check, about box
    # capture settings, main window, settings pages
    # capture output, file-name options dialog
)
