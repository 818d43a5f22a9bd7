#include "DGripFactoryManager.h"

// Grip factories derive from DGripFactoryAbstract (graphics/); the registry
// only needs its class name.
DGripFactoryManager::DGripFactoryManager()
    : DExtensionManager(QStringLiteral("DGripFactoryAbstract"))
{
}

DGripFactoryManager::~DGripFactoryManager()
{
}
