#ifndef DFILEFORMATCONVERSION_H
#define DFILEFORMATCONVERSION_H

#include <QColor>
#include <QFont>
#include <QMatrix4x4>
#include <QPointF>
#include <QSizeF>
#include <QVector2D>
#include <QVector3D>

#include "data.pb.h"

// Conversions between the item-state messages and Qt value types. Qt vectors
// hold floats and the messages doubles: every conversion into a Qt vector
// narrows, every conversion into a message widens back. A conversion into a
// message sets every field it fills.
namespace DFileFormat {

QVector3D toQVector3D(const Vector3D& v);
QVector3D toQVector3D(const Vector2D& v);
Vector3D toVector3D(const QVector3D& v);
Vector3D toVector3D(const QVector2D& v);
Vector2D toVector2D(const QVector2D& v);
Vector2D safe3DtoVector2D(const QVector3D& v);
QVector2D safe3DtoQVector2D(const QVector3D& v);
QPointF safe3DtoQPointF(const Vector3D& v);
QPointF toQPointF(const Vector2D& v);
QSizeF toQSizeF(const Vector2D& v);

// Colours are packed 32-bit ARGB, the form of QColor::rgba().
QColor toQColor(int argb);
quint32 toColor(const QColor& color);

Vector2D& operator+=(Vector2D& a, const Vector2D& b);
Vector2D& operator-=(Vector2D& a, const Vector2D& b);
Vector2D& operator/=(Vector2D& a, double d);

QFont toQFont(const Font& font);
Font toFont(const QFont& font);

void assign(Matrix4x4& message, const QMatrix4x4& matrix);
void assign(QMatrix4x4& matrix, const Matrix4x4& message);

} // namespace DFileFormat

#endif // DFILEFORMATCONVERSION_H
