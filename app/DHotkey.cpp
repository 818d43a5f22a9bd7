#include "DHotkey.h"

QString DHotkey::toString() const
{
    return m_keySequence.toString(QKeySequence::NativeText);
}
