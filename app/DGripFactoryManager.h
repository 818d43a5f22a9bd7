#ifndef DGRIPFACTORYMANAGER_H
#define DGRIPFACTORYMANAGER_H

#include <QString>

#include "DExtensionManager.h"
#include "DSingleton.h"

// The registry of grip factories per item class. Registrations are made when
// the library loads; the first one creates this registry.
class DGripFactoryManager : public DSingleton<DGripFactoryManager>, public DExtensionManager
{
    friend class DSingleton<DGripFactoryManager>;

public:
    // Registers Factory for the items of itemClass and its subclasses; the
    // load sequence keeps each result in its own flag.
    template <class Factory>
    static bool registerFactory(const char* itemClass)
    {
        return instance()->add(&Factory::staticMetaObject, QString(itemClass));
    }

private:
    DGripFactoryManager();
    ~DGripFactoryManager() override;
};

#endif // DGRIPFACTORYMANAGER_H
