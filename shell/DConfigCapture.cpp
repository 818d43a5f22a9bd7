#include "DConfigCapture.h"

#include <QDir>
#include <QKeySequence>
#include <QSettings>
#include <QVariant>

#include "DProduct.h"

QString captureModeToConfigName(DD::enumCaptureMode mode)
{
    switch (mode) {
    case DD::Region:
        return QStringLiteral("HotkeyRegion");
    case DD::Window:
        return QStringLiteral("HotkeyWindow");
    case DD::Scrolling:
        return QStringLiteral("HotkeyScrolling");
    case DD::FullScreen:
        return QStringLiteral("HotkeyFullScreen");
    }
    return QStringLiteral("UnsupportedCaptuerMode");
}

namespace {

// The keys of the settings below: each name is written here only.
const QString kAutomaticSaveFolder = QStringLiteral("AutomaticSaveFolder");
const QString kNameMethod = QStringLiteral("NameMethod");
const QString kTargetFormat = QStringLiteral("TargetFormat");
const QString kIncludeCursor = QStringLiteral("IncludeCursor");
const QString kScrollingInterval = QStringLiteral("ScrollingInterval");
const QString kJpgQuality = QStringLiteral("JpgQuality");
const QString kAutoUpdate = QStringLiteral("AutoUpdate");
const QString kShowTellFriend = QStringLiteral("ShowTellFriend");
const QString kRegionType = QStringLiteral("RegionType");
const QString kFileNameFormat = QStringLiteral("FileNameFormat");
const QString kSubFolderFormat = QStringLiteral("SubFolderFormat");
const QString kCreateSubfolders = QStringLiteral("CreateSubfolders");
const QString kLastFilePath = QStringLiteral("LastFilePath");

QString useKeyOf(DD::enumCaptureMode mode)
{
    return QStringLiteral("Use") + captureModeToConfigName(mode);
}

} // namespace

DConfigCapture::DConfigCapture() = default;

DConfigCapture::~DConfigCapture() = default;

QString DConfigCapture::defaultFileNameFormat()
{
    return QStringLiteral("Snap-Y-M-D-h-m-s");
}

QString DConfigCapture::defaultSubFolderFormat()
{
    return QStringLiteral("YM");
}

QString DConfigCapture::automaticSaveFolder() const
{
    const QString fallback = DProduct::defaultStorageFolder();
    const QString folder = m_pSettings->value(kAutomaticSaveFolder, fallback).toString();
    // A cleared folder field stores an empty text; saving then goes to the
    // default folder rather than to a path relative to the file-system root.
    if (folder.isEmpty())
        return fallback;
    if (!QDir::isRelativePath(folder))
        return folder;
    QString inHome = folder;
    if (inHome == QLatin1String("~") || inHome.startsWith(QLatin1String("~/")))
        inHome.remove(0, 1);
    return QDir::cleanPath(QDir::home().absolutePath() + QLatin1Char('/') + inHome);
}

void DConfigCapture::setAutomaticSaveFolder(const QString& folder)
{
    m_pSettings->setValue(kAutomaticSaveFolder, folder);
}

int DConfigCapture::nameMethod() const
{
    return boundedInt(kNameMethod, DefaultNameMethod, 0, 1);
}

void DConfigCapture::setNameMethod(int method)
{
    m_pSettings->setValue(kNameMethod, method);
}

int DConfigCapture::targetFormat() const
{
    return boundedInt(kTargetFormat, DefaultTargetFormat, DD::PNG, DD::BMP);
}

void DConfigCapture::setTargetFormat(int format)
{
    m_pSettings->setValue(kTargetFormat, format);
}

bool DConfigCapture::includeCursor() const
{
    return m_pSettings->value(kIncludeCursor, DefaultIncludeCursor).toBool();
}

void DConfigCapture::setIncludeCursor(bool on)
{
    m_pSettings->setValue(kIncludeCursor, on);
}

int DConfigCapture::scrollingInterval() const
{
    return boundedInt(kScrollingInterval, DefaultScrollingInterval, 0, MaxScrollingInterval);
}

void DConfigCapture::setScrollingInterval(int ms)
{
    m_pSettings->setValue(kScrollingInterval, ms);
}

unsigned int DConfigCapture::jpgQuality() const
{
    return unsigned(boundedInt(kJpgQuality, int(DefaultJpgQuality), int(MinJpgQuality), int(MaxJpgQuality)));
}

void DConfigCapture::setJpgQuality(unsigned int quality)
{
    m_pSettings->setValue(kJpgQuality, quality);
}

bool DConfigCapture::autoUpdate() const
{
    return m_pSettings->value(kAutoUpdate, DefaultAutoUpdate).toBool();
}

void DConfigCapture::setAutoUpdate(bool on)
{
    m_pSettings->setValue(kAutoUpdate, on);
}

bool DConfigCapture::showTellFriend() const
{
    return m_pSettings->value(kShowTellFriend, DefaultShowTellFriend).toBool();
}

void DConfigCapture::setShowTellFriend(bool on)
{
    m_pSettings->setValue(kShowTellFriend, on);
}

int DConfigCapture::regionType() const
{
    return boundedInt(kRegionType, DefaultRegionType, DD::RegionRectangle, DD::RegionPolygon);
}

void DConfigCapture::setRegionType(int type)
{
    m_pSettings->setValue(kRegionType, type);
}

QString DConfigCapture::fileNameFormat() const
{
    return m_pSettings->value(kFileNameFormat, defaultFileNameFormat()).toString();
}

void DConfigCapture::setFileNameFormat(const QString& format)
{
    m_pSettings->setValue(kFileNameFormat, format);
}

QString DConfigCapture::subFolderFormat() const
{
    return m_pSettings->value(kSubFolderFormat, defaultSubFolderFormat()).toString();
}

void DConfigCapture::setSubFolderFormat(const QString& format)
{
    m_pSettings->setValue(kSubFolderFormat, format);
}

bool DConfigCapture::createSubfolders() const
{
    return m_pSettings->value(kCreateSubfolders, DefaultCreateSubfolders).toBool();
}

void DConfigCapture::setCreateSubfolders(bool on)
{
    m_pSettings->setValue(kCreateSubfolders, on);
}

QString DConfigCapture::lastFilePath() const
{
    return m_pSettings->value(kLastFilePath, QString()).toString();
}

void DConfigCapture::setLastFilePath(const QString& folder)
{
    m_pSettings->setValue(kLastFilePath, folder);
}

DHotkey DConfigCapture::defaultHotkey(DD::enumCaptureMode mode) const
{
    switch (mode) {
    case DD::Region:
        return DHotkey(QKeySequence(Qt::Key_Print));
    case DD::Window:
        return DHotkey(QKeySequence(Qt::ALT + Qt::Key_Print));
    case DD::Scrolling:
        return DHotkey(QKeySequence(Qt::META + Qt::Key_Print));
    case DD::FullScreen:
        return DHotkey(QKeySequence(Qt::CTRL + Qt::Key_Print));
    }
    return DHotkey();
}

DHotkey DConfigCapture::hotkey(DD::enumCaptureMode mode) const
{
    const QVariant fallback = QVariant::fromValue(defaultHotkey(mode).keySequence());
    const QVariant value = m_pSettings->value(captureModeToConfigName(mode), fallback);
    if (value.userType() == QMetaType::QKeySequence)
        return DHotkey(value.value<QKeySequence>());
    // Read back from the file the value is text; the variant converts it through
    // the key-sequence text form. A text that does not name keys gives a sequence
    // holding Key_unknown: that is no hotkey at all.
    if (!value.canConvert<QKeySequence>())
        return DHotkey();
    const QKeySequence converted = value.value<QKeySequence>();
    for (int i = 0; i < converted.count(); ++i) {
        if ((converted[i] & ~Qt::KeyboardModifierMask) == Qt::Key_unknown)
            return DHotkey();
    }
    return DHotkey(converted);
}

void DConfigCapture::setHotkey(DD::enumCaptureMode mode, const DHotkey& hotkey)
{
    m_pSettings->setValue(captureModeToConfigName(mode), QVariant::fromValue(hotkey.keySequence()));
}

bool DConfigCapture::isUseHotkey(DD::enumCaptureMode mode) const
{
    return m_pSettings->value(useKeyOf(mode), DefaultUseHotkey).toBool();
}

void DConfigCapture::setUseHotkey(DD::enumCaptureMode mode, bool use)
{
    m_pSettings->setValue(useKeyOf(mode), use);
}
