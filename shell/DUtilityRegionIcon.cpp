// The program's DUtility member that maps a region shape to its icon.
#include "DUtility.h"

#include <QIcon>

QIcon DUtility::iconOfRegionType(DD::enumRegionType type)
{
    switch (type) {
    case DD::RegionRectangle:
        return QIcon(QStringLiteral(":/images/profile-region-rectangle.png"));
    case DD::RegionPolygon:
        return QIcon(QStringLiteral(":/images/profile-region-polygon.png"));
    }
    return QIcon();
}
