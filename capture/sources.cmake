# Sources of capture/ (the program). Add a file only once it compiles.
set(DIR_SOURCES
    # window detection, output-target dialog
    DWidgetData.cpp
    DWidgetDataBuilder.cpp
    DDialogPromptTarget.cpp
    # the overlay's own items and prompts
    DGraphicsItemRectangleWindow.cpp
    DGraphicsItemArrow.cpp
    DCreatePromptRectangleWindow.cpp
    DCreatePromptArrow.cpp
    DCreatePromptWindow.cpp
    # the capture overlay and its tool bars
    DOverlayPrompts.cpp
    DFullScreenSelector.cpp
)
