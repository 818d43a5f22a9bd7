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
    const QString folder = m_pSettings->value(QStringLiteral("AutomaticSaveFolder"), fallback).toString();
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

int DConfigCapture::nameMethod() const
{
    return boundedInt(QStringLiteral("NameMethod"), DefaultNameMethod, 0, 1);
}

int DConfigCapture::targetFormat() const
{
    return boundedInt(QStringLiteral("TargetFormat"), DefaultTargetFormat, DD::PNG, DD::BMP);
}

bool DConfigCapture::includeCursor() const
{
    return m_pSettings->value(QStringLiteral("IncludeCursor"), DefaultIncludeCursor).toBool();
}

int DConfigCapture::scrollingInterval() const
{
    return boundedInt(QStringLiteral("ScrollingInterval"), DefaultScrollingInterval, 0, MaxScrollingInterval);
}

bool DConfigCapture::showTrayInstantMenu() const
{
    return m_pSettings->value(QStringLiteral("ShowTrayInstantMenu"), DefaultShowTrayInstantMenu).toBool();
}

unsigned int DConfigCapture::jpgQuality() const
{
    return unsigned(boundedInt(QStringLiteral("JpgQuality"), int(DefaultJpgQuality), int(MinJpgQuality),
                               int(MaxJpgQuality)));
}

bool DConfigCapture::autoUpdate() const
{
    return m_pSettings->value(QStringLiteral("AutoUpdate"), DefaultAutoUpdate).toBool();
}

bool DConfigCapture::showTellFriend() const
{
    return m_pSettings->value(QStringLiteral("ShowTellFriend"), DefaultShowTellFriend).toBool();
}

int DConfigCapture::regionType() const
{
    return boundedInt(QStringLiteral("RegionType"), DefaultRegionType, DD::RegionRectangle, DD::RegionPolygon);
}

QString DConfigCapture::fileNameFormat() const
{
    return m_pSettings->value(QStringLiteral("FileNameFormat"), defaultFileNameFormat()).toString();
}

QString DConfigCapture::subFolderFormat() const
{
    return m_pSettings->value(QStringLiteral("SubFolderFormat"), defaultSubFolderFormat()).toString();
}

bool DConfigCapture::createSubfolders() const
{
    return m_pSettings->value(QStringLiteral("CreateSubfolders"), DefaultCreateSubfolders).toBool();
}

QString DConfigCapture::lastFilePath() const
{
    return m_pSettings->value(QStringLiteral("LastFilePath"), QString()).toString();
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
