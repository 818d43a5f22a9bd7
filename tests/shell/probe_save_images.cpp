// Saves captures one after another through the program's own save path, as the
// overlay's Save button does, with automatic names:
//   probe_save_images FOLDER NAME-PATTERN COUNT SEED
// Capture i is the noise image of seed SEED + i. It prints "ready" once its
// settings are in place and waits for a line on its input before the first
// save, so that two of them can be set off together; at the end it prints how
// many saves reported success.
#include <QCoreApplication>
#include <QSettings>

#include <cstdio>
#include <iostream>
#include <string>

#include "DConfigCapture.h"
#include "DNoiseImage.h"
#include "DUtility.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 5)
        return 2;
    QSettings* settings = DSingleton<DConfigCapture>::instance()->m_pSettings;
    settings->setValue("NameMethod", 1);
    settings->setValue("AutomaticSaveFolder", arguments.at(1));
    settings->setValue("FileNameFormat", arguments.at(2));
    const int count = arguments.at(3).toInt();
    const quint32 seed = arguments.at(4).toUInt();

    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);

    int saved = 0;
    for (int i = 0; i < count; ++i)
        saved += DUtility::saveImage(nullptr, noiseImage(QSize(64, 48), seed + quint32(i)), DD::ImageFile, false);
    std::printf("%d saved\n", saved);
    return 0;
}
