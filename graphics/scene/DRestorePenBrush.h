#ifndef DRESTOREPENBRUSH_H
#define DRESTOREPENBRUSH_H

#include <QBrush>
#include <QPen>

class QPainter;

// Keeps the painter's pen and brush and puts them back when it goes.
class DRestorePenBrush
{
public:
    explicit DRestorePenBrush(QPainter& painter);
    ~DRestorePenBrush();
    DRestorePenBrush(const DRestorePenBrush&) = delete;
    DRestorePenBrush& operator=(const DRestorePenBrush&) = delete;

private:
    QPainter* m_painter;
    QBrush m_brush;
    QPen m_pen;
};

#endif // DRESTOREPENBRUSH_H
