#include "DCompoundText.h"

#include <QTextCodec>

namespace {

const char Escape = 0x1B;
const uchar ControlSequenceIntroducer = 0x9B;
const QChar Replacement(0xFFFD);

// A character set designated to one half (GL: bytes 0x21-0x7E, GR: 0xA1-0xFE).
struct Charset
{
    enum Kind {
        Ascii,        // 94 characters, ISO 646 US
        JisRoman,     // 94 characters, JIS X 0201 left half
        Katakana,     // 94 characters, JIS X 0201 right half
        SingleByte,   // 96 characters: the right half of an 8-bit codec
        DoubleByte,   // 94 x 94 characters in EUC form of a codec
        Unknown       // a set this decoder does not know: `width` bytes a character
    };
    Kind kind = Ascii;
    QTextCodec* codec = nullptr;
    int width = 1;
    // Bytes that DoubleByte codecs need in front of each character (JIS X 0212 in EUC-JP).
    QByteArray prefix;
};

// ISO 8859 parts and TIS-620 by the final byte of their 96-set designation.
QTextCodec* codecOf96Set(char final)
{
    static const struct {
        char final;
        const char* codec;
    } sets[] = {
        {'A', "ISO-8859-1"}, {'B', "ISO-8859-2"}, {'C', "ISO-8859-3"}, {'D', "ISO-8859-4"},
        {'F', "ISO-8859-7"}, {'G', "ISO-8859-6"}, {'H', "ISO-8859-8"}, {'L', "ISO-8859-5"},
        {'M', "ISO-8859-9"}, {'T', "TIS-620"},    {'V', "ISO-8859-10"}, {'Y', "ISO-8859-13"},
        {'_', "ISO-8859-14"}, {'b', "ISO-8859-15"}, {'f', "ISO-8859-16"},
    };
    for (const auto& set : sets) {
        if (set.final == final)
            return QTextCodec::codecForName(set.codec);
    }
    return nullptr;
}

Charset charset94(char final)
{
    Charset set;
    switch (final) {
    case 'B':
        set.kind = Charset::Ascii;
        break;
    case 'J':
        set.kind = Charset::JisRoman;
        break;
    case 'I':
        set.kind = Charset::Katakana;
        break;
    default:
        set.kind = Charset::Unknown;
        break;
    }
    return set;
}

Charset charset96(char final)
{
    Charset set;
    set.codec = codecOf96Set(final);
    set.kind = set.codec ? Charset::SingleByte : Charset::Unknown;
    return set;
}

Charset charset94x94(char final)
{
    Charset set;
    set.width = 2;
    set.kind = Charset::DoubleByte;
    switch (final) {
    case 'A': // GB 2312
        set.codec = QTextCodec::codecForName("GB2312");
        break;
    case '@': // JIS C 6226-1978, a near predecessor of JIS X 0208
    case 'B': // JIS X 0208
        set.codec = QTextCodec::codecForName("EUC-JP");
        break;
    case 'D': // JIS X 0212
        set.codec = QTextCodec::codecForName("EUC-JP");
        set.prefix = QByteArray(1, char(0x8F));
        break;
    case 'C': // KS C 5601
        set.codec = QTextCodec::codecForName("EUC-KR");
        break;
    default:
        break;
    }
    if (!set.codec)
        set.kind = Charset::Unknown;
    return set;
}

// The codec that an extended segment names ("big5-0", "iso8859-14", "koi8-r").
QTextCodec* codecOfSegment(QByteArray name)
{
    name = name.toLower();
    if (QTextCodec* codec = QTextCodec::codecForName(name))
        return codec;
    if (name.endsWith("-0")) {
        name.chop(2);
        if (QTextCodec* codec = QTextCodec::codecForName(name))
            return codec;
    }
    if (name.startsWith("iso8859-"))
        return QTextCodec::codecForName("ISO-8859-" + name.mid(8));
    return nullptr;
}

class Decoder
{
public:
    explicit Decoder(const QByteArray& bytes)
        : m_bytes(bytes)
    {
        m_gr.kind = Charset::SingleByte;
        m_gr.codec = QTextCodec::codecForName("ISO-8859-1");
    }

    QString run()
    {
        while (m_pos < m_bytes.size()) {
            const uchar byte = uchar(m_bytes.at(m_pos));
            if (byte == uchar(Escape)) {
                escape();
            } else if (byte == ControlSequenceIntroducer) {
                skipControlSequence();
            } else if (byte == '\t' || byte == '\n' || byte == ' ') {
                m_text += QLatin1Char(char(byte));
                ++m_pos;
            } else if ((byte > 0x20 && byte < 0x7F) || byte >= 0xA0) {
                characters(byte >= 0xA0);
            } else {
                ++m_pos; // other controls, DEL
            }
        }
        return m_text;
    }

private:
    // A run of bytes of one half, decoded in the set designated to it.
    void characters(bool right)
    {
        const Charset& set = right ? m_gr : m_gl;
        const int start = m_pos;
        while (m_pos < m_bytes.size()) {
            const uchar byte = uchar(m_bytes.at(m_pos));
            const bool inHalf = right ? byte >= 0xA0 : (byte > 0x20 && byte < 0x7F);
            if (!inHalf)
                break;
            ++m_pos;
        }
        const QByteArray run = m_bytes.mid(start, m_pos - start);
        switch (set.kind) {
        case Charset::Ascii:
            m_text += QString::fromLatin1(stripHighBits(run));
            break;
        case Charset::JisRoman:
            for (const char c : stripHighBits(run))
                m_text += c == 0x5C ? QChar(0x00A5) : c == 0x7E ? QChar(0x203E) : QChar(QLatin1Char(c));
            break;
        case Charset::Katakana:
            for (const char c : run) {
                const int code = (uchar(c) & 0x7F) - 0x21;
                m_text += code >= 0 && code < 63 ? QChar(0xFF61 + code) : Replacement;
            }
            break;
        case Charset::SingleByte:
            m_text += set.codec->toUnicode(setHighBits(run));
            break;
        case Charset::DoubleByte:
            doubleBytes(set, setHighBits(run));
            break;
        case Charset::Unknown:
            m_text += QString((run.size() + set.width - 1) / set.width, Replacement);
            break;
        }
    }

    void doubleBytes(const Charset& set, const QByteArray& euc)
    {
        QByteArray prefixed;
        for (int i = 0; i + 1 < euc.size(); i += 2)
            prefixed += set.prefix + euc.mid(i, 2);
        m_text += set.codec->toUnicode(prefixed);
        if (euc.size() % 2)
            m_text += Replacement;
    }

    static QByteArray stripHighBits(QByteArray run)
    {
        for (char& c : run)
            c = char(uchar(c) & 0x7F);
        return run;
    }
    static QByteArray setHighBits(QByteArray run)
    {
        for (char& c : run)
            c = char(uchar(c) | 0x80);
        return run;
    }

    // ESC, its intermediate bytes (0x20-0x2F) and its final byte (0x30-0x7E).
    void escape()
    {
        const int start = ++m_pos;
        while (m_pos < m_bytes.size() && uchar(m_bytes.at(m_pos)) >= 0x20 && uchar(m_bytes.at(m_pos)) <= 0x2F)
            ++m_pos;
        if (m_pos >= m_bytes.size())
            return;
        const QByteArray intermediates = m_bytes.mid(start, m_pos - start);
        const char final = m_bytes.at(m_pos++);
        if (final < 0x30 || final > 0x7E)
            return;
        if (intermediates == "(")
            m_gl = charset94(final);
        else if (intermediates == ")")
            m_gr = charset94(final);
        else if (intermediates == "-")
            m_gr = charset96(final);
        else if (intermediates == "$(" || (intermediates == "$" && final >= '@' && final <= 'B'))
            m_gl = charset94x94(final);
        else if (intermediates == "$)")
            m_gr = charset94x94(final);
        else if (intermediates == "%/")
            extendedSegment();
        else if (intermediates == "%" && final == 'G')
            utf8();
    }

    // ESC % / F M L: M and L give the length of what follows (a name, STX,
    // then the bytes in the named encoding).
    void extendedSegment()
    {
        if (m_pos + 2 > m_bytes.size()) {
            m_pos = m_bytes.size();
            return;
        }
        const int length = (uchar(m_bytes.at(m_pos)) & 0x7F) * 128 + (uchar(m_bytes.at(m_pos + 1)) & 0x7F);
        m_pos += 2;
        const QByteArray segment = m_bytes.mid(m_pos, length);
        m_pos += segment.size();
        const int separator = segment.indexOf('\x02');
        QTextCodec* codec = separator > 0 ? codecOfSegment(segment.left(separator)) : nullptr;
        if (codec)
            m_text += codec->toUnicode(segment.mid(separator + 1));
        else if (!segment.isEmpty())
            m_text += Replacement;
    }

    // ESC % G: UTF-8 up to ESC % @, or to the end.
    void utf8()
    {
        const int end = m_bytes.indexOf(QByteArray("\x1b%@"), m_pos);
        const int stop = end < 0 ? m_bytes.size() : end;
        m_text += QString::fromUtf8(m_bytes.mid(m_pos, stop - m_pos));
        m_pos = end < 0 ? stop : stop + 3;
    }

    // CSI, parameter bytes (0x30-0x3F), intermediates (0x20-0x2F), final
    // (0x40-0x7E): writing direction, which a title has no use for.
    void skipControlSequence()
    {
        ++m_pos;
        while (m_pos < m_bytes.size() && uchar(m_bytes.at(m_pos)) >= 0x20 && uchar(m_bytes.at(m_pos)) <= 0x3F)
            ++m_pos;
        if (m_pos < m_bytes.size())
            ++m_pos;
    }

    const QByteArray& m_bytes;
    int m_pos = 0;
    QString m_text;
    Charset m_gl;
    Charset m_gr;
};

} // namespace

QString DCompoundText::decode(const QByteArray& bytes)
{
    return Decoder(bytes).run();
}
