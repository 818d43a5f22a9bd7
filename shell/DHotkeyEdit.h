#ifndef DHOTKEYEDIT_H
#define DHOTKEYEDIT_H

#include <QLineEdit>

#include "DD.h"
#include "DHotkey.h"

class QKeyEvent;

// A field that records a hotkey from a key press instead of taking typed text,
// and registers it for its capture mode.
class DHotkeyEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DHotkeyEdit(QWidget* parent = nullptr);

    // Records the hotkey and registers it for the field's capture mode; the
    // field then shows its text, or the reason the registration was refused.
    // The same hotkey again changes nothing.
    void setHotkey(const DHotkey& hotkey);
    DHotkey hotkey() const { return m_hotkey; }

    // Set once by the main window: Region, Window, Scrolling or FullScreen.
    void setCaptureMode(DD::enumCaptureMode mode) { m_captureMode = mode; }
    DD::enumCaptureMode captureMode() const { return DD::enumCaptureMode(m_captureMode); }

    // Turns a key press into a hotkey; a bare modifier key records nothing.
    void handleKeyEvent(QKeyEvent* event);
    // The modifier bits (Qt::SHIFT, CTRL, META, ALT) to combine with the key code.
    int translateModifiers(Qt::KeyboardModifiers state, const QString& text) const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DHotkey m_hotkey;
    int m_captureMode;
};

#endif // DHOTKEYEDIT_H
