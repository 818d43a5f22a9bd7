#ifndef DBENCHSUPPORT_H
#define DBENCHSUPPORT_H

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>
#include <cstdlib>

// A settings folder of the bench's own while it lives: a bench must not
// read or write the user's settings. Made before the application object.
class DBenchSettingsHome
{
public:
    DBenchSettingsHome() { qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toLocal8Bit()); }
    // A path inside the folder, for what the bench writes besides settings.
    QString filePath(const QString& name) const { return m_home.filePath(name); }

private:
    QTemporaryDir m_home;
};

// The middle value of the measured runs (the upper one of an even count).
inline double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The number of runs: the first argument when it is a positive number, else `fallback`.
inline int runsFromArguments(int argc, char** argv, int fallback = 9)
{
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

// The page size every benchmark works on.
const int kBenchWidth = 3840;
const int kBenchHeight = 2160;

// A screenshot-like background: bands and blocks, so that no tile repeats.
inline QPixmap benchScreenshot()
{
    QImage image(kBenchWidth, kBenchHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < kBenchHeight; y += 40)
        painter.fillRect(0, y, kBenchWidth, 40, QColor::fromHsv((y / 40 * 7) % 360, 60, 230));
    for (int i = 0; i < 200; ++i)
        painter.fillRect((i * 397) % kBenchWidth, (i * 211) % kBenchHeight, 180, 90,
                         QColor::fromHsv((i * 37) % 360, 90, 200));
    return QPixmap::fromImage(image);
}

#endif // DBENCHSUPPORT_H
