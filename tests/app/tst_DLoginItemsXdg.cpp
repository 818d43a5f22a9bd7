#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "DFakeLoginItems.h"
#include "DInstalledService.h"
#include "DLoginItemsXdg.h"
#include "DUtility.h"

namespace {

QString autostartFolder()
{
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/autostart";
}

QString executable()
{
    return QCoreApplication::applicationFilePath();
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QStringList desktopFiles(const QString& folder = autostartFolder())
{
    return QDir(folder).entryList({"*.desktop"}, QDir::Files, QDir::Name);
}

// The raw value of a key of the entry, with the format's escapes undone.
QString entryValue(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (const QString& line : lines) {
        if (!line.startsWith(key + "="))
            continue;
        QString value = line.mid(key.size() + 1);
        value.replace("\\\\", "\x01").replace("\\s", " ").replace("\\n", "\n").replace("\\t", "\t");
        value.replace("\x01", "\\");
        return value;
    }
    return QString();
}

QString execOf(const QString& path)
{
    return entryValue(path, "Exec");
}

} // namespace

class tst_DLoginItemsXdg : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void defaultFolderIsTheUsersAutostartFolder();
    void addWritesOneEntryThatRunsThisExecutable();
    void addingAgainCreatesNoSecondEntry();
    void addKeepsAnExistingEntryOfAnotherName();
    void addReplacesASwitchedOffEntryOfItsOwn();
    void containsFindsEntriesOfThisExecutableOnly();
    void removeDeletesEveryMatchingEntryAndNothingElse();
    void removeWithoutEntriesReportsNothing();
    void entryNamingTheExecutableThroughALinkMatches();
    void awkwardExecutablePathsRoundTrip_data();
    void awkwardExecutablePathsRoundTrip();
    void splitExec_data();
    void splitExec();
    void unwritableFolderFailsQuietly();
    void pipeInTheFolderIsLeftAlone();
    void utilityGoesThroughTheCurrentImplementation();

private:
    DLoginItemsXdg m_items;
};

void tst_DLoginItemsXdg::init()
{
    QDir(autostartFolder()).removeRecursively();
}

void tst_DLoginItemsXdg::defaultFolderIsTheUsersAutostartFolder()
{
    QVERIFY(!qgetenv("XDG_CONFIG_HOME").isEmpty());
    QCOMPARE(m_items.autostartFolder(), autostartFolder());
    QCOMPARE(m_items.executablePath(), executable());
    QCOMPARE(m_items.entryFilePath(), autostartFolder() + "/tst_DLoginItemsXdg.desktop");
}

void tst_DLoginItemsXdg::addWritesOneEntryThatRunsThisExecutable()
{
    QVERIFY(!m_items.contains());
    m_items.add();
    QCOMPARE(desktopFiles(), QStringList{"tst_DLoginItemsXdg.desktop"});
    const QString path = autostartFolder() + "/tst_DLoginItemsXdg.desktop";
    QCOMPARE(entryValue(path, "Type"), QStringLiteral("Application"));
    QCOMPARE(DLoginItemsXdg::splitExec(execOf(path)), (QStringList{executable(), "/autorun"}));
    QVERIFY(m_items.contains());
}

void tst_DLoginItemsXdg::addingAgainCreatesNoSecondEntry()
{
    m_items.add();
    m_items.add();
    DLoginItemsXdg().add();
    QCOMPARE(desktopFiles().size(), 1);
}

void tst_DLoginItemsXdg::addKeepsAnExistingEntryOfAnotherName()
{
    writeFile(autostartFolder() + "/older.desktop",
              "[Desktop Entry]\nType=Application\nExec=" + executable().toLocal8Bit() + " /autorun\n");
    m_items.add();
    QCOMPARE(desktopFiles(), QStringList{"older.desktop"});
}

void tst_DLoginItemsXdg::addReplacesASwitchedOffEntryOfItsOwn()
{
    const QString path = m_items.entryFilePath();
    writeFile(path, "[Desktop Entry]\nType=Application\nHidden=true\nExec=" + executable().toLocal8Bit()
                        + " /autorun\n");
    m_items.add();
    QCOMPARE(desktopFiles().size(), 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("Hidden"));
}

void tst_DLoginItemsXdg::containsFindsEntriesOfThisExecutableOnly()
{
    writeFile(autostartFolder() + "/other.desktop", "[Desktop Entry]\nExec=/usr/bin/other /autorun\n");
    writeFile(autostartFolder() + "/prefix.desktop",
              "[Desktop Entry]\nExec=" + executable().toLocal8Bit() + "-helper\n");
    writeFile(autostartFolder() + "/elsewhere.desktop",
              "[Other Group]\nExec=" + executable().toLocal8Bit() + "\n");
    writeFile(autostartFolder() + "/broken.desktop", QByteArray("\x00\xff\xfe[Desktop", 9));
    QVERIFY(!m_items.contains());

    writeFile(autostartFolder() + "/mine.desktop",
              "# started at login\n[Desktop Entry]\nName=x\nExec = \"" + executable().toLocal8Bit()
                  + "\" /autorun\n");
    QVERIFY(m_items.contains());
}

void tst_DLoginItemsXdg::removeDeletesEveryMatchingEntryAndNothingElse()
{
    m_items.add();
    writeFile(autostartFolder() + "/duplicate.desktop",
              "[Desktop Entry]\nExec=" + executable().toLocal8Bit() + "\n");
    writeFile(autostartFolder() + "/switched-off.desktop",
              "[Desktop Entry]\nHidden=true\nExec=" + executable().toLocal8Bit() + " /autorun\n");
    writeFile(autostartFolder() + "/other.desktop", "[Desktop Entry]\nExec=/usr/bin/other\n");
    writeFile(autostartFolder() + "/no-exec.desktop", "[Desktop Entry]\nName=none\n");
    writeFile(autostartFolder() + "/notes.txt", "Exec=" + executable().toLocal8Bit() + "\n");

    QVERIFY(m_items.remove());
    QCOMPARE(desktopFiles(), (QStringList{"no-exec.desktop", "other.desktop"}));
    QVERIFY(QFile::exists(autostartFolder() + "/notes.txt"));
    QVERIFY(!m_items.contains());
}

void tst_DLoginItemsXdg::removeWithoutEntriesReportsNothing()
{
    QVERIFY(!m_items.remove());
    writeFile(autostartFolder() + "/other.desktop", "[Desktop Entry]\nExec=/usr/bin/other\n");
    QVERIFY(!m_items.remove());
    QCOMPARE(desktopFiles(), QStringList{"other.desktop"});
}

void tst_DLoginItemsXdg::entryNamingTheExecutableThroughALinkMatches()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("linked-program");
    QVERIFY(QFile::link(executable(), link));
    writeFile(autostartFolder() + "/linked.desktop",
              "[Desktop Entry]\nExec=" + link.toLocal8Bit() + " /autorun\n");
    QVERIFY(m_items.contains());
}

void tst_DLoginItemsXdg::awkwardExecutablePathsRoundTrip_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("space") << "my program";
    QTest::newRow("quote") << "say \"cheese\"";
    QTest::newRow("dollar and backtick") << "$HOME`x`";
    QTest::newRow("backslash") << "back\\slash";
    QTest::newRow("percent") << "100%f";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Bildschirmfoto-\xc3\xa4");
    QTest::newRow("line break and tab") << "two\nlines\tand tab";
}

void tst_DLoginItemsXdg::awkwardExecutablePathsRoundTrip()
{
    QFETCH(QString, fileName);
    QTemporaryDir dir;
    const QString program = dir.filePath(fileName);
    writeFile(program, "#!/bin/sh\n");
    const QString folder = dir.filePath("autostart");
    DLoginItemsXdg items(folder, program, "Zorvelshot");
    items.add();
    QCOMPARE(desktopFiles(folder), QStringList{"Zorvelshot.desktop"});
    QCOMPARE(DLoginItemsXdg::splitExec(execOf(folder + "/Zorvelshot.desktop")).value(0), program);
    // The entry keeps its one Exec line and gains no other key.
    QFile entry(folder + "/Zorvelshot.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QCOMPARE(entry.readAll().count('\n'), 5);
    QVERIFY(items.contains());
    // Another program with a similar name is not mistaken for this one.
    QVERIFY(!DLoginItemsXdg(folder, program + "x", "Zorvelshot").contains());
    QVERIFY(items.remove());
    QVERIFY(desktopFiles(folder).isEmpty());
}

void tst_DLoginItemsXdg::splitExec_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain") << "/usr/bin/a /autorun" << QStringList{"/usr/bin/a", "/autorun"};
    QTest::newRow("extra spaces") << "  /usr/bin/a   -x  " << QStringList{"/usr/bin/a", "-x"};
    QTest::newRow("quoted") << "\"/opt/my app/a\" /autorun" << QStringList{"/opt/my app/a", "/autorun"};
    QTest::newRow("escaped quote") << "\"/opt/a\\\"b\"" << QStringList{"/opt/a\"b"};
    QTest::newRow("percent") << "/opt/a%%b %U" << QStringList{"/opt/a%b", "%U"};
    QTest::newRow("unterminated quote") << "\"/opt/a /autorun" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
}

void tst_DLoginItemsXdg::splitExec()
{
    QFETCH(QString, exec);
    QFETCH(QStringList, arguments);
    QCOMPARE(DLoginItemsXdg::splitExec(exec), arguments);
}

void tst_DLoginItemsXdg::unwritableFolderFailsQuietly()
{
    // A file where the autostart folder should be: nothing can be written.
    writeFile(autostartFolder(), "not a folder");
    m_items.add();
    QVERIFY(!m_items.contains());
    QVERIFY(!m_items.remove());
    QVERIFY(QFileInfo(autostartFolder()).isFile());
    QFile::remove(autostartFolder());
}

void tst_DLoginItemsXdg::pipeInTheFolderIsLeftAlone()
{
    // Reading a pipe would wait for a writer: only regular files are entries.
    QVERIFY(QDir().mkpath(autostartFolder()));
    const QString pipe = autostartFolder() + "/pipe.desktop";
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!m_items.contains());
    m_items.add();
    QVERIFY(m_items.contains());
    QVERIFY(m_items.remove());
    QVERIFY(!m_items.contains());
    QVERIFY(QFileInfo::exists(pipe));
    QVERIFY(!QFileInfo(pipe).isFile());
}

void tst_DLoginItemsXdg::utilityGoesThroughTheCurrentImplementation()
{
    const DInstalledService<DLoginItems> platform(&m_items);
    {
        DFakeLoginItems fake;
        DUtility::addAppAsLoginItem();
        QCOMPARE(fake.adds, 1);
        QVERIFY(DUtility::deleteAppFromLoginItem(true));
        QCOMPARE(fake.removes, 0);
        QVERIFY(DUtility::deleteAppFromLoginItem(false));
        QCOMPARE(fake.removes, 1);
        QVERIFY(!DUtility::deleteAppFromLoginItem(true));
        DUtility::setAutoRun(true);
        QCOMPARE(fake.adds, 2);
        DUtility::setAutoRun(false);
        QCOMPARE(fake.removes, 2);
        QVERIFY(desktopFiles().isEmpty());
    }
    // The fake gone, the platform's own is back: the real entries in the
    // private autostart folder.
    DUtility::setAutoRun(true);
    QCOMPARE(desktopFiles().size(), 1);
    QVERIFY(DUtility::deleteAppFromLoginItem(true));
    QCOMPARE(desktopFiles().size(), 1);
    DUtility::setAutoRun(false);
    QVERIFY(desktopFiles().isEmpty());
    QVERIFY(!DUtility::deleteAppFromLoginItem(true));
}

QTEST_GUILESS_MAIN(tst_DLoginItemsXdg)
#include "tst_DLoginItemsXdg.moc"
