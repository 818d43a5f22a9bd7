# Sources of widgets/canvas/, relative to the folder.
set(DIR_SOURCES
    # canvas and rulers
    DCanvas.cpp
    DCanvasRuler.cpp
    DCanvasRulerHorizontal.cpp
    DCanvasRulerVertical.cpp
)
