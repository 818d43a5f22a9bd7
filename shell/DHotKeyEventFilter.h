#ifndef DHOTKEYEVENTFILTER_H
#define DHOTKEYEVENTFILTER_H

#include <QAbstractNativeEventFilter>

// Sees the desktop's native events before Qt does, where a bound global hotkey
// would arrive. Hotkeys are not bound on this platform, so every event goes on
// to Qt unchanged.
bool HotKeyEventFilter(void* message);

class DHotKeyEventFilter : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;
};

#endif // DHOTKEYEVENTFILTER_H
