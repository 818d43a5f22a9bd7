#ifndef DCREATEPROMPTWINDOW_H
#define DCREATEPROMPTWINDOW_H

#include <QPixmap>
#include <QPoint>
#include <QRectF>

#include "DCreatePrompt.h"
#include "DWidgetData.h"
#include "DWidgetHit.h"

class DGraphicsItemRectangle;

// The prompt of Window and Scrolling captures. While the mouse moves it
// highlights the window under the pointer with a rectangle that shows the
// screenshot, and labels the drawn cursor with the window's title and size;
// a left click captures what is highlighted, a right click cancels.
//
// The window tree is in global screen pixels; the scene starts at the grabbed
// screen's top-left (the tree's root), so a window's rectangle is moved by
// the root's origin on its way to the scene.
class DCreatePromptWindow : public DCreatePrompt
{
    Q_OBJECT

public:
    DCreatePromptWindow();

    void setBackgroundImage(const QPixmap& image) { m_backgroundImage = image; }
    void setWidgetData(const DWidgetData& tree) { m_widgetData = tree; }
    const DWidgetHit& lastHit() const { return m_lastHit; }

    DGraphicsItemRectangle* sample() const;
    DGraphicsItem* createSample() const override;

    void onStart() override;
    bool mousePress(QGraphicsSceneMouseEvent* event) override;
    bool mouseMove(QGraphicsSceneMouseEvent* event) override;
    void onStop() override;

    // Highlights the window under `globalPos`, a point in the tree's global
    // screen pixels. A point outside the screen keeps the highlight as it is.
    void highlightWindowAt(const QPoint& globalPos);

    // The scene rectangle that covers exactly the pixels of a window rectangle
    // of the tree, to their outer edges: the captured piece is as large as the
    // window, a window of one pixel included.
    QRectF sceneRectOf(const QRect& globalRect) const;

private:
    // The tree's pixel under a pointer position in Qt's global coordinates:
    // through the canvas's view (which knows the screen's place and scale),
    // not through the snapped scene position.
    QPoint treePixelAt(const QPoint& screenPos) const;
    // The tree's pixel at an unsnapped scene position.
    QPoint treePixelOf(const QPointF& scenePos) const;

    QPixmap m_backgroundImage;
    DWidgetData m_widgetData;
    DWidgetHit m_lastHit;
};

#endif // DCREATEPROMPTWINDOW_H
