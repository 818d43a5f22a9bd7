#ifndef DCREATEPROMPTRECTANGLE_H
#define DCREATEPROMPTRECTANGLE_H

#include <QPixmap>

#include "DCreatePrompt.h"

class DGraphicsItemRectangle;

// Draws a rectangle from the press to the release.
class DCreatePromptRectangle : public DCreatePrompt
{
    Q_OBJECT
public:
    DCreatePromptRectangle();

    void setFillImage(const QPixmap& pixmap) { m_fillImage = pixmap; }
    QPixmap fillImage() const { return m_fillImage; }

    DGraphicsItemRectangle* sample() const;

    bool mousePress(QGraphicsSceneMouseEvent* event) override;
    bool mouseRelease(QGraphicsSceneMouseEvent* event) override;
    bool mouseMove(QGraphicsSceneMouseEvent* event) override;
    DGraphicsItem* createSample() const override;

private:
    QPixmap m_fillImage;
};

#endif // DCREATEPROMPTRECTANGLE_H
