# Sources of capture/ (the program). Add a file only once it compiles.
set(DIR_SOURCES
    # window detection, output-target dialog
    DWidgetData.cpp
    DWidgetDataBuilder.cpp
    DDialogPromptTarget.cpp
)
