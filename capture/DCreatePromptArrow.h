#ifndef DCREATEPROMPTARROW_H
#define DCREATEPROMPTARROW_H

#include "DCreatePromptLine.h"

// Draws an arrow from the press to the release, as the line prompt draws a line.
class DCreatePromptArrow : public DCreatePromptLine
{
    Q_OBJECT

public:
    DGraphicsItem* createSample() const override;
};

#endif // DCREATEPROMPTARROW_H
