#include "DCreatePromptArrow.h"

#include "DGraphicsItemArrow.h"

DGraphicsItem* DCreatePromptArrow::createSample() const
{
    return new DGraphicsItemArrow();
}
