// The staged file where someone else may write into the folder too.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

class tst_DStagedFile : public QObject
{
    Q_OBJECT

private slots:
    void replacingKeepsTheAccessOfTheReplacedFile();
    void replacingNeverReachesThroughALinkPlantedMeanwhile();
};

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

QTEST_GUILESS_MAIN(tst_DStagedFile)
#include "tst_DStagedFile.moc"
