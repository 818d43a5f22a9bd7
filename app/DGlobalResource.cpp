#include "DGlobalResource.h"

#include <google/protobuf/stubs/common.h>

DGlobalResource::DGlobalResource()
{
    // The message library must match the headers the schema was generated
    // with; the library's own check knows its compatible versions.
    GOOGLE_PROTOBUF_VERIFY_VERSION;
}

DGlobalResource::~DGlobalResource()
{
    google::protobuf::ShutdownProtobufLibrary();
    g_pJustForInitialize = nullptr;
    // The images belong to their holders, not to the store.
    m_images.clear();
}

DNamedImagePtr DGlobalResource::image(const QUuid& uuid) const
{
    return DNamedImagePtr(m_images.value(uuid, nullptr));
}

void DGlobalResource::addImage(DNamedImage* image)
{
    if (image)
        m_images.insert(image->uuid(), image);
}

void DGlobalResource::removeImage(const QUuid& uuid)
{
    m_images.remove(uuid);
}
