#ifndef DGLOBALRESOURCE_H
#define DGLOBALRESOURCE_H

#include <QHash>
#include <QUuid>

#include "DNamedImage.h"
#include "DSingleton.h"

// The named-image store. Its life also brackets the message library: it is
// created when the library loads (after the message schema is registered) and
// shuts the message library down when the repository deletes it at exit.
class DGlobalResource : public DSingleton<DGlobalResource>
{
    friend class DSingleton<DGlobalResource>;

public:
    // A new share of the stored image, or a null holder.
    DNamedImagePtr image(const QUuid& uuid) const;
    void addImage(DNamedImage* image);
    void removeImage(const QUuid& uuid);

private:
    DGlobalResource();
    ~DGlobalResource() override;

    QHash<QUuid, DNamedImage*> m_images; // not owned
};

// Set when the library loads; null once the store is gone.
extern DGlobalResource* g_pJustForInitialize;

#endif // DGLOBALRESOURCE_H
