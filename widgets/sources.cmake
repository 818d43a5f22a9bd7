# Sources of widgets/, relative to the folder. Add a file only once it compiles.
set(DIR_SOURCES
    # canvas, rulers, panels, help balloon
    # tray icon and instant panel
)
