#ifndef DCONSTANTS_H
#define DCONSTANTS_H

#include <QVector3D>

// Constants set when the library loads, before any other of its initialisers.
class DConstants
{
public:
    static const QVector3D X_AXIS;
    static const QVector3D Y_AXIS;
    static const QVector3D Z_AXIS;
};

#endif // DCONSTANTS_H
