#ifndef DNAMEDIMAGE_H
#define DNAMEDIMAGE_H

#include <QExplicitlySharedDataPointer>
#include <QPixmap>
#include <QSharedData>
#include <QUuid>

// A reference-counted pixmap known by a uuid. It registers itself with the
// image store on construction and leaves it on destruction; holders keep it
// in a DNamedImagePtr, and the last one to let go deletes it.
class DNamedImage : public QSharedData
{
public:
    explicit DNamedImage(const QPixmap& pixmap);
    virtual ~DNamedImage();

    QUuid uuid() const { return m_uuid; }
    QPixmap pixmap() const { return m_pixmap; }

private:
    DNamedImage(const DNamedImage&) = delete;
    DNamedImage& operator=(const DNamedImage&) = delete;

    QUuid m_uuid;
    QPixmap m_pixmap;
};

typedef QExplicitlySharedDataPointer<DNamedImage> DNamedImagePtr;

#endif // DNAMEDIMAGE_H
