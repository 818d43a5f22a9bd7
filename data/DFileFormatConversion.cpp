#include "DFileFormatConversion.h"

namespace DFileFormat {

QVector3D toQVector3D(const Vector3D& v)
{
    return QVector3D(float(v.x()), float(v.y()), float(v.z()));
}

QVector3D toQVector3D(const Vector2D& v)
{
    return QVector3D(float(v.x()), float(v.y()), 0.0f);
}

Vector3D toVector3D(const QVector3D& v)
{
    Vector3D result;
    result.set_x(v.x());
    result.set_y(v.y());
    result.set_z(v.z());
    return result;
}

Vector3D toVector3D(const QVector2D& v)
{
    Vector3D result;
    result.set_x(v.x());
    result.set_y(v.y());
    result.set_z(0.0);
    return result;
}

Vector2D toVector2D(const QVector2D& v)
{
    Vector2D result;
    result.set_x(v.x());
    result.set_y(v.y());
    return result;
}

Vector2D safe3DtoVector2D(const QVector3D& v)
{
    return toVector2D(v.toVector2D());
}

QVector2D safe3DtoQVector2D(const QVector3D& v)
{
    return v.toVector2D();
}

QPointF safe3DtoQPointF(const Vector3D& v)
{
    return QPointF(v.x(), v.y());
}

QPointF toQPointF(const Vector2D& v)
{
    return QPointF(v.x(), v.y());
}

QSizeF toQSizeF(const Vector2D& v)
{
    return QSizeF(v.x(), v.y());
}

QColor toQColor(int argb)
{
    // The messages hold the packed value unsigned; only its 32 bits matter.
    return QColor::fromRgba(QRgb(quint32(argb)));
}

quint32 toColor(const QColor& color)
{
    return quint32(color.rgba());
}

Vector2D& operator+=(Vector2D& a, const Vector2D& b)
{
    a.set_x(a.x() + b.x());
    a.set_y(a.y() + b.y());
    return a;
}

Vector2D& operator-=(Vector2D& a, const Vector2D& b)
{
    a.set_x(a.x() - b.x());
    a.set_y(a.y() - b.y());
    return a;
}

Vector2D& operator/=(Vector2D& a, double d)
{
    a.set_x(a.x() / d);
    a.set_y(a.y() / d);
    return a;
}

QFont toQFont(const Font& font)
{
    QFont result;
    if (!font.family().empty())
        result.setFamily(QString::fromUtf8(font.family().c_str(), int(font.family().size())));
    if (font.size() > 0)
        result.setPointSize(font.size());
    const int style = font.style();
    result.setWeight(style & Font::Bold ? QFont::Bold : QFont::Normal);
    result.setStyle(style & Font::Italic ? QFont::StyleItalic : QFont::StyleNormal);
    result.setUnderline(style & Font::Underline);
    result.setStrikeOut(style & Font::Strikeout);
    result.setKerning(style & Font::Kerning);
    result.setStyleStrategy(style & Font::Antialias ? QFont::PreferAntialias : QFont::NoAntialias);
    return result;
}

Font toFont(const QFont& font)
{
    Font result;
    const QByteArray family = font.family().toUtf8();
    result.set_family(family.constData(), size_t(family.size()));
    result.set_size(font.pointSize());
    int style = 0;
    if (font.weight() > QFont::Normal)
        style |= Font::Bold;
    if (font.style() != QFont::StyleNormal)
        style |= Font::Italic;
    if (font.underline())
        style |= Font::Underline;
    if (font.strikeOut())
        style |= Font::Strikeout;
    if (font.kerning())
        style |= Font::Kerning;
    // A font that asks for nothing special (PreferDefault) is antialiased.
    if (font.styleStrategy() & (QFont::PreferDefault | QFont::PreferAntialias))
        style |= Font::Antialias;
    result.set_style(style);
    return result;
}

namespace {

void assignColumn(Vector4D* column, const QVector4D& values)
{
    column->set_x(values.x());
    column->set_y(values.y());
    column->set_z(values.z());
    column->set_w(values.w());
}

QVector4D toQVector4D(const Vector4D& column)
{
    return QVector4D(float(column.x()), float(column.y()), float(column.z()), float(column.w()));
}

} // namespace

void assign(Matrix4x4& message, const QMatrix4x4& matrix)
{
    assignColumn(message.mutable_col1(), matrix.column(0));
    assignColumn(message.mutable_col2(), matrix.column(1));
    assignColumn(message.mutable_col3(), matrix.column(2));
    assignColumn(message.mutable_col4(), matrix.column(3));
}

void assign(QMatrix4x4& matrix, const Matrix4x4& message)
{
    matrix.setColumn(0, toQVector4D(message.col1()));
    matrix.setColumn(1, toQVector4D(message.col2()));
    matrix.setColumn(2, toQVector4D(message.col3()));
    matrix.setColumn(3, toQVector4D(message.col4()));
    // setColumn already marks the matrix general; optimize() finds the
    // identity, translation and scale forms again.
    matrix.optimize();
}

} // namespace DFileFormat
