#include "DCursorGraphics.h"

DCursorGraphics::DCursorGraphics()
    : m_alignment(Qt::AlignCenter)
{
}

DCursorGraphics::~DCursorGraphics()
{
}
