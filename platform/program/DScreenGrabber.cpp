#include "DScreenGrabber.h"

#include <QScreen>
#include <QtGlobal>

#include <limits>

namespace {

class DNullScreenGrabber : public DScreenGrabber
{
public:
    QList<QRect> monitors() const override { return QList<QRect>(); }
    QImage grab(const QRect&) const override { return QImage(); }
};

// How far `point` lies outside `rect` (0 inside), in steps along the axes.
int distanceOutside(const QRect& rect, const QPoint& point)
{
    const int dx = qMax(0, qMax(rect.left() - point.x(), point.x() - rect.right()));
    const int dy = qMax(0, qMax(rect.top() - point.y(), point.y() - rect.bottom()));
    return dx + dy;
}

} // namespace

DScreenGrabber::~DScreenGrabber() = default;

QRect DScreenGrabber::monitorShowing(const QScreen* screen, const QPoint& point) const
{
    // Qt keeps each screen's origin in physical pixels and scales what lies
    // beyond it by the screen's device pixel ratio.
    const QRect logical = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    const QPoint origin = logical.topLeft();
    const QPoint physical = origin + (point - origin) * ratio;

    const QList<QRect> all = monitors();
    if (all.isEmpty())
        return QRect(origin, logical.size() * ratio);
    for (const QRect& monitor : all) {
        if (monitor.contains(physical))
            return monitor;
    }
    for (const QRect& monitor : all) {
        if (monitor.topLeft() == origin)
            return monitor;
    }
    QRect nearest = all.first();
    int shortest = std::numeric_limits<int>::max();
    for (const QRect& monitor : all) {
        const int distance = distanceOutside(monitor, physical);
        if (distance < shortest) {
            shortest = distance;
            nearest = monitor;
        }
    }
    return nearest;
}

DScreenGrabber& DScreenGrabber::defaultService()
{
    static DNullScreenGrabber none;
    return none;
}
