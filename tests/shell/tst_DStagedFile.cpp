// The staged file where someone else may write into the folder too.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "DFileSystemWithoutLinks.h"
#include "DStagedFile.h"

namespace {

mode_t accessOf(const QString& path)
{
    struct stat entry;
    return ::lstat(QFile::encodeName(path).constData(), &entry) == 0 ? (entry.st_mode & 07777) : mode_t(-1);
}

bool makeFile(const QString& path, mode_t access)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("kept") == 4
        && ::chmod(QFile::encodeName(path).constData(), access) == 0;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QString shotName(qint64 counter)
{
    return counter == 0 ? QStringLiteral("shot.png") : QStringLiteral("shot[%1].png").arg(counter);
}

bool writeImage(QIODevice* device)
{
    return device->write("image") == 5;
}

} // namespace

class tst_DStagedFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replacingKeepsTheAccessOfTheReplacedFile();
    void replacingNeverReachesThroughALinkPlantedMeanwhile();
    void freeNameIsOneThatNoEntryHolds_data();
    void freeNameIsOneThatNoEntryHolds();
    void failedPlacingLeavesNothingOfItsOwn();
    void failedPlacingKeepsWhatAnotherPutAtTheName();
};

// Run once more as tst_DStagedFileWithoutLinks, where every file is placed the
// way a file system without rename flags and hard links allows.
void tst_DStagedFile::initTestCase()
{
    if (runsWithoutLinks())
        QVERIFY2(linksAreRefused(), "preload_without_links is not in effect");
}

void tst_DStagedFile::replacingKeepsTheAccessOfTheReplacedFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("shot.png");
    QVERIFY(makeFile(path, 0640));
    DStagedFile file(folder.path());
    QVERIFY(file.write([](QIODevice* device) { return device->write("image") == 5; }));
    QVERIFY(file.placeReplacing("shot.png"));
    QCOMPARE(accessOf(path), mode_t(0640));
    QFile placed(path);
    QVERIFY(placed.open(QIODevice::ReadOnly));
    QCOMPARE(placed.readAll(), QByteArray("image"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"shot.png"});
}

// Another user who may write into the folder puts a link in place of the
// staged file while it is written, aimed at a private file of the user. The
// replaced file's access is given to the staged file only, never to whatever
// the link leads to.
void tst_DStagedFile::replacingNeverReachesThroughALinkPlantedMeanwhile()
{
    QTemporaryDir folder;
    QTemporaryDir home;
    const QString secret = home.filePath("id_key");
    QVERIFY(makeFile(secret, 0600));
    QVERIFY(makeFile(folder.filePath("shot.png"), 0664));

    DStagedFile file(folder.path());
    bool planted = false;
    QVERIFY(file.write([&](QIODevice* device) {
        const QStringList staged = QDir(folder.path()).entryList({".*.part"}, QDir::Files | QDir::Hidden);
        const QByteArray stagedPath = QFile::encodeName(folder.filePath(staged.value(0)));
        planted = staged.size() == 1 && ::unlink(stagedPath.constData()) == 0
            && ::symlink(QFile::encodeName(secret).constData(), stagedPath.constData()) == 0;
        return device->write("image") == 5;
    }));
    QVERIFY(planted);
    file.placeReplacing("shot.png");

    QCOMPARE(accessOf(secret), mode_t(0600));
}

// Entries of every kind at the first names, left as they are: the file gets
// the first name that none holds, and is never written through a link nor
// opened where a pipe is (which would wait for ever for a reader).
void tst_DStagedFile::freeNameIsOneThatNoEntryHolds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("held");
    QTest::newRow("nothing") << "file" << 0;
    QTest::newRow("files") << "file" << 2;
    QTest::newRow("links that lead nowhere") << "dangling link" << 2;
    QTest::newRow("links to a file elsewhere") << "link" << 1;
    QTest::newRow("folder") << "folder" << 1;
    QTest::newRow("pipe") << "pipe" << 1;
}
void tst_DStagedFile::freeNameIsOneThatNoEntryHolds()
{
    QFETCH(QString, kind);
    QFETCH(int, held);
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("autostart.desktop");
    QVERIFY(makeFile(target, 0600));
    for (int n = 0; n < held; ++n) {
        const QByteArray path = QFile::encodeName(folder.filePath(shotName(n)));
        if (kind == "file")
            QVERIFY(makeFile(folder.filePath(shotName(n)), 0644));
        else if (kind == "dangling link")
            QVERIFY(::symlink(QFile::encodeName(elsewhere.filePath("missing")).constData(), path.constData()) == 0);
        else if (kind == "link")
            QVERIFY(::symlink(QFile::encodeName(target).constData(), path.constData()) == 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(folder.filePath(shotName(n))));
        else
            QVERIFY(::mkfifo(path.constData(), 0644) == 0);
    }
    QStringList expected = entriesOf(folder.path());
    const QStringList elsewhereBefore = entriesOf(elsewhere.path());

    DStagedFile file(folder.path());
    QVERIFY(file.write(writeImage));
    QCOMPARE(file.placeUnderFreeName(shotName), shotName(held));

    expected << shotName(held);
    expected.sort();
    QCOMPARE(entriesOf(folder.path()), expected);
    QCOMPARE(contentOf(folder.filePath(shotName(held))), QByteArray("image"));
    QCOMPARE(entriesOf(elsewhere.path()), elsewhereBefore);
    QCOMPARE(contentOf(target), QByteArray("kept"));
    for (int n = 0; n < held && kind == "file"; ++n)
        QCOMPARE(contentOf(folder.filePath(shotName(n))), QByteArray("kept"));
}

// The written file goes missing before it is placed (someone cleaned the
// folder): nothing is placed, and nothing placing it made stays behind.
void tst_DStagedFile::failedPlacingLeavesNothingOfItsOwn()
{
    QTemporaryDir folder;
    DStagedFile file(folder.path());
    QVERIFY(file.write([&](QIODevice* device) {
        for (const QString& staged : entriesOf(folder.path()))
            QFile::remove(folder.filePath(staged));
        return writeImage(device);
    }));
    QCOMPARE(file.placeUnderFreeName(shotName), QString());
    QCOMPARE(entriesOf(folder.path()), QStringList());
}

// Where the name is held only by a file made for the purpose before the file
// is renamed over it, someone else may take the name in between, and the
// rename may still fail: what they put there stays.
void tst_DStagedFile::failedPlacingKeepsWhatAnotherPutAtTheName()
{
    if (!runsWithoutLinks())
        QSKIP("names are held that way only where links are refused: see tst_DStagedFileWithoutLinks");
    QTemporaryDir folder;
    DStagedFile file(folder.path());
    QVERIFY(file.write(writeImage));
    qputenv("ZORVEL_RENAME_AFTER_ANOTHER", "1");
    const QString placed = file.placeUnderFreeName(shotName);
    qunsetenv("ZORVEL_RENAME_AFTER_ANOTHER");
    QCOMPARE(placed, QString());
    QCOMPARE(entriesOf(folder.path()), QStringList{shotName(0)});
    QCOMPARE(contentOf(folder.filePath(shotName(0))), QByteArray("theirs"));
}

QTEST_GUILESS_MAIN(tst_DStagedFile)
#include "tst_DStagedFile.moc"
