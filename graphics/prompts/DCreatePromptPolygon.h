#ifndef DCREATEPROMPTPOLYGON_H
#define DCREATEPROMPTPOLYGON_H

#include <QPixmap>

#include "DCreatePromptPolyline.h"

class DGraphicsItemPolygon;

// A polyline prompt whose shape is closed when it stops.
class DCreatePromptPolygon : public DCreatePromptPolyline
{
    Q_OBJECT
public:
    DCreatePromptPolygon();

    void setBackgroundImage(const QPixmap& pixmap) { m_backgroundImage = pixmap; }
    QPixmap backgroundImage() const { return m_backgroundImage; }

    DGraphicsItemPolygon* sample() const;

    void onStop() override;
    DGraphicsItem* createSample() const override;

private:
    QPixmap m_backgroundImage;
};

#endif // DCREATEPROMPTPOLYGON_H
