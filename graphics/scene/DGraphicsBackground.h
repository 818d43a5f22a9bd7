#ifndef DGRAPHICSBACKGROUND_H
#define DGRAPHICSBACKGROUND_H

class QPainter;
class QRectF;

// What the scene paints on the page beneath its layers. The scene owns its
// background and deletes it when another one is set.
class DGraphicsBackground
{
public:
    virtual ~DGraphicsBackground() = default;
    virtual void paint(QPainter* painter, const QRectF& rect) = 0;
};

#endif // DGRAPHICSBACKGROUND_H
