#ifndef DCREATEPROMPTTEXT_H
#define DCREATEPROMPTTEXT_H

#include "DCreatePromptRectangle.h"

class DGraphicsItemText;

// Draws a text box like a rectangle, then starts editing its text in place.
class DCreatePromptText : public DCreatePromptRectangle
{
    Q_OBJECT
public:
    DCreatePromptText();

    DGraphicsItemText* sample() const;
    DGraphicsItem* createSample() const override;

public slots:
    void onFinished(DCreatePrompt* prompt);
};

#endif // DCREATEPROMPTTEXT_H
