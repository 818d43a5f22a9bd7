// Draws the named images into a folder: imagegen <folder> <file name>...
#include "ImageCatalog.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: imagegen <folder> <image>...\n");
        return 2;
    }
    QDir folder(args.at(1));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "imagegen: cannot create %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (int i = 2; i < args.size(); ++i) {
        const QString& name = args.at(i);
        if (!ImageCatalog::instance().contains(name)) {
            std::fprintf(stderr, "imagegen: no drawing for %s\n", qPrintable(name));
            return 1;
        }
        const QByteArray contents = ImageCatalog::instance().fileContents(name);
        QSaveFile file(folder.filePath(name));
        if (contents.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()
            || !file.flush() || !file.commit()) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
