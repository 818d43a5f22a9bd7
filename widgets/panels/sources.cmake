# Sources of widgets/panels/, relative to the folder.
set(DIR_SOURCES
    # fading panels, their tool bar and the help balloon
    DWidget.cpp
    DWidgetTools.cpp
    DHelpBalloon.cpp
)
