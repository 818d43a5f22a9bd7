#ifndef DWITHINONESECOND_H
#define DWITHINONESECOND_H

#include <QDateTime>

#include <functional>

// Runs `step` until one run begins and ends within the same second of the
// clock, at most five times; true when one did. Names that the run builds from
// the time letters at different moments then stand for the same time.
inline bool runWithinOneSecond(const std::function<void()>& step)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        step();
        if (QDateTime::currentSecsSinceEpoch() == before)
            return true;
    }
    return false;
}

#endif // DWITHINONESECOND_H
