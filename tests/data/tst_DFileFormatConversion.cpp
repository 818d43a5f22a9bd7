#include <QtTest>

#include "DFileFormatConversion.h"

using namespace DFileFormat;

class tst_DFileFormatConversion : public QObject
{
    Q_OBJECT

private slots:
    void vectorsNarrowToFloatAndWidenBack();
    void twoDimensionalVectorsGetZeroZ();
    void safeConversionsDropZ();
    void pointsAndSizes();
    void absentFieldsReadAsZero();
    void colours_data();
    void colours();
    void vectorArithmetic();
    void fontFromMessage_data();
    void fontFromMessage();
    void fontFamilyIsUtf8();
    void fontToMessage_data();
    void fontToMessage();
    void defaultFontRoundTrip();
    void identityMatrixRoundTrip();
    void generalMatrixRoundTrip();
    void absentMatrixColumnsReadAsZero();
};

void tst_DFileFormatConversion::vectorsNarrowToFloatAndWidenBack()
{
    Vector3D message;
    message.set_x(0.1);
    message.set_y(0.2);
    message.set_z(0.3);
    const QVector3D v = toQVector3D(message);
    QCOMPARE(v.x(), 0.1f);
    QCOMPARE(v.y(), 0.2f);
    QCOMPARE(v.z(), 0.3f);

    const Vector3D back = toVector3D(v);
    QVERIFY(back.has_x() && back.has_y() && back.has_z());
    // The floats widened, not the doubles first given.
    QCOMPARE(back.x(), double(0.1f));
    QVERIFY(back.x() != 0.1);
    QCOMPARE(back.z(), double(0.3f));
}

void tst_DFileFormatConversion::twoDimensionalVectorsGetZeroZ()
{
    const Vector3D message = toVector3D(QVector2D(1, 2));
    QCOMPARE(message.x(), 1.0);
    QCOMPARE(message.y(), 2.0);
    QVERIFY(message.has_z());
    QCOMPARE(message.z(), 0.0);

    Vector2D flat;
    flat.set_x(4);
    flat.set_y(-5);
    QCOMPARE(toQVector3D(flat), QVector3D(4, -5, 0));

    const Vector2D v = toVector2D(QVector2D(7, 8));
    QVERIFY(v.has_x() && v.has_y());
    QCOMPARE(v.x(), 7.0);
    QCOMPARE(v.y(), 8.0);
}

void tst_DFileFormatConversion::safeConversionsDropZ()
{
    const Vector2D v = safe3DtoVector2D(QVector3D(1, 2, 3));
    QCOMPARE(v.x(), 1.0);
    QCOMPARE(v.y(), 2.0);
    QVERIFY(v.has_x() && v.has_y());
    QCOMPARE(safe3DtoQVector2D(QVector3D(1, 2, 3)), QVector2D(1, 2));

    Vector3D message;
    message.set_x(1.5);
    message.set_y(-2.25);
    message.set_z(9);
    QCOMPARE(safe3DtoQPointF(message), QPointF(1.5, -2.25));
}

void tst_DFileFormatConversion::pointsAndSizes()
{
    Vector2D v;
    v.set_x(0.1);
    v.set_y(20.5);
    // Double precision all the way: no narrowing to float.
    QCOMPARE(toQPointF(v), QPointF(0.1, 20.5));
    QCOMPARE(toQPointF(v).x(), 0.1);
    QCOMPARE(toQSizeF(v), QSizeF(0.1, 20.5));
}

void tst_DFileFormatConversion::absentFieldsReadAsZero()
{
    const GraphicsItemLine line;
    QCOMPARE(toQVector3D(line.start()), QVector3D(0, 0, 0));
    QCOMPARE(toQPointF(GraphicsItemRectangle().origin()), QPointF(0, 0));
}

void tst_DFileFormatConversion::colours_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<quint32>("packed");
    QTest::newRow("opaque red") << QColor(255, 0, 0) << 0xFFFF0000u;
    QTest::newRow("half-transparent black") << QColor(0, 0, 0, 128) << 0x80000000u;
    QTest::newRow("opaque black") << QColor(Qt::black) << 0xFF000000u;
    QTest::newRow("transparent") << QColor(0x12, 0x34, 0x56, 0) << 0x00123456u;
    QTest::newRow("mixed") << QColor(0x12, 0x34, 0x56, 0x78) << 0x78123456u;
}

void tst_DFileFormatConversion::colours()
{
    QFETCH(QColor, color);
    QFETCH(quint32, packed);
    QCOMPARE(toColor(color), packed);
    QCOMPARE(toQColor(packed).rgba(), color.rgba());
    QCOMPARE(toQColor(packed).alpha(), color.alpha());
    // The same colour held as HSV packs the same.
    QCOMPARE(toColor(color.toHsv()), packed);
}

void tst_DFileFormatConversion::vectorArithmetic()
{
    Vector2D a;
    a.set_x(10);
    a.set_y(4);
    Vector2D b;
    b.set_x(2.5);
    b.set_y(-1);
    a += b;
    QCOMPARE(a.x(), 12.5);
    QCOMPARE(a.y(), 3.0);
    a -= b;
    QCOMPARE(a.x(), 10.0);
    QCOMPARE(a.y(), 4.0);
    a /= 2;
    QCOMPARE(a.x(), 5.0);
    QCOMPARE(a.y(), 2.0);

    Vector2D empty;
    empty += Vector2D();
    QVERIFY(empty.has_x() && empty.has_y());
    // No test for zero: division by zero gives infinities.
    Vector2D one;
    one.set_x(1);
    one /= 0.0;
    QVERIFY(qIsInf(one.x()));
}

void tst_DFileFormatConversion::fontFromMessage_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strikeOut");
    QTest::addColumn<bool>("kerning");
    QTest::addColumn<int>("strategy");
    QTest::newRow("nothing") << 0 << 50 << false << false << false << false << 256;
    QTest::newRow("bold italic") << 3 << 75 << true << false << false << false << 256;
    QTest::newRow("underline strike-out") << 12 << 50 << false << true << true << false << 256;
    QTest::newRow("kerning") << 16 << 50 << false << false << false << true << 256;
    QTest::newRow("antialias") << 32 << 50 << false << false << false << false << 128;
    QTest::newRow("everything") << 63 << 75 << true << true << true << true << 128;
}

void tst_DFileFormatConversion::fontFromMessage()
{
    QFETCH(int, style);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(bool, strikeOut);
    QFETCH(bool, kerning);
    QFETCH(int, strategy);
    Font message;
    message.set_style(style);
    message.set_size(0);
    const QFont font = toQFont(message);
    QCOMPARE(font.weight(), weight);
    QCOMPARE(font.italic(), italic);
    QCOMPARE(font.underline(), underline);
    QCOMPARE(font.strikeOut(), strikeOut);
    QCOMPARE(font.kerning(), kerning);
    QCOMPARE(int(font.styleStrategy()), strategy);
    // Size 0 keeps the default size.
    QCOMPARE(font.pointSize(), QFont().pointSize());
}

void tst_DFileFormatConversion::fontFamilyIsUtf8()
{
    Font message;
    message.set_family("Dej\xc3\xa0 Sans");
    message.set_size(14);
    const QFont font = toQFont(message);
    QCOMPARE(font.family(), QString::fromUtf8("Dej\xc3\xa0 Sans"));
    QCOMPARE(font.pointSize(), 14);
    QCOMPARE(toFont(font).family(), std::string("Dej\xc3\xa0 Sans"));

    // An empty family keeps the default one.
    QCOMPARE(toQFont(Font()).family(), QFont().family());
}

void tst_DFileFormatConversion::fontToMessage_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("style");

    QFont boldUnderlined;
    boldUnderlined.setBold(true);
    boldUnderlined.setUnderline(true);
    // Kerning is on by default in this toolkit: 1 + 4 + 16 + 32.
    QTest::newRow("bold underlined, default strategy") << boldUnderlined << 53;
    boldUnderlined.setKerning(false);
    QTest::newRow("bold underlined without kerning") << boldUnderlined << 37;

    QFont oblique;
    oblique.setKerning(false);
    oblique.setStyle(QFont::StyleOblique);
    oblique.setStyleStrategy(QFont::NoAntialias);
    QTest::newRow("oblique counts as italic") << oblique << 2;

    QFont semiBold;
    semiBold.setKerning(false);
    semiBold.setWeight(QFont::DemiBold);
    semiBold.setStrikeOut(true);
    semiBold.setStyleStrategy(QFont::PreferAntialias);
    QTest::newRow("above normal weight is bold") << semiBold << 1 + 8 + 32;

    QFont light;
    light.setKerning(false);
    light.setWeight(QFont::Light);
    light.setStyleStrategy(QFont::PreferOutline);
    QTest::newRow("other strategies are not antialias") << light << 0;
}

void tst_DFileFormatConversion::fontToMessage()
{
    QFETCH(QFont, font);
    QFETCH(int, style);
    const Font message = toFont(font);
    QCOMPARE(message.style(), style);
    QVERIFY(message.has_family() && message.has_size() && message.has_style());
}

void tst_DFileFormatConversion::defaultFontRoundTrip()
{
    QFont font;
    font.setPointSize(11);
    const Font message = toFont(font);
    QCOMPARE(message.size(), 11);
    QVERIFY(message.style() & Font::Antialias);
    const QFont back = toQFont(message);
    QCOMPARE(back.pointSize(), 11);
    QCOMPARE(back.family(), font.family());
    QCOMPARE(back.kerning(), font.kerning());
    QCOMPARE(back.bold(), false);

    // A font sized in pixels reports no point size; converting back keeps
    // the default size.
    QFont pixels;
    pixels.setPixelSize(20);
    QCOMPARE(toFont(pixels).size(), -1);
    QCOMPARE(toQFont(toFont(pixels)).pointSize(), QFont().pointSize());
}

void tst_DFileFormatConversion::identityMatrixRoundTrip()
{
    Matrix4x4 message;
    assign(message, QMatrix4x4());
    const Vector4D* columns[] = {&message.col1(), &message.col2(), &message.col3(), &message.col4()};
    for (int k = 0; k < 4; ++k) {
        QVERIFY(columns[k]->has_x() && columns[k]->has_y() && columns[k]->has_z() && columns[k]->has_w());
        QCOMPARE(columns[k]->x(), k == 0 ? 1.0 : 0.0);
        QCOMPARE(columns[k]->y(), k == 1 ? 1.0 : 0.0);
        QCOMPARE(columns[k]->z(), k == 2 ? 1.0 : 0.0);
        QCOMPARE(columns[k]->w(), k == 3 ? 1.0 : 0.0);
    }
    QMatrix4x4 back;
    back.translate(5, 5); // whatever it held before is replaced
    assign(back, message);
    QVERIFY(back.isIdentity());
}

void tst_DFileFormatConversion::generalMatrixRoundTrip()
{
    QMatrix4x4 matrix;
    matrix.translate(10, -20, 3);
    matrix.rotate(30, 0, 0, 1);
    matrix.scale(2, 0.5, 1);
    Matrix4x4 message;
    assign(message, matrix);
    // Column k holds the matrix's column k - 1, row by row.
    QCOMPARE(message.col4().x(), double(matrix(0, 3)));
    QCOMPARE(message.col4().y(), double(matrix(1, 3)));
    QCOMPARE(message.col1().y(), double(matrix(1, 0)));
    QCOMPARE(message.col2().x(), double(matrix(0, 1)));

    QMatrix4x4 back;
    assign(back, message);
    QVERIFY(!back.isIdentity());
    QVERIFY(qFuzzyCompare(back, matrix));
    const QPointF p = back.map(QPointF(1, 1));
    const QPointF q = matrix.map(QPointF(1, 1));
    QVERIFY(qAbs(p.x() - q.x()) < 1e-4 && qAbs(p.y() - q.y()) < 1e-4);

    // A pure translation is recognised again after the round trip.
    QMatrix4x4 translation;
    translation.translate(4, 5, 6);
    assign(message, translation);
    QMatrix4x4 translationBack;
    assign(translationBack, message);
    QVERIFY(qFuzzyCompare(translationBack, translation));
    QCOMPARE(translationBack.map(QPointF(0, 0)), QPointF(4, 5));
}

void tst_DFileFormatConversion::absentMatrixColumnsReadAsZero()
{
    QMatrix4x4 matrix;
    assign(matrix, Matrix4x4());
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            QCOMPARE(matrix(row, column), 0.0f);
}

QTEST_MAIN(tst_DFileFormatConversion)
#include "tst_DFileFormatConversion.moc"
