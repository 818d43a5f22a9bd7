#include "DRestorePenBrush.h"

#include <QPainter>

DRestorePenBrush::DRestorePenBrush(QPainter& painter)
    : m_painter(&painter)
    , m_brush(painter.brush())
    , m_pen(painter.pen())
{
}

DRestorePenBrush::~DRestorePenBrush()
{
    m_painter->setPen(m_pen);
    m_painter->setBrush(m_brush);
}
