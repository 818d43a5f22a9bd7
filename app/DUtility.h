#ifndef DUTILITY_H
#define DUTILITY_H

#include <QLineF>
#include <QList>
#include <QMatrix4x4>
#include <QPointF>
#include <QPolygonF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>
#include <QVector2D>
#include <QVector3D>

#include "DD.h"

class DGraphicsItem;
class QIcon;
class QPainter;
struct QMetaObject;

// Static helpers shared by the library and the program. Members are defined
// in both deliverables: the library's first, then the program's.
class DUtility
{
public:
    // File names
    static QString TargetFormatToString(DD::enumTargetFormat format);
    // Removes the characters a file name may not hold, then any leading dots
    // (a hidden file); true if anything was removed.
    static bool removeFileNameInvalidChar(QString& name);
    static QString convertTimeVariables(const QString& pattern);
    // A path below the folder (and sub-folder) that no directory entry holds at
    // the moment: the name itself, else the name with the first free counter.
    static QString makeFullPath(const QString& folder, const QString& subFolder,
                                const QString& baseName, const QString& extension);
    // The folder makeFullPath names files in: folder and sub-folder joined,
    // ending in a separator; created with its parents when missing.
    static QString makeTargetFolder(const QString& folder, const QString& subFolder);
    // The name `baseName` gets with a counter: none for 0, "[counter]" after
    // it otherwise, then a dot and the extension. The base name is shortened,
    // by whole characters, as far as the whole needs to fit in the 255 bytes
    // of a directory entry.
    static QString fileNameWithCounter(const QString& baseName, qint64 counter, const QString& extension);
    // Whether a directory entry of any kind has this path; a link counts,
    // also one that leads nowhere.
    static bool isPathTaken(const QString& path);

    // Class tests
    static bool isInherits(const QMetaObject* meta, const QString& className);

    // Login items: "this executable" in the user's start-at-login entries.
    static void setAutoRun(bool on);
    static void addAppAsLoginItem();
    static bool deleteAppFromLoginItem(bool checkOnly);

    // Geometry
    static QVector2D perpendicular(const QVector2D& v);
    static QVector<QVector3D> corners(const QRectF& r);
    static QVector<QVector3D> midPoints(const QRectF& r);
    // The screen pixels that content spanning `area` (scene units, one to a
    // screen pixel) lies on, pixel (i, j) being the unit square centred on
    // (i, j): what an image of that content holds, on the screen's own grid.
    static QRect pixelsCoveredBy(const QRectF& area);
    static QVector3D perpendicularInECS(const QVector3D& v, const QMatrix4x4& outer,
                                        const QMatrix4x4& inner);
    // Defined in graphics/, next to DGraphicsItem.
    static QRectF calcSceneBoundary(const QList<DGraphicsItem*>& items);
    static QPolygonF polygonFromLine(const QLineF& line, double width);
    static QPointF calcBestPosition(const QRectF& bound, const QRectF& anchor, const QSizeF& size,
                                    double dx, double dy);
    static void FixPainterAlias(QPainter* painter);

    // Defined in the program
    // The icon of a region shape (the main window's Region and Polygon images);
    // a null icon for any other value.
    static QIcon iconOfRegionType(DD::enumRegionType type);

    // Capture output: the one way a finished capture leaves the program. Shows
    // nothing itself; true when the image was delivered. A caller that talks to
    // the user passes `report` to learn whether the save dialog was cancelled
    // and which file the image was meant for.
    struct SaveReport
    {
        bool cancelled = false;
        QString path;
    };
    static bool saveImage(class QWidget* parent, const class QImage& image, DD::enumTargetOutput output,
                          bool alwaysAsk, SaveReport* report = nullptr);
    // The file to write: asked for (NameMethod 0, or `alwaysAsk`) or built from
    // the automatic name settings; empty when there is none.
    static QString makeTargetFilePath(class QWidget* parent, bool alwaysAsk);
    // The automatic name, as makeTargetFilePath writes it below the save
    // folder (before the counter of a name already taken), and as the name
    // previews show it: each template cleaned of what a file name cannot hold,
    // its time letters filled in; a file name with nothing left is the default
    // one, a sub-folder with nothing left is none.
    struct AutomaticName
    {
        QString subFolder; // empty: none
        QString baseName;
        QString extension;
        // The sub-folder (when there is one), the name, a dot and the extension.
        QString relativePath() const;
    };
    static AutomaticName automaticName(const QString& fileNameFormat, const QString& subFolderFormat,
                                       bool createSubfolders, DD::enumTargetFormat format);
    // The same from the stored name settings.
    static AutomaticName automaticName();
    // A copy of the same pixel size without alpha, composed over white.
    static class QImage discardImageTransparency(const class QImage& image);
    // Grabbing a scrolling window is not supported here: always a null image.
    static class QImage grabScrollingWindow(const QRect& area);

    // Global hotkeys, bound per capture mode under its hotkey id (mode + 0xC000).
    // On this platform binding does nothing and always succeeds.
    static bool setHotkey(DD::enumCaptureMode mode, const class DHotkey& hotkey, QString& errorText);
    static void unsetHotkey(DD::enumCaptureMode mode);
    static int hotkeyIdFromCaptureMode(DD::enumCaptureMode mode);
    static DD::enumCaptureMode captureModeFromHotkeyId(int id);
    // The main window's native window id (a WId), as its constructor stored it.
    static quintptr getMainWindowWId();
};

#endif // DUTILITY_H
