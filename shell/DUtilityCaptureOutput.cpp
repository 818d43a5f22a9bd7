// DUtility's capture output: where a finished image goes and how it is written.

#include "DUtility.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRect>
#include <QWidget>

#include "DConfigCapture.h"
#include "DSaveFileDialog.h"
#include "DStagedFile.h"

namespace {

DConfigCapture* config()
{
    return DSingleton<DConfigCapture>::instance();
}

bool asksForName(bool alwaysAsk)
{
    return alwaysAsk || config()->nameMethod() == 0;
}

// The save dialog, starting in the last folder a file went to (or the nearest
// existing folder above it). The type's extension is added to a name typed
// without one, before the dialog asks about overwriting, so that the question
// and the write concern the same file.
QString askForFilePath(QWidget* parent)
{
    DConfigCapture* settings = config();
    QString start = settings->lastFilePath();
    if (start.isEmpty())
        start = settings->automaticSaveFolder();
    const QString extension = DUtility::TargetFormatToString(DD::enumTargetFormat(settings->targetFormat()));

    DSaveFileDialog dialog(parent, QObject::tr("Save File"), start, QObject::tr("Images (*.%1)").arg(extension),
                           extension);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString path = dialog.chosenPath();
    if (!path.isEmpty())
        settings->setLastFilePath(QFileInfo(path).path());
    return path;
}

// A name template with the characters a file name may not hold removed (a "/"
// would lead out of the save folder) and the time letters filled in.
QString cleanedPattern(QString pattern)
{
    DUtility::removeFileNameInvalidChar(pattern);
    return DUtility::convertTimeVariables(pattern);
}

// Whether a cleaned name part names nothing of its own: empty, blanks only, or
// dots only ("." and ".." are the folder itself and its parent; any of these
// would make a hidden file or folder that the user never sees).
bool namesNothing(const QString& part)
{
    const QString trimmed = part.trimmed();
    return trimmed.count(QLatin1Char('.')) == trimmed.size();
}

QString automaticFilePath()
{
    const DUtility::AutomaticName name = DUtility::automaticName();
    return DUtility::makeFullPath(config()->automaticSaveFolder(), name.subFolder, name.baseName, name.extension);
}

bool encodeImage(const QImage& image, QIODevice* device, const char* format, int quality)
{
    QImageWriter writer(device, format);
    writer.setQuality(quality);
    return writer.write(image);
}

// The image as the file at `path` holds it: PNG and BMP in the format its
// suffix names, JPG as JPEG data whatever the suffix; JPG and BMP flattened
// onto white.
bool encodeInTargetFormat(const QImage& image, QIODevice* device, const QString& path)
{
    DConfigCapture* settings = config();
    const QByteArray suffix = QFileInfo(path).suffix().toLatin1();
    switch (settings->targetFormat()) {
    case DD::JPG:
        return encodeImage(DUtility::discardImageTransparency(image), device, "JPG", int(settings->jpgQuality()));
    case DD::BMP:
        return encodeImage(DUtility::discardImageTransparency(image), device, suffix.constData(), -1);
    case DD::PNG:
        return encodeImage(image, device, suffix.constData(), -1);
    default:
        return false;
    }
}

// The name the user typed is theirs: the file takes it, in place of what had
// it (the dialog asked first).
bool saveUnderAskedName(const QImage& image, const QString& path)
{
    const QFileInfo target(path);
    DStagedFile file(target.path());
    return file.write([&](QIODevice* device) { return encodeInTargetFormat(image, device, path); })
        && file.placeReplacing(target.fileName());
}

// An automatic name takes nothing from anyone: the file gets the first name
// with a counter that no entry holds at the moment it is placed, also when
// another program saves into the same folder at the same time.
bool saveUnderAutomaticName(const QImage& image, DUtility::SaveReport* report)
{
    const DUtility::AutomaticName name = DUtility::automaticName();
    const QString folder = config()->automaticSaveFolder();
    const QString directory = DUtility::makeTargetFolder(folder, name.subFolder);
    const auto fileName = [&name](qint64 counter) {
        return DUtility::fileNameWithCounter(name.baseName, counter, name.extension);
    };
    // The file it is meant for, should it fail.
    report->path = directory + fileName(0);
    DStagedFile file(folder, name.subFolder);
    if (!file.write([&](QIODevice* device) { return encodeInTargetFormat(image, device, report->path); }))
        return false;
    const QString placed = file.placeUnderFreeName(fileName);
    if (placed.isEmpty())
        return false;
    report->path = directory + placed;
    return true;
}

} // namespace

bool DUtility::saveImage(QWidget* parent, const QImage& image, DD::enumTargetOutput output, bool alwaysAsk,
                         SaveReport* report)
{
    SaveReport unused;
    if (!report)
        report = &unused;
    *report = SaveReport();
    if (image.isNull())
        return false;
    if (output == DD::Clipboard) {
        QApplication::clipboard()->setImage(image, QClipboard::Clipboard);
        return true;
    }
    if (output != DD::ImageFile)
        return false;

    if (!asksForName(alwaysAsk))
        return saveUnderAutomaticName(image, report);
    report->path = askForFilePath(parent);
    if (report->path.isEmpty()) {
        report->cancelled = true;
        return false;
    }
    return saveUnderAskedName(image, report->path);
}

QString DUtility::makeTargetFilePath(QWidget* parent, bool alwaysAsk)
{
    if (asksForName(alwaysAsk))
        return askForFilePath(parent);
    if (config()->nameMethod() == 1)
        return automaticFilePath();
    return QString();
}

DUtility::AutomaticName DUtility::automaticName(const QString& fileNameFormat, const QString& subFolderFormat,
                                                bool createSubfolders, DD::enumTargetFormat format)
{
    AutomaticName name;
    name.baseName = cleanedPattern(fileNameFormat);
    // A template with nothing left in it still saves the capture, under the
    // default name, rather than as a hidden ".png".
    if (namesNothing(name.baseName))
        name.baseName = cleanedPattern(DConfigCapture::defaultFileNameFormat());
    if (createSubfolders) {
        name.subFolder = cleanedPattern(subFolderFormat);
        if (namesNothing(name.subFolder))
            name.subFolder.clear();
    }
    name.extension = TargetFormatToString(format);
    return name;
}

DUtility::AutomaticName DUtility::automaticName()
{
    const DConfigCapture* settings = config();
    return automaticName(settings->fileNameFormat(), settings->subFolderFormat(), settings->createSubfolders(),
                         DD::enumTargetFormat(settings->targetFormat()));
}

QString DUtility::AutomaticName::relativePath() const
{
    const QString file = baseName + QLatin1Char('.') + extension;
    return subFolder.isEmpty() ? file : subFolder + QDir::separator() + file;
}

QImage DUtility::discardImageTransparency(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    // Drawn pixel for pixel: a source made for a high-density screen would
    // otherwise be scaled down into a corner of the result.
    QImage source = image;
    source.setDevicePixelRatio(1.0);
    QPainter painter(&flat);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, source);
    painter.end();
    return flat;
}

QImage DUtility::grabScrollingWindow(const QRect& area)
{
    Q_UNUSED(area);
    return QImage();
}
