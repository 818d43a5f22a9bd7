#ifndef DUSERACTIONS_H
#define DUSERACTIONS_H

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <QTest>

// What a user does to the real program, from a test on the same display: the
// pointer and the keyboard through xdotool, a paste through xclip, and the
// file the program saved. Positions are the display's own pixels.

// Runs xdotool; whether it succeeded.
inline bool xdotool(const QStringList& arguments)
{
    return QProcess::execute("xdotool", arguments) == 0;
}

// The lines xdotool printed (window ids, for example).
inline QStringList xdotoolLines(const QStringList& arguments)
{
    QProcess tool;
    tool.start("xdotool", arguments);
    tool.waitForFinished(5000);
    return QString::fromLatin1(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// A drag of the left button from one pixel to another, through their middle.
inline bool dragPointer(const QPoint& from, const QPoint& to)
{
    const QPoint middle = (from + to) / 2;
    return xdotool({"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1",
                    "mousemove", QString::number(middle.x()), QString::number(middle.y()), "mousemove",
                    QString::number(to.x()), QString::number(to.y()), "mouseup", "1"});
}

// A left click at a pixel.
inline bool clickAt(const QPoint& at)
{
    return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

// The image on the clipboard, read as a paste would while its owner runs; a
// null image when none came within `limitMs`.
inline QImage pastedImage(int limitMs = 10000)
{
    QImage pasted;
    QElapsedTimer clock;
    clock.start();
    while (pasted.isNull() && clock.elapsed() < limitMs) {
        QProcess xclip;
        xclip.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
        xclip.waitForFinished(5000);
        pasted = QImage::fromData(xclip.readAllStandardOutput(), "PNG");
        if (pasted.isNull())
            QTest::qWait(100);
    }
    return pasted;
}

// The one file matching `pattern` in `folder`, read once it is there; a null
// image when none or more than one came within 10 s.
inline QImage savedImageIn(const QString& folder, const QString& pattern = QStringLiteral("Snap-*.png"))
{
    QStringList files;
    QElapsedTimer clock;
    clock.start();
    while (files.isEmpty() && clock.elapsed() < 10000) {
        QTest::qWait(50);
        files = QDir(folder).entryList({pattern}, QDir::Files);
    }
    if (files.count() != 1)
        return QImage();
    return QImageReader(QDir(folder).filePath(files.first())).read();
}

#endif // DUSERACTIONS_H
