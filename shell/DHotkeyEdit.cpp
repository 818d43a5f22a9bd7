#include "DHotkeyEdit.h"

#include <QKeyEvent>
#include <QMessageBox>

#include "DUtility.h"

namespace {

bool isBareModifier(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return false;
    }
}

} // namespace

DHotkeyEdit::DHotkeyEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_captureMode(DD::Region)
{
}

bool DHotkeyEdit::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
        // While the field has the focus every key belongs to it: no
        // application shortcut fires, and releases do nothing.
        event->accept();
        return true;
    default:
        return QLineEdit::event(event);
    }
}

void DHotkeyEdit::keyPressEvent(QKeyEvent* event)
{
    handleKeyEvent(event);
    event->accept();
}

void DHotkeyEdit::handleKeyEvent(QKeyEvent* event)
{
    const int key = event->key();
    // A key the keyboard layout cannot name would be recorded as garbage.
    if (key == 0 || key == Qt::Key_unknown || isBareModifier(key))
        return;
    const int modifiers = translateModifiers(event->modifiers(), event->text());
    setHotkey(DHotkey(QKeySequence(key | modifiers)));
}

int DHotkeyEdit::translateModifiers(Qt::KeyboardModifiers state, const QString& text) const
{
    int result = 0;
    // Shift is part of the hotkey unless it only picked a printable symbol
    // (Shift+1 gives "!", which is recorded as that key).
    if (state & Qt::ShiftModifier) {
        const bool symbol = !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isLetter()
                            && !text.at(0).isSpace();
        if (!symbol)
            result |= Qt::SHIFT;
    }
    if (state & Qt::ControlModifier)
        result |= Qt::CTRL;
    if (state & Qt::MetaModifier)
        result |= Qt::META;
    if (state & Qt::AltModifier)
        result |= Qt::ALT;
    return result;
}

void DHotkeyEdit::setHotkey(const DHotkey& hotkey)
{
    if (hotkey == m_hotkey)
        return;
    m_hotkey = hotkey;
    QString errorText;
    if (DUtility::setHotkey(captureMode(), m_hotkey, errorText)) {
        setText(m_hotkey.toString());
        return;
    }
    setText(errorText);
    // A field on screen shows the reason itself; the hidden hotkey page cannot.
    if (!isVisible())
        QMessageBox::warning(this, tr("Setting Hotkey"), errorText, QMessageBox::Ok);
}
