# Sources of app/, relative to the folder. Load-order sources are listed in
# app/ZorvelKitLoadOrder.cmake as well; they are taken out of this list there.
set(DIR_SOURCES
    # foundation: constants, singletons, settings, utilities, scripts, registries
    DConstants.cpp
    DConfig.cpp
    DHotkey.cpp
    DUtility.cpp
    DScript.cpp
    DExtensionManager.cpp
    DGripFactoryManager.cpp
    DGlobalResource.cpp
    DNamedImage.cpp
)
