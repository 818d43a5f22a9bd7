// Saving a 3840x2160 capture to PNG through DUtility::saveImage, against
// QImageWriter writing the same image alone. Prints the medians and their ratio.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_save_png [runs]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

#include "DBenchSupport.h"
#include "DConfigCapture.h"
#include "DUtility.h"

namespace {

// Something like a desktop: flat panels, gradients, text and a noisy photo.
QImage desktopLikeImage()
{
    QImage image(3840, 2160, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 2160);
    sky.setColorAt(0, QColor(30, 60, 120));
    sky.setColorAt(1, QColor(200, 120, 60));
    painter.fillRect(image.rect(), sky);
    painter.fillRect(200, 150, 1800, 1200, QColor(245, 245, 245));
    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("Sans"), 14));
    for (int line = 0; line < 50; ++line)
        painter.drawText(230, 200 + line * 22, QStringLiteral("Line %1 of a document window with some ordinary text in it").arg(line));
    painter.end();
    QRandomGenerator random(7);
    for (int y = 1300; y < 2000; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 2200; x < 3600; ++x)
            row[x] = 0xFF000000u | (random.generate() & 0x003F3F3Fu) | 0x00604020u;
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    DBenchSettingsHome home;
    QApplication app(argc, argv);
    const int runs = runsFromArguments(argc, argv);

    const QImage image = desktopLikeImage();
    const QString folder = home.filePath("out");
    QDir().mkpath(folder);
    QSettings* settings = DSingleton<DConfigCapture>::instance()->m_pSettings;
    settings->setValue(QStringLiteral("NameMethod"), 1);
    settings->setValue(QStringLiteral("TargetFormat"), 0);
    settings->setValue(QStringLiteral("AutomaticSaveFolder"), folder);
    settings->setValue(QStringLiteral("FileNameFormat"), QStringLiteral("Bench"));

    QVector<double> throughSave;
    QVector<double> writerAlone;
    for (int run = 0; run < runs; ++run) {
        QFile::remove(QDir(folder).filePath(QStringLiteral("Bench.png")));
        QElapsedTimer timer;
        timer.start();
        if (!DUtility::saveImage(nullptr, image, DD::ImageFile, false))
            return std::fprintf(stderr, "saveImage failed\n"), 1;
        throughSave.append(timer.nsecsElapsed() / 1e6);

        const QString plain = QDir(folder).filePath(QStringLiteral("Plain.png"));
        QFile::remove(plain);
        timer.restart();
        QImageWriter writer(plain);
        if (!writer.write(image))
            return std::fprintf(stderr, "QImageWriter failed\n"), 1;
        writerAlone.append(timer.nsecsElapsed() / 1e6);
    }
    const double save = median(throughSave);
    const double alone = median(writerAlone);
    std::printf("PNG 3840x2160, %d runs: saveImage median %.1f ms, QImageWriter alone median %.1f ms, ratio %.3f\n",
                runs, save, alone, save / alone);
    return 0;
}
