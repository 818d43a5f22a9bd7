#ifndef DCREATEPROMPTPOLYLINE_H
#define DCREATEPROMPTPOLYLINE_H

#include <QPointer>

#include "DCreatePrompt.h"
#include "DGraphicsItemLine.h"

class DGraphicsItemPolyline;

// Adds a point per click; a right click, a double click or the keypad's Enter
// finishes. A rubber-band line runs from the last point to the pointer.
class DCreatePromptPolyline : public DCreatePrompt
{
    Q_OBJECT
public:
    DCreatePromptPolyline();
    ~DCreatePromptPolyline() override;

    DGraphicsItemPolyline* sample() const;
    DGraphicsItemLine* rubberBand() const { return m_pRubberBand; }

    void onStart() override;
    bool mousePress(QGraphicsSceneMouseEvent* event) override;
    bool mouseRelease(QGraphicsSceneMouseEvent* event) override;
    bool mouseDoubleClick(QGraphicsSceneMouseEvent* event) override;
    bool mouseMove(QGraphicsSceneMouseEvent* event) override;
    bool keyRelease(QKeyEvent* event) override;
    void onStop() override;
    DGraphicsItem* createSample() const override;

protected:
    // Guarded against a scene that deletes its items before its prompts.
    QPointer<DGraphicsItemLine> m_pRubberBand;
};

#endif // DCREATEPROMPTPOLYLINE_H
