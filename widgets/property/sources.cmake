# Sources of widgets/property/, relative to the folder.
set(DIR_SOURCES
    # property browser panel, its managers and editor factories
    DWidgetPropertyBrowser.cpp
    DPropertyManagerVariant.cpp
    DPropertyManagerVector3D.cpp
    DPropertyVariousChecker.cpp
    DEditorFactoryVector3D.cpp
)
