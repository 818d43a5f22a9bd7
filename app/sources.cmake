# Sources of app/, relative to the folder.
set(DIR_SOURCES
    # the library's load sequence
    DLoadSequence.cpp
    # foundation: singletons, settings, utilities, scripts, registries
    DConfig.cpp
    DHotkey.cpp
    DUtility.cpp
    DScript.cpp
    DScriptOwnershipGuard.cpp
    DScriptWatchdog.cpp
    DScriptBuiltinLimits.cpp
    DResidentMemory.cpp
    DExtensionManager.cpp
    DGripFactoryManager.cpp
    DGlobalResource.cpp
    DNamedImage.cpp
)
