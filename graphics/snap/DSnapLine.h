#ifndef DSNAPLINE_H
#define DSNAPLINE_H

#include <QRectF>

class QPainter;

// One guide line of the snap system: the coordinate that a mouse position was
// pulled onto, drawn across the view one device pixel wide.
class DSnapLine
{
public:
    enum SnapDirection {
        X = 0, // an x coordinate, drawn as a vertical line
        Y = 1  // a y coordinate, drawn as a horizontal line
    };

    DSnapLine(double value, SnapDirection direction);

    double value() const { return m_value; }
    SnapDirection direction() const { return m_direction; }

    bool intersects(const QRectF& r) const;
    QRectF rect(const QRectF& r) const;
    void paint(QPainter* painter, const QRectF& r) const;

    bool operator==(const DSnapLine& other) const
    {
        return m_value == other.m_value && m_direction == other.m_direction;
    }

private:
    double m_value;
    SnapDirection m_direction;
};

#endif // DSNAPLINE_H
