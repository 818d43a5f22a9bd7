#ifndef DCOMPOUNDTEXT_H
#define DCOMPOUNDTEXT_H

#include <QByteArray>
#include <QString>

// Text in the X Consortium's Compound Text encoding (properties of type
// COMPOUND_TEXT, such as the WM_NAME of clients that set no _NET_WM_NAME): an
// ISO 2022 stream that starts as ASCII with the right half of Latin-1, switches
// character sets by escape sequences (the ISO 8859 right halves, the Chinese,
// Japanese and Korean double-byte sets, JIS X 0201) and carries other
// encodings in extended segments, UTF-8 among them.
class DCompoundText
{
public:
    // The text of `bytes`. What cannot be decoded (an unknown character set, a
    // truncated sequence) becomes U+FFFD; never fails.
    static QString decode(const QByteArray& bytes);
};

#endif // DCOMPOUNDTEXT_H
