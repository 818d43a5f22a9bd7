# Sources of widgets/, relative to the folder. Add a file only once it compiles.
set(DIR_SOURCES
    # canvas, rulers, panels, help balloon
    DCanvas.cpp
    DCanvasRuler.cpp
    DCanvasRulerHorizontal.cpp
    DCanvasRulerVertical.cpp
    DWidget.cpp
    DWidgetTools.cpp
    DHelpBalloon.cpp
    # property browser panel
    DEditorFactoryVector3D.cpp
    DPropertyManagerVariant.cpp
    DPropertyManagerVector3D.cpp
    DPropertyVariousChecker.cpp
    DWidgetPropertyBrowser.cpp
    # tray icon and instant panel
    DShapedTrayPanel.cpp
    DSystemTrayIcon.cpp
)
