#include "DConstants.h"

const QVector3D DConstants::X_AXIS(1.0f, 0.0f, 0.0f);
const QVector3D DConstants::Y_AXIS(0.0f, 1.0f, 0.0f);
const QVector3D DConstants::Z_AXIS(0.0f, 0.0f, 1.0f);
