# Sources of graphics/prompts/, relative to the folder.
set(DIR_SOURCES
    # event filters and creation prompts
    DEventFilter.cpp
    DEventFilterList.cpp
    DCreatePrompt.cpp
    DCreatePromptRectangle.cpp
    DCreatePromptText.cpp
    DCreatePromptLine.cpp
    DCreatePromptPolyline.cpp
    DCreatePromptPolygon.cpp
)
