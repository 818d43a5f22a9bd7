#ifndef DHOTKEY_H
#define DHOTKEY_H

#include <QKeySequence>
#include <QMetaType>
#include <QString>

// A hotkey: a key sequence (key and modifiers) with its text form.
class DHotkey
{
public:
    DHotkey() {}
    DHotkey(const QKeySequence& keySequence) : m_keySequence(keySequence) {}

    QKeySequence keySequence() const { return m_keySequence; }
    void setKeySequence(const QKeySequence& keySequence) { m_keySequence = keySequence; }
    bool isEmpty() const { return m_keySequence.isEmpty(); }

    // The sequence's text in the platform's native format.
    QString toString() const;

    bool operator==(const DHotkey& other) const { return m_keySequence == other.m_keySequence; }
    bool operator!=(const DHotkey& other) const { return !(*this == other); }

private:
    QKeySequence m_keySequence;
};

Q_DECLARE_METATYPE(DHotkey)

#endif // DHOTKEY_H
