#ifndef DCREATEPROMPTRECTANGLEWINDOW_H
#define DCREATEPROMPTRECTANGLEWINDOW_H

#include "DCreatePromptRectangle.h"

// The prompt of a rectangular region capture: a rectangle prompt whose sample
// is a captured rectangle of the screen.
class DCreatePromptRectangleWindow : public DCreatePromptRectangle
{
    Q_OBJECT

public:
    DGraphicsItem* createSample() const override;
};

#endif // DCREATEPROMPTRECTANGLEWINDOW_H
