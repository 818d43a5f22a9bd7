#ifndef DGRIPDATAVARIANT_H
#define DGRIPDATAVARIANT_H

#include <QVariant>

#include "DGripData.h"

// Grip data holding one value, such as the index of a point or an edge.
class DGripDataVariant : public DGripData
{
public:
    explicit DGripDataVariant(const QVariant& value) : m_value(value) {}

    const QVariant& value() const { return m_value; }
    void setValue(const QVariant& value) { m_value = value; }

private:
    QVariant m_value;
};

#endif // DGRIPDATAVARIANT_H
