# Sources of graphics/scene/, relative to the folder.
set(DIR_SOURCES
    # scene, layers, backgrounds, view, painter guards
    DPainterAntiScale.cpp
    DRestorePenBrush.cpp
    DRestorePainter.cpp
    DGraphicsBackgroundColor.cpp
    DGraphicsBackgroundImage.cpp
    DGraphicsLayer.cpp
    DGraphicsScene.cpp
    DUtilityGraphics.cpp
    DGraphicsView.cpp
)
