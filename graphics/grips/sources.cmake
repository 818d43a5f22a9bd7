# Sources of graphics/grips/, relative to the folder.
set(DIR_SOURCES
    # grips, their manager and the grip factories
    DGripFactoryAbstract.cpp
    DGripGlyph.cpp
    DGripConstraintLine.cpp
    DGrip.cpp
    DGripManager.cpp
    DGripFactoryPolyline.cpp
    DGripFactoryPolygon.cpp
    DGripFactoryLine.cpp
    DGripFactoryImage.cpp
    DGripFactoryLocation.cpp
    DGripFactorySize.cpp
    DGripFactoryBoundary.cpp
)
