// Compound Text as clients write it into WM_NAME: the Latin-1 start, ISO 2022
// designations of the ISO 8859 right halves and of the Chinese, Japanese and
// Korean sets, extended segments (UTF-8 among them), and damaged input.
#include <QtTest>

#include "DCompoundText.h"

class tst_DCompoundText : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        // Adjacent literals keep a hex escape from running into the next letter.
        QTest::newRow("ASCII") << QByteArray("Zorvel window 1") << QString("Zorvel window 1");
        QTest::newRow("Latin-1 right half from the start") << QByteArray("Stra\xdf" "e") << QString("Straße");
        // What the X library writes for "Straße ✓ Zürich" (measured).
        QTest::newRow("UTF-8 segment between Latin-1")
            << QByteArray("Stra\xdf" "e \x1b%G\xe2\x9c\x93\x1b%@ Z\xfc" "rich") << QString::fromUtf8("Straße ✓ Zürich");
        // What the X library writes for "Привет 日本語" (measured): ISO 8859-5, JIS X 0208 in GL, back to ASCII.
        QTest::newRow("Cyrillic and Japanese")
            << QByteArray("\x1b-L\xbf\xe0\xd8\xd2\xd5\xe2 \x1b$(BF|K\\8l\x1b(B!")
            << QString::fromUtf8("Привет 日本語!");
        QTest::newRow("Latin-2") << QByteArray("\x1b-B\xa3\xf3" "d\xbc") << QString::fromUtf8("Łódź");
        QTest::newRow("GB 2312 in GR") << QByteArray("\x1b$)A\xd6\xd0\xce\xc4") << QString::fromUtf8("中文");
        QTest::newRow("KS C 5601 in GR") << QByteArray("\x1b$)C\xc7\xd1\xb1\xb9") << QString::fromUtf8("한국");
        QTest::newRow("JIS X 0208, short designation") << QByteArray("\x1b$BF|\x1b(B") << QString::fromUtf8("日");
        QTest::newRow("JIS X 0212 in GL") << QByteArray("\x1b$(D0!") << QString::fromUtf8("丂");
        QTest::newRow("JIS X 0201 katakana in GR") << QByteArray("\x1b)I\xb1\xb2") << QString::fromUtf8("ｱｲ");
        QTest::newRow("JIS X 0201 roman") << QByteArray("\x1b(J\\~\x1b(B\\") << QString::fromUtf8("¥‾\\");
        QTest::newRow("extended segment, Big5")
            << QByteArray("a\x1b%/2\x80\x89" "big5-0\x02\xa4\xa4" "b") << QString::fromUtf8("a中b");
        QTest::newRow("extended segment, KOI8-R")
            << QByteArray("\x1b%/1\x80\x8a" "koi8-r\x02\xed\xc9\xd2") << QString::fromUtf8("Мир");
        QTest::newRow("writing direction ignored") << QByteArray("\x9b" "2]abc\x9b]") << QString("abc");
        QTest::newRow("tab and newline kept, other controls dropped")
            << QByteArray("a\tb\nc\x01\x7f\x85" "d") << QString("a\tb\ncd");
        // Damaged input never fails and never loses the readable part.
        QTest::newRow("escape cut off at the end") << QByteArray("ok\x1b$") << QString("ok");
        QTest::newRow("UTF-8 segment never closed") << QByteArray("\x1b%G\xe2\x9c\x93!") << QString::fromUtf8("✓!");
        QTest::newRow("half a double-byte character")
            << QByteArray("\x1b$)A\xd6\xd0\xce") << QString::fromUtf8("中\xef\xbf\xbd");
        QTest::newRow("unknown 96-set") << QByteArray("\x1b-~\xa1\xa2" "x") << QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbdx");
        QTest::newRow("unknown segment encoding")
            << QByteArray("\x1b%/1\x80\x86" "nope\x02z" "ok") << QString::fromUtf8("\xef\xbf\xbdok");
        QTest::newRow("segment longer than the text") << QByteArray("\x1b%/1\x81\x80" "koi8-r\x02\xed")
                                                      << QString::fromUtf8("М");
        QTest::newRow("segment length cut off") << QByteArray("x\x1b%/1\x80") << QString("x");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(DCompoundText::decode(bytes), text);
    }
};

QTEST_APPLESS_MAIN(tst_DCompoundText)
#include "tst_DCompoundText.moc"
