#ifndef DGRIPFACTORYMANAGER_H
#define DGRIPFACTORYMANAGER_H

#include "DExtensionManager.h"
#include "DSingleton.h"

// The registry of grip factories per item class. Registrations are made when
// the library loads; the first one creates this registry.
class DGripFactoryManager : public DSingleton<DGripFactoryManager>, public DExtensionManager
{
    friend class DSingleton<DGripFactoryManager>;

private:
    DGripFactoryManager();
    ~DGripFactoryManager() override;
};

#endif // DGRIPFACTORYMANAGER_H
