#ifndef DCREATEPROMPTLINE_H
#define DCREATEPROMPTLINE_H

#include "DCreatePrompt.h"

class DGraphicsItemLine;

// Draws a line from the press to the release.
class DCreatePromptLine : public DCreatePrompt
{
    Q_OBJECT
public:
    DCreatePromptLine();

    DGraphicsItemLine* sample() const;

    bool mousePress(QGraphicsSceneMouseEvent* event) override;
    bool mouseRelease(QGraphicsSceneMouseEvent* event) override;
    bool mouseMove(QGraphicsSceneMouseEvent* event) override;
    DGraphicsItem* createSample() const override;
};

#endif // DCREATEPROMPTLINE_H
