#include "DNamedImage.h"

#include "DGlobalResource.h"

DNamedImage::DNamedImage(const QPixmap& pixmap)
    : m_uuid(QUuid::createUuid())
    , m_pixmap(pixmap)
{
    DSingleton<DGlobalResource>::instance()->addImage(this);
}

DNamedImage::~DNamedImage()
{
    // At exit the store may already be gone; then there is nothing to leave.
    if (g_pJustForInitialize)
        g_pJustForInitialize->removeImage(m_uuid);
}
