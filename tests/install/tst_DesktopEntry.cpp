// The installed menu entry and icons: the entry passes the desktop's validator
// and starts the installed program, and every icon it names is in the hicolor
// theme at the sizes the theme defines, drawn as the program's own mark.
#include "DInstalledTree.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QSvgRenderer>
#include <QtTest>

#include <memory>

namespace {

const char* const kEntryName = "com.orvanta.Zorvelshot.desktop";
// The icon theme every desktop falls back to; its index says which folders hold
// icons of which size.
const char* const kHicolorIndex = "/usr/share/icons/hicolor/index.theme";

// How far two images of one size are apart, over the four channels of every
// pixel: the largest difference, and the mean, which stays small when two
// drawings show the same picture whatever their edges do.
struct ChannelDifference
{
    int largest = 0;
    double mean = 0;
};

ChannelDifference channelDifference(const QImage& a, const QImage& b)
{
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    ChannelDifference difference;
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y), q = second.pixel(x, y);
            for (int channel : {qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q)),
                                qAbs(qAlpha(p) - qAlpha(q))}) {
                difference.largest = qMax(difference.largest, channel);
                sum += channel;
            }
        }
    }
    difference.mean = sum / (4.0 * first.width() * first.height());
    return difference;
}

} // namespace

class tst_DesktopEntry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void entryPassesTheValidator_data();
    void entryPassesTheValidator();
    void entryStartsTheInstalledProgram_data();
    void entryStartsTheInstalledProgram();
    void everyIconItNamesIsInTheTheme();
    void iconsShowTheProgramsMark();

private:
    // Installs below `prefix` once per prefix; null when that fails.
    DStagedInstall* installed(const QString& prefix);
    void addPrefixRows();

    std::map<QString, std::unique_ptr<DStagedInstall>> m_installs;
};

void tst_DesktopEntry::initTestCase()
{
    QVERIFY2(QFileInfo(kHicolorIndex).isFile(), kHicolorIndex);
}

DStagedInstall* tst_DesktopEntry::installed(const QString& prefix)
{
    auto& install = m_installs[prefix];
    if (!install) {
        install = std::make_unique<DStagedInstall>(prefix);
        if (!install->install()) {
            qWarning("%s", qPrintable(install->log()));
            install.reset();
            return nullptr;
        }
    }
    return install.get();
}

// A plain prefix, the one of the package, and one whose path the entry has to quote.
void tst_DesktopEntry::addPrefixRows()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("exec");
    QTest::newRow("/usr/local") << "/usr/local" << "/usr/local/bin/zorvelshot";
    QTest::newRow("/usr") << "/usr" << "/usr/bin/zorvelshot";
    QTest::newRow("with a space and a dollar") << "/opt/Zorvel $hot"
                                               << "\"/opt/Zorvel \\\\$hot/bin/zorvelshot\"";
}

void tst_DesktopEntry::entryPassesTheValidator_data()
{
    addPrefixRows();
}

void tst_DesktopEntry::entryPassesTheValidator()
{
    QFETCH(QString, prefix);
    DStagedInstall* install = installed(prefix);
    QVERIFY(install);
    const QString entry = install->path(QStringLiteral("share/applications/") + kEntryName);
    QVERIFY2(QFileInfo(entry).isFile(), qPrintable(entry));
    const DToolRun validation = runTool("desktop-file-validate", {entry});
    QVERIFY2(validation.exitCode == 0, qPrintable(validation.output));
    // Hints are advice; errors and warnings are not allowed.
    QVERIFY2(!validation.output.contains("error:") && !validation.output.contains("warning:"),
             qPrintable(validation.output));

    const QMap<QString, QString> keys = desktopEntryKeys(entry);
    QCOMPARE(keys.value("Type"), QStringLiteral("Application"));
    QCOMPARE(keys.value("Name"), QStringLiteral("Zorvelshot"));
    QCOMPARE(keys.value("Categories"), QStringLiteral("Utility;Graphics;"));
    QVERIFY(!keys.value("Comment").isEmpty());
    QCOMPARE(keys.value("Icon"), QFileInfo(kEntryName).completeBaseName());
}

void tst_DesktopEntry::entryStartsTheInstalledProgram_data()
{
    addPrefixRows();
}

void tst_DesktopEntry::entryStartsTheInstalledProgram()
{
    QFETCH(QString, prefix);
    QFETCH(QString, exec);
    DStagedInstall* install = installed(prefix);
    QVERIFY(install);
    const QMap<QString, QString> keys = desktopEntryKeys(install->path(QStringLiteral("share/applications/") + kEntryName));
    QCOMPARE(keys.value("Exec"), exec);
    // The launcher it names is the link to the installed program.
    const QFileInfo launcher(install->path("bin/zorvelshot"));
    QVERIFY(launcher.isSymLink());
    QCOMPARE(launcher.canonicalFilePath(),
             QFileInfo(install->path("libexec/zorvelshot/Zorvelshot")).canonicalFilePath());
    QVERIFY(launcher.isExecutable());
}

void tst_DesktopEntry::everyIconItNamesIsInTheTheme()
{
    DStagedInstall* install = installed("/usr");
    QVERIFY(install);
    const QString icon = desktopEntryKeys(install->path(QStringLiteral("share/applications/") + kEntryName)).value("Icon");
    QVERIFY(!icon.isEmpty());

    const QString theme = install->path("share/icons/hicolor");
    QSettings index(kHicolorIndex, QSettings::IniFormat);
    const QStringList themeFolders = index.value("Icon Theme/Directories").toStringList();
    QStringList found;
    for (const QString& folder : themeFolders) {
        const QString base = theme + '/' + folder + '/' + icon;
        const QString type = index.value(folder + "/Type", "Threshold").toString();
        const int size = index.value(folder + "/Size").toInt();
        const int scale = index.value(folder + "/Scale", 1).toInt();
        if (QFileInfo::exists(base + ".png")) {
            const QImage image(base + ".png");
            // A picture of the folder's nominal size (some of which the theme may scale).
            QVERIFY2(image.size() == QSize(size, size) * scale, qPrintable(folder));
            found << folder;
        }
        if (QFileInfo::exists(base + ".svg")) {
            // A drawing only where the theme scales what it finds to any size asked for.
            QVERIFY2(type == "Scalable", qPrintable(folder));
            QSvgRenderer renderer(base + ".svg");
            QVERIFY2(renderer.isValid(), qPrintable(base));
            QCOMPARE(renderer.viewBoxF().width(), renderer.viewBoxF().height());
            found << folder;
        }
    }
    // Nothing lies beside the theme's folders, where no desktop would look.
    QStringList installed;
    for (const QString& size : QDir(theme).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& file : QDir(theme + '/' + size + "/apps").entryList(QDir::Files))
            installed << size + "/apps/" + file;
    QCOMPARE(installed.size(), found.size());
    // The sizes desktops ask for, from menus and panels up to large launchers.
    for (const QString folder : {"16x16/apps", "22x22/apps", "24x24/apps", "32x32/apps", "48x48/apps",
                                 "64x64/apps", "128x128/apps", "256x256/apps", "512x512/apps", "scalable/apps"})
        QVERIFY2(found.contains(folder), qPrintable(folder));
}

void tst_DesktopEntry::iconsShowTheProgramsMark()
{
    DStagedInstall* install = installed("/usr");
    QVERIFY(install);
    const QString apps = install->path("share/icons/hicolor/%1/apps/com.orvanta.Zorvelshot");
    // The window and tray icons of the program itself.
    const QImage windowIcon(":/images/App48.png");
    const QImage trayIcon(":/images/App16.png");
    QVERIFY(!windowIcon.isNull() && !trayIcon.isNull());
    QCOMPARE(QImage(apps.arg("48x48") + ".png").size(), windowIcon.size());
    QCOMPARE(channelDifference(QImage(apps.arg("48x48") + ".png"), windowIcon).largest, 0);
    QCOMPARE(QImage(apps.arg("16x16") + ".png").size(), trayIcon.size());
    QCOMPARE(channelDifference(QImage(apps.arg("16x16") + ".png"), trayIcon).largest, 0);

    // The scalable drawing is the same mark: rendered at 48 pixels it looks like
    // the window icon, apart from the edges' antialiasing.
    QSvgRenderer renderer(apps.arg("scalable") + ".svg");
    QImage rendered(48, 48, QImage::Format_ARGB32_Premultiplied);
    rendered.fill(Qt::transparent);
    QPainter painter(&rendered);
    renderer.render(&painter);
    painter.end();
    const double renderedMean = channelDifference(rendered, windowIcon).mean;
    QVERIFY2(renderedMean < 4, qPrintable(QString::number(renderedMean)));
    // ...and not just any picture: an empty one is far from it.
    QImage empty(48, 48, QImage::Format_ARGB32_Premultiplied);
    empty.fill(Qt::transparent);
    QVERIFY(channelDifference(empty, windowIcon).mean > 40);
}

QTEST_MAIN(tst_DesktopEntry)
#include "tst_DesktopEntry.moc"
