#ifndef DRESTOREPAINTER_H
#define DRESTOREPAINTER_H

class QPainter;

// Saves the painter's whole state and restores it when it goes.
class DRestorePainter
{
public:
    explicit DRestorePainter(QPainter& painter);
    ~DRestorePainter();
    DRestorePainter(const DRestorePainter&) = delete;
    DRestorePainter& operator=(const DRestorePainter&) = delete;

private:
    QPainter* m_painter;
};

#endif // DRESTOREPAINTER_H
