#ifndef DCONFIGCAPTURE_H
#define DCONFIGCAPTURE_H

#include <QString>

#include "DConfig.h"
#include "DD.h"
#include "DHotkey.h"
#include "DSingleton.h"

// Key name of a capture mode's hotkey ("HotkeyRegion" ...); "UnsupportedCaptuerMode"
// for a value outside the four modes. The mode's flag key is "Use" + this name.
QString captureModeToConfigName(DD::enumCaptureMode mode);

// The program's settings object: the library's settings store with typed accessors
// for the capture, output and hotkey keys. Every key the program owns lives flat in
// the one QSettings that DConfig holds; nothing is cached, every call reads or
// writes the settings object.
//
// Keys and defaults (read and written only through the accessors below; the
// tray keys are the library's, in DConfig):
//   "IncludeCursor" bool false          "ScrollingInterval" int 500 (ms)
//   "SystemTray" bool true              "ShowTrayInstantMenu" bool true
//   "NameMethod" int 1 (0 ask, 1 auto)  "AutomaticSaveFolder" string desktop folder
//   "TargetFormat" int 0 (PNG)          "JpgQuality" uint 75
//   "AutoUpdate" bool true              "ShowTellFriend" bool true
//   "RegionType" int 0 (rectangle)      "FileNameFormat" string "Snap-Y-M-D-h-m-s"
//   "SubFolderFormat" string "YM"       "CreateSubfolders" bool false
//   "LastFilePath" string ""
//   "Hotkey<Mode>" key sequence (mode default)   "UseHotkey<Mode>" bool false
//
// A stored number outside its key's range (or no number at all) reads as the
// key's default, so that what a page shows is what a capture does.
class DConfigCapture : public DConfig, public DSingleton<DConfigCapture>
{
public:
    // Default of each key, as the readers below give it.
    static constexpr bool DefaultIncludeCursor = false;
    static constexpr int DefaultScrollingInterval = 500;
    static constexpr int DefaultNameMethod = 1;
    static constexpr int DefaultTargetFormat = 0;
    static constexpr unsigned int DefaultJpgQuality = 75;
    static constexpr bool DefaultAutoUpdate = true;
    static constexpr bool DefaultShowTellFriend = true;
    static constexpr int DefaultRegionType = 0;
    static constexpr bool DefaultCreateSubfolders = false;
    static constexpr bool DefaultUseHotkey = false;
    static QString defaultFileNameFormat();   // "Snap-Y-M-D-h-m-s"
    static QString defaultSubFolderFormat();  // "YM"

    // The ranges of the numeric keys.
    static constexpr int MaxScrollingInterval = 5000;
    static constexpr unsigned int MinJpgQuality = 1;
    static constexpr unsigned int MaxJpgQuality = 100;

    // "AutomaticSaveFolder", always an absolute path: an empty stored value
    // means the default folder (DProduct::defaultStorageFolder()), never the
    // file-system root, and a relative one lies in the home folder, never in
    // whatever folder the program was started from ("~" is the home folder).
    // The setter stores the text as given.
    QString automaticSaveFolder() const;
    void setAutomaticSaveFolder(const QString& folder);
    // "NameMethod": 0 ask for a name, 1 automatic name.
    int nameMethod() const;
    void setNameMethod(int method);
    // "TargetFormat": a DD::enumTargetFormat value.
    int targetFormat() const;
    void setTargetFormat(int format);

    // Typed readers and writers of the remaining keys, with the defaults above.
    // A setter stores the value as given; its reader applies the range.
    bool includeCursor() const;
    void setIncludeCursor(bool on);
    // 0 to MaxScrollingInterval.
    int scrollingInterval() const;
    void setScrollingInterval(int ms);
    // MinJpgQuality to MaxJpgQuality.
    unsigned int jpgQuality() const;
    void setJpgQuality(unsigned int quality);
    bool autoUpdate() const;
    void setAutoUpdate(bool on);
    bool showTellFriend() const;
    void setShowTellFriend(bool on);
    // A DD::enumRegionType value.
    int regionType() const;
    void setRegionType(int type);
    QString fileNameFormat() const;
    void setFileNameFormat(const QString& format);
    QString subFolderFormat() const;
    void setSubFolderFormat(const QString& format);
    bool createSubfolders() const;
    void setCreateSubfolders(bool on);
    QString lastFilePath() const;
    void setLastFilePath(const QString& folder);

    DHotkey defaultHotkey(DD::enumCaptureMode mode) const;
    // The stored hotkey of the mode, or the default when none is stored; a stored
    // text that is not a key sequence reads as an empty hotkey.
    DHotkey hotkey(DD::enumCaptureMode mode) const;
    void setHotkey(DD::enumCaptureMode mode, const DHotkey& hotkey);
    bool isUseHotkey(DD::enumCaptureMode mode) const;
    void setUseHotkey(DD::enumCaptureMode mode, bool use);

private:
    friend class DSingleton<DConfigCapture>;
    DConfigCapture();
    ~DConfigCapture() override;
    DConfigCapture(const DConfigCapture&) = delete;
    DConfigCapture& operator=(const DConfigCapture&) = delete;
};

#endif // DCONFIGCAPTURE_H
