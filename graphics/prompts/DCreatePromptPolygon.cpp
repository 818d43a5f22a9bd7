#include "DCreatePromptPolygon.h"

#include "DGraphicsItemPolygon.h"

DCreatePromptPolygon::DCreatePromptPolygon()
{
}

DGraphicsItemPolygon* DCreatePromptPolygon::sample() const
{
    return qobject_cast<DGraphicsItemPolygon*>(m_pSample.data());
}

DGraphicsItem* DCreatePromptPolygon::createSample() const
{
    auto* polygon = new DGraphicsItemPolygon();
    polygon->setFillImage(m_backgroundImage, QPixmap());
    return polygon;
}

void DCreatePromptPolygon::onStop()
{
    DCreatePromptPolyline::onStop();
    if (DGraphicsItemPolygon* polygon = sample())
        polygon->close();
}
