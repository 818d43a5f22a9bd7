#include <QtTest>

#include <QAbstractButton>
#include <QBuffer>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <unistd.h>

#include "DConfigCapture.h"
#include "DFileSystemWithoutLinks.h"
#include "DModalDriver.h"
#include "DNoiseImage.h"
#include "DProduct.h"
#include "DSmallFileSystem.h"
#include "DUnwritableFolder.h"
#include "DUtility.h"

// Delivering a finished capture: clipboard, file names (automatic and asked
// for), image formats, and what a failure leaves behind.
class tst_CaptureOutput : public QObject
{
    Q_OBJECT

public:
    // `mayMount`: whether this process may mount small file systems.
    explicit tst_CaptureOutput(bool mayMount) : m_mayMount(mayMount) {}

private:
    bool m_mayMount;

    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }

    // Half transparent: the left half opaque red, the right half fully transparent.
    static QImage halfTransparentImage()
    {
        QImage image(40, 20, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.fillRect(0, 0, 20, 20, Qt::red);
        return image;
    }

    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    static QStringList everythingUnder(const QString& folder)
    {
        QStringList result;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            result << QDir(folder).relativeFilePath(it.next());
        result.sort();
        return result;
    }

    void useAutomaticNames(const QString& folder, const QString& pattern)
    {
        settings()->setValue("NameMethod", 1);
        settings()->setValue("AutomaticSaveFolder", folder);
        settings()->setValue("FileNameFormat", pattern);
    }

    // The pixels of an image, whatever format it was read back in.
    static QByteArray pixelDigest(const QImage& image)
    {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        QCryptographicHash hash(QCryptographicHash::Md5);
        for (int y = 0; y < rgb.height(); ++y)
            hash.addData(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4);
        return hash.result();
    }

    // A symbolic link at `link` to `target`.
    static bool makeLink(const QString& target, const QString& link)
    {
        return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
    }

private slots:
    // Run once more as tst_CaptureOutputWithoutLinks, where every capture is
    // saved the way a file system without rename flags and hard links allows.
    void initTestCase()
    {
        if (runsWithoutLinks())
            QVERIFY2(linksAreRefused(), "preload_without_links is not in effect");
    }

    void init()
    {
        settings()->clear();
        QApplication::clipboard()->clear();
    }

    void nullImageDeliversNothing_data()
    {
        QTest::addColumn<int>("output");
        QTest::newRow("clipboard") << int(DD::Clipboard);
        QTest::newRow("file") << int(DD::ImageFile);
    }
    void nullImageDeliversNothing()
    {
        QFETCH(int, output);
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        QVERIFY(!DUtility::saveImage(nullptr, QImage(), DD::enumTargetOutput(output), false));
        QVERIFY(filesIn(dir.path()).isEmpty());
        QVERIFY(QApplication::clipboard()->image().isNull());
    }

    void clipboardGetsTheImage()
    {
        const QImage image = halfTransparentImage();
        QVERIFY(DUtility::saveImage(nullptr, image, DD::Clipboard, false));
        const QImage pasted = QApplication::clipboard()->image();
        QCOMPARE(pasted.size(), image.size());
        QCOMPARE(pasted.pixel(5, 5), image.pixel(5, 5));
    }

    void unknownOutputDeliversNothing()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::enumTargetOutput(0), false));
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::enumTargetOutput(3), false));
        QVERIFY(filesIn(dir.path()).isEmpty());
        QVERIFY(QApplication::clipboard()->image().isNull());
    }

    void defaultsWriteSnapWithDateAndTimeToTheDesktopFolder()
    {
        const QString folder = DProduct::defaultStorageFolder();
        QVERIFY(folder.startsWith(QDir::homePath()));
        QDir(folder).removeRecursively();
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        const QStringList files = filesIn(folder);
        QCOMPARE(files.size(), 2);
        const QRegularExpression plain("^Snap-\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}\\.png$");
        const QRegularExpression counted("^Snap-\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}\\[1\\]\\.png$");
        // Both saves fall in one second unless the clock ticked in between.
        const bool sameSecond = files.at(0).left(24) == files.at(1).left(24);
        QVERIFY(plain.match(files.at(0)).hasMatch() || plain.match(files.at(1)).hasMatch());
        if (sameSecond)
            QVERIFY(counted.match(files.at(0)).hasMatch() || counted.match(files.at(1)).hasMatch());
    }

    void collisionGetsTheBracketedCounter()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        for (int i = 0; i < 3; ++i)
            QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QCOMPARE(filesIn(dir.path()), QStringList({ "Cap.png", "Cap[1].png", "Cap[2].png" }));
    }

    void yearMonthSubFolderIsCreated()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("CreateSubfolders", true);
        settings()->setValue("SubFolderFormat", "YM");
        const QString before = QDate::currentDate().toString("yyyyMM");
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        const QString after = QDate::currentDate().toString("yyyyMM");
        QVERIFY(QFile::exists(dir.filePath(before + "/Cap.png")) || QFile::exists(dir.filePath(after + "/Cap.png")));
    }

    void subFolderIgnoredWhenNotWanted()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("CreateSubfolders", false);
        settings()->setValue("SubFolderFormat", "Sub");
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QCOMPARE(everythingUnder(dir.path()), QStringList({ "Cap.png" }));
    }

    void hostilePatternsStayInTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("subFolder");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("parent in name") << "../Cap" << "" << QStringList({ "out/Cap.png" });
        QTest::newRow("parents in name") << "../../Snap" << "" << QStringList({ "out/Snap.png" });
        QTest::newRow("hidden name") << ".Cap" << "" << QStringList({ "out/Cap.png" });
        QTest::newRow("absolute name") << "/etc/Cap" << "" << QStringList({ "out/etcCap.png" });
        QTest::newRow("colons and stars") << "C:a*p?" << "" << QStringList({ "out/Cap.png" });
        QTest::newRow("parent as sub-folder") << "Cap" << ".." << QStringList({ "out/Cap.png" });
        QTest::newRow("dot as sub-folder") << "Cap" << "." << QStringList({ "out/Cap.png" });
        QTest::newRow("slashes as sub-folder") << "Cap" << "//" << QStringList({ "out/Cap.png" });
        QTest::newRow("parent path as sub-folder")
            << "Cap" << "../../etc" << QStringList({ "out/etc", "out/etc/Cap.png" });
        QTest::newRow("backslash") << "a\\Cap" << "" << QStringList({ "out/aCap.png" });
        QTest::newRow("blanks as sub-folder") << "Cap" << "  " << QStringList({ "out/Cap.png" });
        QTest::newRow("dots as sub-folder") << "Cap" << "..." << QStringList({ "out/Cap.png" });
        QTest::newRow("dot left after cleaning as sub-folder") << "Cap" << "/./" << QStringList({ "out/Cap.png" });
        // A NUL, which the system takes for the end of the name.
        QTest::newRow("NUL in name") << QString("Cap") + QChar(0) + "x" << "" << QStringList({ "out/Capx.png" });
        QTest::newRow("NUL in sub-folder")
            << "Cap" << QString("Sub") + QChar(0) + "x" << QStringList({ "out/Subx", "out/Subx/Cap.png" });
    }
    void hostilePatternsStayInTheFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, subFolder);
        QFETCH(QStringList, expected);
        QTemporaryDir base;
        const QString folder = base.filePath("out");
        useAutomaticNames(folder, name);
        settings()->setValue("CreateSubfolders", !subFolder.isEmpty());
        settings()->setValue("SubFolderFormat", subFolder);
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QStringList all = everythingUnder(base.path());
        all.removeAll("out");
        QCOMPARE(all, expected);
    }

    // A name template with nothing of its own left after cleaning still saves,
    // under the default name: no hidden ".png", nothing lost.
    void emptiedNamePatternSavesUnderTheDefaultName_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("slash") << "/";
        QTest::newRow("empty") << "";
        QTest::newRow("invalid characters only") << "*?:<>|\\\"";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("dot") << ".";
        QTest::newRow("dots left after cleaning") << "/../";
    }
    void emptiedNamePatternSavesUnderTheDefaultName()
    {
        QFETCH(QString, pattern);
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), pattern);
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QCOMPARE(QFileInfo(report.path).path(), dir.path());
        const QStringList files = filesIn(dir.path());
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression("^Snap-\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}\\.png$").match(files.first()).hasMatch(),
                 qPrintable(files.first()));
        QCOMPARE(QImageReader(dir.filePath(files.first())).read().size(), halfTransparentImage().size());
    }

    // A relative folder lies in the home folder, whatever folder the program
    // was started from.
    void relativeFolderLiesInTheHomeFolder_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("inHome");
        QTest::newRow("plain") << "Shots" << "Shots";
        QTest::newRow("nested") << "Shots/2026" << "Shots/2026";
        QTest::newRow("dot") << "./Shots" << "Shots";
        QTest::newRow("tilde") << "~/Shots" << "Shots";
    }
    void relativeFolderLiesInTheHomeFolder()
    {
        QFETCH(QString, stored);
        QFETCH(QString, inHome);
        QTemporaryDir startedIn;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(startedIn.path()));
        useAutomaticNames(stored, "Cap");
        DUtility::SaveReport report;
        const bool saved = DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report);
        QDir::setCurrent(before);
        const QString folder = QDir::home().filePath(inHome);
        QVERIFY(saved);
        QCOMPARE(report.path, QDir(folder).filePath("Cap.png"));
        QVERIFY(QFileInfo(report.path).isFile());
        QCOMPARE(everythingUnder(startedIn.path()), QStringList());
        QVERIFY(QDir(QDir::home().filePath("Shots")).removeRecursively());
    }

    void folderThatCannotBeCreatedWritesNothing()
    {
        QTemporaryDir base;
        QFile blocker(base.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        useAutomaticNames(base.filePath("file/out"), "Cap");
        DUtility::SaveReport report;
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY(!report.cancelled);
        QCOMPARE(everythingUnder(base.path()), QStringList({ "file" }));
    }

    void unwritableFolderWritesNothing()
    {
        QTemporaryDir base;
        const QString folder = unwritableFolder(base);
        const QStringList before = filesIn(folder);
        useAutomaticNames(folder, "CapUnwritable");
        DUtility::SaveReport report;
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY(!report.cancelled);
        QVERIFY(report.path.endsWith("CapUnwritable.png"));
        QCOMPARE(filesIn(folder), before);
    }

    // Links planted at the next names (another user of a shared folder may
    // point them anywhere) are never written through: the capture goes under
    // the first name that nothing holds, and every link stays as it was.
    void linksAtTheNextNamesAreNotFollowed_data()
    {
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<bool>("targetsExist");
        QTest::addColumn<QString>("saved");
        QTest::newRow("link that leads nowhere") << QStringList({"Cap.png"}) << false << "Cap[1].png";
        QTest::newRow("links at the name and its first counters")
            << QStringList({"Cap.png", "Cap[1].png", "Cap[2].png"}) << false << "Cap[3].png";
        QTest::newRow("link to a file elsewhere") << QStringList({"Cap.png"}) << true << "Cap[1].png";
    }
    void linksAtTheNextNamesAreNotFollowed()
    {
        QFETCH(QStringList, links);
        QFETCH(bool, targetsExist);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        for (int i = 0; i < links.size(); ++i) {
            const QString target = elsewhere.filePath(QString("autostart%1.desktop").arg(i));
            if (targetsExist) {
                QFile file(target);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("[Desktop Entry]\n");
            }
            QVERIFY(makeLink(target, dir.filePath(links.at(i))));
        }
        const QStringList before = everythingUnder(elsewhere.path());
        useAutomaticNames(dir.path(), "Cap");
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QCOMPARE(report.path, dir.filePath(saved));
        const QFileInfo file(report.path);
        QVERIFY(file.isFile() && !file.isSymLink());
        QCOMPARE(QImageReader(report.path).read().size(), halfTransparentImage().size());
        QCOMPARE(everythingUnder(elsewhere.path()), before);
        for (int i = 0; i < links.size(); ++i)
            QCOMPARE(QFileInfo(dir.filePath(links.at(i))).symLinkTarget(),
                     elsewhere.filePath(QString("autostart%1.desktop").arg(i)));
        if (targetsExist) {
            QFile target(elsewhere.filePath("autostart0.desktop"));
            QVERIFY(target.open(QIODevice::ReadOnly));
            QCOMPARE(target.readAll(), QByteArray("[Desktop Entry]\n"));
        }
    }

    // The sub-folder is the program's own: a link in its place is not
    // followed, the save fails and says so (the caller offers another way).
    void subFolderThatIsALinkIsNotFollowed()
    {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        QVERIFY(makeLink(elsewhere.path(), dir.filePath("Out")));
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("CreateSubfolders", true);
        settings()->setValue("SubFolderFormat", "Out");
        DUtility::SaveReport report;
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY(!report.cancelled);
        QCOMPARE(report.path, dir.filePath("Out/Cap.png"));
        QCOMPARE(everythingUnder(elsewhere.path()), QStringList());
        QVERIFY(QFileInfo(dir.filePath("Out")).isSymLink());
    }

    // A typed name that a link holds is asked about like any other file;
    // "Yes" puts the capture at that name, where the dialog said, in place of
    // the link, and nothing is written where the link pointed.
    void askedNameOnALinkIsAskedAboutAndReplacesTheLink()
    {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        QVERIFY(makeLink(elsewhere.filePath("x.desktop"), dir.filePath("shot.png")));
        settings()->setValue("NameMethod", 0);
        QString question;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            whenModal<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::Yes)->click();
            });
            typeFileNameAndAccept(dialog, dir.filePath("shot"));
        });
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY2(question.contains(dir.filePath("shot.png")), qPrintable(question));
        QCOMPARE(report.path, dir.filePath("shot.png"));
        const QFileInfo file(report.path);
        QVERIFY(file.isFile() && !file.isSymLink());
        QCOMPARE(QImageReader(report.path).format(), QByteArray("png"));
        QCOMPARE(everythingUnder(elsewhere.path()), QStringList());
    }

    // A file system that fills up while the capture is written: the save
    // fails, nothing is left behind (no short file, no temporary one), and
    // with room again the same save gives the whole image.
    void fullDiskLeavesNothingAndFails_data()
    {
        QTest::addColumn<int>("freeBytes");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("asked");
        // Noise does not compress: a side of 60 gives about 11 KB of PNG, less
        // than the writer holds back before its last flush; 100 gives 30 KB.
        for (const bool asked : {false, true}) {
            const char* naming = asked ? ", asked name" : ", automatic name";
            QTest::addRow("full%s", naming) << 0 << 60 << asked;
            QTest::addRow("room for a part%s", naming) << 8192 << 60 << asked;
            QTest::addRow("room for all but the end of a larger capture%s", naming) << 24576 << 100 << asked;
        }
    }
    void fullDiskLeavesNothingAndFails()
    {
        QFETCH(int, freeBytes);
        QFETCH(int, side);
        QFETCH(bool, asked);
        if (!m_mayMount)
            QSKIP("this process may not mount a file system of its own");
        QTemporaryDir dir;
        const QString disk = dir.filePath("disk");
        QVERIFY(QDir().mkpath(disk));
        DSmallFileSystem small(disk, 128);
        QVERIFY(small.isMounted());
        const QString folder = disk + "/shots";
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(small.fillLeaving(freeBytes), qint64(freeBytes));
        const QImage image = noiseImage(QSize(side, side), 20261);
        const auto save = [&](DUtility::SaveReport* report) {
            if (asked) {
                settings()->setValue("NameMethod", 0);
                whenModal<QFileDialog>([&](QFileDialog* dialog) { typeFileNameAndAccept(dialog, folder + "/shot"); });
            } else {
                useAutomaticNames(folder, "Cap");
            }
            return DUtility::saveImage(nullptr, image, DD::ImageFile, false, report);
        };

        DUtility::SaveReport report;
        QVERIFY(!save(&report));
        QVERIFY(!report.cancelled);
        QCOMPARE(report.path, folder + (asked ? "/shot.png" : "/Cap.png"));
        QCOMPARE(everythingUnder(folder), QStringList());
        QCOMPARE(small.freeBytes(), qint64(freeBytes));

        QVERIFY(QFile::remove(disk + "/filler"));
        QVERIFY(save(&report));
        QCOMPARE(everythingUnder(folder), QStringList{QFileInfo(report.path).fileName()});
        QCOMPARE(pixelDigest(QImageReader(report.path).read()), pixelDigest(image));
    }

    // Two programs (two users, or two sessions) saving into one folder at the
    // same time under one name: every capture lands in a file of its own, and
    // each file is one whole capture.
    void twoProgramsSavingUnderOneNameKeepEveryCapture()
    {
        const QString probe = qEnvironmentVariable("ZORVEL_BUILD_DIR") + "/tests/probe_save_images";
        QVERIFY2(QFileInfo(probe).isExecutable(), qPrintable(probe));
        QTemporaryDir dir;
        const QString folder = dir.filePath("shared");
        const int count = 100;
        const QList<quint32> seeds = {1000, 2000};
        QSet<QByteArray> expected;
        std::vector<std::unique_ptr<QProcess>> programs;
        for (const quint32 seed : seeds) {
            for (int i = 0; i < count; ++i)
                expected.insert(pixelDigest(noiseImage(QSize(64, 48), seed + quint32(i))));
            auto program = std::make_unique<QProcess>();
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_CONFIG_HOME", dir.filePath(QString("config%1").arg(seed)));
            program->setProcessEnvironment(environment);
            program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            program->start(probe, {folder, "Cap", QString::number(count), QString::number(seed)});
            QVERIFY(program->waitForStarted(10000));
            programs.push_back(std::move(program));
        }
        QCOMPARE(expected.size(), 2 * count);
        // Each waits for its signal with its settings read: both start saving at once.
        for (const auto& program : programs)
            QTRY_VERIFY_WITH_TIMEOUT(program->canReadLine() || program->state() != QProcess::Running, 20000);
        for (const auto& program : programs) {
            QCOMPARE(program->readLine(), QByteArray("ready\n"));
            program->write("go\n");
            QVERIFY(program->waitForBytesWritten(5000));
        }
        for (const auto& program : programs) {
            QVERIFY(program->waitForFinished(120000));
            QCOMPARE(program->exitCode(), 0);
            QCOMPARE(program->readAllStandardOutput(), QByteArray::number(count) + " saved\n");
        }

        const QStringList files = filesIn(folder);
        QCOMPARE(files.size(), 2 * count);
        for (const QString& name : files) {
            const QImage read = QImageReader(QDir(folder).filePath(name)).read();
            QVERIFY2(!read.isNull(), qPrintable(name));
            QVERIFY2(expected.remove(pixelDigest(read)), qPrintable(name + " holds no capture, or one twice"));
        }
        QVERIFY(expected.isEmpty());
    }

    // A long name template saves every capture of a second: the counter
    // shortens the name instead of passing the file system's limit.
    void longNamePatternsSaveEveryCapture_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("250 characters") << QString(250, 'x');
        QTest::newRow("300 characters") << QString(300, 'x');
        QTest::newRow("300 bytes of three-byte characters") << QString(100, QChar(0x20AC));
    }
    void longNamePatternsSaveEveryCapture()
    {
        QFETCH(QString, pattern);
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), pattern);
        for (int save = 0; save < 3; ++save) {
            DUtility::SaveReport report;
            QVERIFY2(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report),
                     qPrintable(report.path));
            QVERIFY(pattern.startsWith(QFileInfo(report.path).completeBaseName().section('[', 0, 0)));
            QCOMPARE(QImageReader(report.path).read().size(), halfTransparentImage().size());
        }
        QCOMPARE(filesIn(dir.path()).size(), 3);
    }

    void pngKeepsAlpha()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("TargetFormat", 0);
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QImageReader reader(dir.filePath("Cap.png"));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage read = reader.read();
        QVERIFY(read.hasAlphaChannel());
        QCOMPARE(qAlpha(read.pixel(30, 10)), 0);
        QCOMPARE(read.pixel(5, 10), qRgba(255, 0, 0, 255));
    }

    void jpgIsJpegAtTheStoredQualityOverWhite_data()
    {
        QTest::addColumn<int>("quality");
        QTest::newRow("default") << -1;
        QTest::newRow("10") << 10;
        QTest::newRow("95") << 95;
    }
    void jpgIsJpegAtTheStoredQualityOverWhite()
    {
        QFETCH(int, quality);
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("TargetFormat", 1);
        if (quality >= 0)
            settings()->setValue("JpgQuality", quality);
        const QImage image = halfTransparentImage();
        QVERIFY(DUtility::saveImage(nullptr, image, DD::ImageFile, false));

        QFile file(dir.filePath("Cap.jpg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QVERIFY(written.startsWith("\xFF\xD8\xFF"));

        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPG");
        writer.setQuality(quality >= 0 ? quality : 75);
        QVERIFY(writer.write(DUtility::discardImageTransparency(image)));
        QCOMPARE(written, expected);

        const QImage read = QImage::fromData(written);
        QVERIFY(qRed(read.pixel(35, 10)) > 240 && qGreen(read.pixel(35, 10)) > 240 && qBlue(read.pixel(35, 10)) > 240);
    }

    void bmpIsFlattenedOverWhite()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("TargetFormat", 2);
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QImageReader reader(dir.filePath("Cap.bmp"));
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage read = reader.read();
        QVERIFY(!read.hasAlphaChannel());
        QCOMPARE(read.pixel(30, 10), qRgb(255, 255, 255));
        QCOMPARE(read.pixel(5, 10), qRgb(255, 0, 0));
    }

    // A stored number outside its key's range reads as the key's default, so
    // that saving does what the settings page shows (PNG, automatic names)
    // instead of failing on every capture.
    void outOfRangeTargetFormatSavesAsPng_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("7") << "7";
        QTest::newRow("negative") << "-1";
        QTest::newRow("no number") << "jpeg";
    }
    void outOfRangeTargetFormatSavesAsPng()
    {
        QFETCH(QString, stored);
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("TargetFormat", stored);
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QCOMPARE(filesIn(dir.path()), QStringList({ "Cap.png" }));
        QCOMPARE(QImageReader(dir.filePath("Cap.png")).format(), QByteArray("png"));
    }

    void outOfRangeNameMethodNamesAutomatically()
    {
        QTemporaryDir dir;
        useAutomaticNames(dir.path(), "Cap");
        settings()->setValue("NameMethod", 9);
        QCOMPARE(DUtility::makeTargetFilePath(nullptr, false), dir.filePath("Cap.png"));
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QCOMPARE(filesIn(dir.path()), QStringList({ "Cap.png" }));
    }

    void flatteningKeepsThePixelSize_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("ratio 1") << 1.0;
        QTest::newRow("ratio 2") << 2.0;
        QTest::newRow("ratio 1.5") << 1.5;
    }
    void flatteningKeepsThePixelSize()
    {
        QFETCH(qreal, ratio);
        QImage image(30, 20, QImage::Format_ARGB32);
        image.fill(qRgba(0, 0, 255, 255));
        image.setPixel(29, 19, qRgba(0, 255, 0, 255));
        image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        image.setDevicePixelRatio(ratio);
        const QImage flat = DUtility::discardImageTransparency(image);
        QCOMPARE(flat.size(), QSize(30, 20));
        QCOMPARE(flat.devicePixelRatio(), 1.0);
        QVERIFY(!flat.hasAlphaChannel());
        QCOMPARE(flat.pixel(29, 19), qRgb(0, 255, 0));
        QCOMPARE(flat.pixel(28, 19), qRgb(0, 0, 255));
        QCOMPARE(flat.pixel(0, 0), qRgb(255, 255, 255));
    }

    void flatteningBlendsOverWhite()
    {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0, 0, 0, 128));
        image.setPixel(1, 0, qRgba(0, 0, 0, 0));
        const QImage flat = DUtility::discardImageTransparency(image);
        QVERIFY(qAbs(qRed(flat.pixel(0, 0)) - 127) <= 2);
        QCOMPARE(flat.pixel(1, 0), qRgb(255, 255, 255));
    }

    void scrollingGrabIsNull()
    {
        QVERIFY(DUtility::grabScrollingWindow(QRect(0, 0, 100, 100)).isNull());
    }

    void askedNameGetsTheExtensionAndTheFolderIsRemembered()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        settings()->setValue("AutomaticSaveFolder", dir.path());
        QString title, filter, startFolder;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filter = dialog->nameFilters().value(0);
            startFolder = dialog->directory().absolutePath();
            typeFileNameAndAccept(dialog, dir.filePath("picture"));
        });
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QCOMPARE(title, QString("Save File"));
        QCOMPARE(filter, QString("Images (*.png)"));
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());
        QCOMPARE(report.path, dir.filePath("picture.png"));
        QVERIFY(QFile::exists(dir.filePath("picture.png")));
        QCOMPARE(settings()->value("LastFilePath").toString(), dir.path());

        // The next dialog opens where the last file went.
        QTemporaryDir other;
        settings()->setValue("AutomaticSaveFolder", other.path());
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            startFolder = dialog->directory().absolutePath();
            dialog->reject();
        });
        QVERIFY(DUtility::makeTargetFilePath(nullptr, false).isEmpty());
        QCOMPARE(startFolder, QDir(dir.path()).absolutePath());
    }

    void cancelledDialogWritesNothingAndKeepsTheLastFolder()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 1);
        settings()->setValue("AutomaticSaveFolder", dir.path());
        settings()->setValue("LastFilePath", "/somewhere/else");
        bool asked = false;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            asked = true;
            dialog->reject();
        });
        DUtility::SaveReport report;
        // alwaysAsk overrides the automatic naming.
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, true, &report));
        QVERIFY(asked);
        QVERIFY(report.cancelled);
        QCOMPARE(settings()->value("LastFilePath").toString(), QString("/somewhere/else"));
        QVERIFY(filesIn(dir.path()).isEmpty());
    }

    void jpgIsWrittenWhateverTheTypedSuffix()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        settings()->setValue("TargetFormat", 1);
        whenModal<QFileDialog>([&](QFileDialog* dialog) { typeFileNameAndAccept(dialog, dir.filePath("odd.png")); });
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QFile file(dir.filePath("odd.png"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("\xFF\xD8\xFF"));
    }

    void pngAndBmpFollowTheTypedSuffix_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("PNG chosen, .bmp typed") << 0 << "a.bmp" << QByteArray("bmp");
        QTest::newRow("BMP chosen, .png typed") << 2 << "b.png" << QByteArray("png");
        QTest::newRow("BMP chosen, no suffix typed") << 2 << "c" << QByteArray("bmp");
    }
    void pngAndBmpFollowTheTypedSuffix()
    {
        QFETCH(int, format);
        QFETCH(QString, name);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        settings()->setValue("TargetFormat", format);
        whenModal<QFileDialog>([&](QFileDialog* dialog) { typeFileNameAndAccept(dialog, dir.filePath(name)); });
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QCOMPARE(QImageReader(report.path).format(), written);
    }

    void suffixThatNamesNoFormatWritesNothing()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        settings()->setValue("TargetFormat", 0);
        whenModal<QFileDialog>([&](QFileDialog* dialog) { typeFileNameAndAccept(dialog, dir.filePath("shot.xyz")); });
        DUtility::SaveReport report;
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY(!report.cancelled);
        QCOMPARE(report.path, dir.filePath("shot.xyz"));
        QVERIFY(filesIn(dir.path()).isEmpty());
    }

    // A typed name that holds a NUL names no file: nothing is written, also
    // not under the part of the name before it, and the save fails.
    void askedNameHoldingANulWritesNothing()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        whenModal<QFileDialog>(
            [&](QFileDialog* dialog) { typeFileNameAndAccept(dialog, dir.filePath(QString("shot") + QChar(0) + "x")); });
        DUtility::SaveReport report;
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY(!report.cancelled);
        QCOMPARE(everythingUnder(dir.path()), QStringList());
    }

    void overwriteQuestionConcernsTheFinalName()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        QFile existing(dir.filePath("shot.png"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("old");
        existing.close();
        QString question;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            whenModal<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->accept();
            });
            typeFileNameAndAccept(dialog, dir.filePath("shot"));
        });
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QVERIFY(question.contains("shot.png"));
        QCOMPARE(QImageReader(dir.filePath("shot.png")).format(), QByteArray("png"));
    }

    // Qt's dialog tests the whole typed path for a dot: a path typed into a
    // folder such as "j.doe" still gets the format's suffix.
    void typedPathInADottedFolderGetsTheSuffix_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("png") << 0 << "picture" << "picture.png";
        QTest::newRow("jpg") << 1 << "picture" << "picture.jpg";
        QTest::newRow("bmp, name ending in a dot") << 2 << "picture." << "picture.bmp";
        QTest::newRow("suffix typed") << 0 << "picture.bmp" << "picture.bmp";
    }
    void typedPathInADottedFolderGetsTheSuffix()
    {
        QFETCH(int, format);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir dir;
        const QString folder = dir.filePath("j.doe/Desktop");
        QVERIFY(QDir().mkpath(folder));
        settings()->setValue("NameMethod", 0);
        settings()->setValue("TargetFormat", format);
        settings()->setValue("AutomaticSaveFolder", folder);
        whenModal<QFileDialog>([&](QFileDialog* dialog) { typeFileNameAndAccept(dialog, folder + "/" + typed); });
        DUtility::SaveReport report;
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QCOMPARE(report.path, folder + "/" + written);
        QCOMPARE(filesIn(folder), QStringList{written});
        QVERIFY(!QImageReader(report.path).read().isNull());
        QCOMPARE(settings()->value("LastFilePath").toString(), folder);
    }

    // The question about overwriting names the file that would be written;
    // "No" keeps the dialog open and the file as it was.
    void overwriteIsAskedUnderTheFinalNameInADottedFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("j.doe");
        QVERIFY(QDir().mkpath(folder));
        settings()->setValue("NameMethod", 0);
        settings()->setValue("AutomaticSaveFolder", folder);
        QFile existing(folder + "/shot.png");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("old");
        existing.close();
        QStringList questions;
        bool stayedOpen = false;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            whenModal<QMessageBox>([&, dialog](QMessageBox* box) {
                questions << box->text();
                box->button(QMessageBox::No)->click();
                QTimer::singleShot(100, dialog, [&, dialog] {
                    stayedOpen = dialog->isVisible();
                    dialog->reject();
                });
            });
            typeFileNameAndAccept(dialog, folder + "/shot");
        });
        DUtility::SaveReport report;
        QVERIFY(!DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QVERIFY(report.cancelled);
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions.first().contains(folder + "/shot.png"), qPrintable(questions.first()));
        QVERIFY(stayedOpen);
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("old"));
        existing.close();

        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            whenModal<QMessageBox>([&](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
            typeFileNameAndAccept(dialog, folder + "/shot");
        });
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false, &report));
        QCOMPARE(report.path, folder + "/shot.png");
        QCOMPARE(QImageReader(report.path).format(), QByteArray("png"));
    }

    // A folder that does not exist (a fresh account without a Desktop, a
    // remembered folder since removed) opens the dialog in the nearest folder
    // above it that does, with nothing typed in.
    void dialogOpensInTheNearestExistingFolder_data()
    {
        QTest::addColumn<QString>("lastFilePath");
        QTest::addColumn<QString>("saveFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("save folder exists") << "" << "pictures" << "pictures";
        QTest::newRow("save folder missing") << "" << "pictures/Desktop" << "pictures";
        QTest::newRow("remembered folder missing") << "gone/deeper" << "pictures" << "";
        QTest::newRow("remembered folder exists") << "pictures" << "elsewhere" << "pictures";
    }
    void dialogOpensInTheNearestExistingFolder()
    {
        QFETCH(QString, lastFilePath);
        QFETCH(QString, saveFolder);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("pictures")));
        settings()->setValue("NameMethod", 0);
        settings()->setValue("AutomaticSaveFolder", dir.filePath(saveFolder));
        if (!lastFilePath.isEmpty())
            settings()->setValue("LastFilePath", dir.filePath(lastFilePath));
        QString startFolder;
        QString typed = "unread";
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            startFolder = dialog->directory().absolutePath();
            typed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            dialog->reject();
        });
        QVERIFY(DUtility::makeTargetFilePath(nullptr, false).isEmpty());
        QCOMPARE(startFolder, QDir(dir.filePath(expected)).absolutePath());
        QCOMPARE(typed, QString());
        // Nothing is created for a dialog that was only looked at.
        QVERIFY(!QFileInfo::exists(dir.filePath("pictures/Desktop")));
    }

    void outOfRangeTargetFormatInTheDialogIsPng()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 0);
        settings()->setValue("TargetFormat", 9);
        QString filter;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            filter = dialog->nameFilters().value(0);
            typeFileNameAndAccept(dialog, dir.filePath("x"));
        });
        QVERIFY(DUtility::saveImage(nullptr, halfTransparentImage(), DD::ImageFile, false));
        QCOMPARE(filter, QString("Images (*.png)"));
        QCOMPARE(filesIn(dir.path()), QStringList({ "x.png" }));
        QCOMPARE(QImageReader(dir.filePath("x.png")).format(), QByteArray("png"));
    }
};

int main(int argc, char** argv)
{
    // Before any thread starts: mounts of this test's own, for the full disk.
    const bool mayMount = enterPrivateMountNamespace();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_CaptureOutput test(mayMount);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_CaptureOutput.moc"
