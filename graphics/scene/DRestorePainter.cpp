#include "DRestorePainter.h"

#include <QPainter>

DRestorePainter::DRestorePainter(QPainter& painter)
    : m_painter(&painter)
{
    m_painter->save();
}

DRestorePainter::~DRestorePainter()
{
    m_painter->restore();
}
