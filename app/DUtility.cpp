#include "DUtility.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPainter>

#include <cmath>

#include <sys/stat.h>

#include "DLoginItems.h"

// ---------------------------------------------------------------------------
// File names

QString DUtility::TargetFormatToString(DD::enumTargetFormat format)
{
    switch (format) {
    case DD::PNG:
        return QStringLiteral("png");
    case DD::JPG:
        return QStringLiteral("jpg");
    case DD::BMP:
        return QStringLiteral("bmp");
    }
    return QString();
}

bool DUtility::removeFileNameInvalidChar(QString& name)
{
    // With the NUL, which ends a name for the system itself: what follows it
    // would be lost, and the name would be another one.
    static const QString invalid = QStringLiteral("*?:<>/|\\\"") + QChar(0);
    bool removed = false;
    for (const QChar c : invalid) {
        if (name.contains(c)) {
            name.remove(c);
            removed = true;
        }
    }
    // A leading dot hides the file from the user, and "../" with its slash
    // gone leaves exactly that.
    int dots = 0;
    while (dots < name.size() && name.at(dots) == QLatin1Char('.'))
        ++dots;
    if (dots > 0) {
        name.remove(0, dots);
        removed = true;
    }
    return removed;
}

QString DUtility::convertTimeVariables(const QString& pattern)
{
    // One instant for every letter, so a name never mixes two times.
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    auto digits = [](int value, int width) {
        return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
    };

    QString result = pattern;
    result.replace(QLatin1Char('Y'), digits(date.year(), 4));
    result.replace(QLatin1Char('M'), digits(date.month(), 2));
    result.replace(QLatin1Char('D'), digits(date.day(), 2));
    result.replace(QLatin1Char('h'), digits(time.hour(), 2));
    result.replace(QLatin1Char('m'), digits(time.minute(), 2));
    result.replace(QLatin1Char('s'), digits(time.second(), 2));
    return result;
}

namespace {

// The most bytes one directory entry's name may hold (NAME_MAX of the file
// systems in use).
const int MaxFileNameBytes = 255;

// The longest start of `name` made of whole characters whose file-system
// encoding takes at most `room` bytes.
QString leadingCharactersWithin(const QString& name, int room)
{
    int used = 0;
    int end = 0;
    while (end < name.size()) {
        const bool pair = name.at(end).isHighSurrogate() && end + 1 < name.size() && name.at(end + 1).isLowSurrogate();
        const int units = pair ? 2 : 1;
        used += QFile::encodeName(name.mid(end, units)).size();
        if (used > room)
            break;
        end += units;
    }
    return name.left(end);
}

} // namespace

QString DUtility::makeTargetFolder(const QString& folder, const QString& subFolder)
{
    QString directory = QDir::toNativeSeparators(folder);
    if (!subFolder.isEmpty())
        directory += QDir::separator() + subFolder;
    if (!directory.endsWith(QDir::separator()))
        directory += QDir::separator();
    if (!QDir(directory).exists())
        QDir().mkpath(directory);
    return directory;
}

QString DUtility::fileNameWithCounter(const QString& baseName, qint64 counter, const QString& extension)
{
    const QString tail = (counter > 0 ? QStringLiteral("[%1]").arg(counter) : QString()) + QLatin1Char('.') + extension;
    return leadingCharactersWithin(baseName, MaxFileNameBytes - QFile::encodeName(tail).size()) + tail;
}

bool DUtility::isPathTaken(const QString& path)
{
    // No entry's name holds a NUL; the system would look at the name cut
    // short there instead.
    if (path.contains(QChar(0)))
        return false;
    // lstat, not stat: a link is an entry of its own, wherever it leads.
    struct stat entry;
    return ::lstat(QFile::encodeName(path).constData(), &entry) == 0;
}

QString DUtility::makeFullPath(const QString& folder, const QString& subFolder,
                               const QString& baseName, const QString& extension)
{
    const QString directory = makeTargetFolder(folder, subFolder);
    for (qint64 n = 0;; ++n) {
        const QString candidate = directory + fileNameWithCounter(baseName, n, extension);
        if (!isPathTaken(candidate))
            return candidate;
    }
}

// ---------------------------------------------------------------------------
// Class tests

bool DUtility::isInherits(const QMetaObject* meta, const QString& className)
{
    for (const QMetaObject* m = meta; m; m = m->superClass()) {
        if (className == QLatin1String(m->className()))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Login items

void DUtility::setAutoRun(bool on)
{
    if (on)
        addAppAsLoginItem();
    else
        deleteAppFromLoginItem(false);
}

void DUtility::addAppAsLoginItem()
{
    DLoginItems::current().add();
}

bool DUtility::deleteAppFromLoginItem(bool checkOnly)
{
    DLoginItems& loginItems = DLoginItems::current();
    return checkOnly ? loginItems.contains() : loginItems.remove();
}

// ---------------------------------------------------------------------------
// Geometry

QVector2D DUtility::perpendicular(const QVector2D& v)
{
    return QVector2D(-v.y(), v.x());
}

QVector<QVector3D> DUtility::corners(const QRectF& r)
{
    // Not a walk round the rectangle: left before right, top before bottom.
    return {QVector3D(r.x(), r.y(), 0), QVector3D(r.x() + r.width(), r.y(), 0),
            QVector3D(r.x(), r.y() + r.height(), 0),
            QVector3D(r.x() + r.width(), r.y() + r.height(), 0)};
}

QVector<QVector3D> DUtility::midPoints(const QRectF& r)
{
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    return {QVector3D(x + w / 2, y, 0), QVector3D(x + w, y + h / 2, 0),
            QVector3D(x + w / 2, y + h, 0), QVector3D(x, y + h / 2, 0)};
}

QRect DUtility::pixelsCoveredBy(const QRectF& area)
{
    // An edge on the border between two pixels belongs to the pixel inside;
    // an area of no width or height still lies on one pixel. Item state is
    // single precision: a hair's breadth off a border counts as on it.
    const double hair = 1e-3;
    const auto first = [hair](double low) { return int(std::floor(low + 0.5 + hair)); };
    const auto last = [hair](double high, int from) { return qMax(from, int(std::ceil(high - 0.5 - hair))); };
    const int left = first(area.left());
    const int top = first(area.top());
    return QRect(QPoint(left, top), QPoint(last(area.right(), left), last(area.bottom(), top)));
}

QVector3D DUtility::perpendicularInECS(const QVector3D& v, const QMatrix4x4& outer,
                                       const QMatrix4x4& inner)
{
    const QVector3D w = inner.mapVector(v);
    const QVector2D p = perpendicular(w.toVector2D());
    return outer.mapVector(QVector3D(p, 0.0f));
}

QPolygonF DUtility::polygonFromLine(const QLineF& line, double width)
{
    const QPointF p1 = line.p1();
    const QPointF p2 = line.p2();
    if (p1 == p2)
        return QPolygonF(QRectF(p1.x() - 0.1, p1.y() - 0.1, 0.2, 0.2));

    const double length = line.length();
    const double ux = line.dx() / length;
    const double uy = line.dy() / length;
    const double half = width * 0.5 + 3.0;
    const QPointF o(uy * half, -ux * half);

    QPolygonF polygon;
    polygon << p1 + o << p1 - o << p2 - o << p2 + o << p1 + o;
    return polygon;
}

QPointF DUtility::calcBestPosition(const QRectF& bound, const QRectF& anchor, const QSizeF& size,
                                   double dx, double dy)
{
    const double x0 = qMin(bound.right(), qMax(bound.left(), anchor.right()));
    const double y0 = qMin(bound.bottom(), qMax(bound.top(), anchor.top()));
    const double w = size.width();
    const double h = size.height();

    const QPointF offsets[] = {
        QPointF(dx, dy),
        QPointF(-w - dx, -h - dy),
        QPointF(-w - dx, anchor.height() + dy),
        QPointF(-w - dx, dy),
        QPointF(dx, -h - dy),
    };
    for (const QPointF& offset : offsets) {
        const QRectF candidate(x0 + offset.x(), y0 + offset.y(), w, h);
        if (bound.contains(candidate))
            return candidate.topLeft();
    }
    return QPointF(x0 + dx, y0 + dy);
}

void DUtility::FixPainterAlias(QPainter* painter)
{
    const QPointF origin = painter->transform().map(QPointF(0, 0));
    auto shift = [](double c) {
        // Rounded as qRound does (a half up), but in double precision: an
        // item far off the page may map beyond the range of an int.
        const double r = std::floor(c + 0.5);
        return r > c ? r - c - 0.5 : r - c + 0.5;
    };
    painter->translate(shift(origin.x()), shift(origin.y()));
}
