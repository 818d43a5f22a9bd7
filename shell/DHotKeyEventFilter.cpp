#include "DHotKeyEventFilter.h"

bool HotKeyEventFilter(void*)
{
    return false;
}

bool DHotKeyEventFilter::nativeEventFilter(const QByteArray&, void* message, long*)
{
    return HotKeyEventFilter(message);
}
