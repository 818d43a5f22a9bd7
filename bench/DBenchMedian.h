#ifndef DBENCHMEDIAN_H
#define DBENCHMEDIAN_H

#include <QVector>

#include <algorithm>
#include <cstdlib>

// The middle value of the measured runs (the upper one of an even count).
inline double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The number of runs: the first argument when it is a positive number, else `fallback`.
inline int runsFromArguments(int argc, char** argv, int fallback = 9)
{
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

#endif // DBENCHMEDIAN_H
