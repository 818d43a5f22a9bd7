// The Debian package built by CPack from the build folder: its name, its
// files below /usr, the dependencies computed from its binaries, and nothing
// that would stay behind when it is removed.
#include "DInstalledTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

class tst_DebianPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void nameCarriesVersionAndArchitecture();
    void installsBelowUsrOnly();
    void holdsProgramLinkLibrariesEntryAndIcons_data();
    void holdsProgramLinkLibrariesEntryAndIcons();
    void packagedProgramFindsThePackagedLibraries();
    void menuEntryStartsThePackagedLauncher();
    void dependsOnThePackagesOfEveryLibraryItLoads();
    void removingLeavesNothingBehind();

private:
    QString field(const QString& name) const;
    // The files below the extracted package that are ELF binaries.
    QStringList extractedBinaries() const;

    QTemporaryDir m_work;
    QString m_package;
    QString m_architecture;
    // Each entry of the package's contents: "./usr/bin/zorvelshot -> ../libexec/...".
    QStringList m_contents;
    QString m_extracted;
};

void tst_DebianPackage::initTestCase()
{
    QVERIFY(m_work.isValid());
    const DToolRun architecture = runTool("dpkg", {"--print-architecture"});
    QCOMPARE(architecture.exitCode, 0);
    m_architecture = architecture.output.trimmed();

    // Built in a folder of this test, not in the build or source folder.
    const QString buildFolder = qEnvironmentVariable("ZORVEL_BUILD_DIR");
    const DToolRun pack = runTool(ZORVEL_CPACK_COMMAND,
                                  {"-G", "DEB", "--config", buildFolder + "/CPackConfig.cmake", "-B", m_work.path()},
                                  QProcessEnvironment::systemEnvironment(), 800000);
    QVERIFY2(pack.exitCode == 0, qPrintable(pack.output));
    const QStringList packages = QDir(m_work.path()).entryList({"*.deb"}, QDir::Files);
    QCOMPARE(packages.size(), 1);
    m_package = m_work.filePath(packages.first());

    const DToolRun contents = runTool("dpkg-deb", {"--contents", m_package});
    QCOMPARE(contents.exitCode, 0);
    // "drwxr-xr-x root/root 0 2024-01-01 00:00 ./usr/bin/": the path is the sixth column on.
    for (const QString& line : contents.output.split('\n', Qt::SkipEmptyParts))
        m_contents << line.section(QRegularExpression("\\s+"), 5);

    m_extracted = m_work.filePath("extracted");
    QCOMPARE(runTool("dpkg-deb", {"--extract", m_package, m_extracted}).exitCode, 0);
}

QString tst_DebianPackage::field(const QString& name) const
{
    return runTool("dpkg-deb", {"--field", m_package, name}).output.trimmed();
}

QStringList tst_DebianPackage::extractedBinaries() const
{
    QStringList binaries;
    QDirIterator it(m_extracted, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (runTool("file", {"--brief", file}).output.startsWith("ELF"))
            binaries << file;
    }
    return binaries;
}

void tst_DebianPackage::nameCarriesVersionAndArchitecture()
{
    QCOMPARE(QFileInfo(m_package).fileName(),
             QStringLiteral("zorvelshot_" ZORVEL_VERSION "_%1.deb").arg(m_architecture));
    QCOMPARE(field("Package"), QStringLiteral("zorvelshot"));
    QCOMPARE(field("Version"), QStringLiteral(ZORVEL_VERSION));
    QCOMPARE(field("Architecture"), m_architecture);
    QVERIFY(!field("Maintainer").isEmpty());
    QVERIFY(!field("Description").isEmpty());
}

void tst_DebianPackage::installsBelowUsrOnly()
{
    QVERIFY(!m_contents.isEmpty());
    const QString buildFolder = QFileInfo(qEnvironmentVariable("ZORVEL_BUILD_DIR")).canonicalFilePath();
    for (const QString& entry : m_contents) {
        QVERIFY2(entry == "./" || entry == "./usr/" || entry.startsWith("./usr/"), qPrintable(entry));
        QVERIFY2(!entry.startsWith("./usr/local/"), qPrintable(entry));
        QVERIFY2(!entry.contains(buildFolder), qPrintable(entry));
    }
}

void tst_DebianPackage::holdsProgramLinkLibrariesEntryAndIcons_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("program") << "./usr/libexec/zorvelshot/Zorvelshot";
    QTest::newRow("launcher") << "./usr/bin/zorvelshot -> ../libexec/zorvelshot/Zorvelshot";
    for (const QString library : {"libZorvelKit", "libZorvelPropertyBrowser"}) {
        QTest::addRow("%s", qPrintable(library)) << "./usr/lib/" + library + ".so." ZORVEL_VERSION;
        QTest::addRow("%s soname", qPrintable(library))
            << "./usr/lib/" + sonameOf(library) + " -> " + library + ".so." ZORVEL_VERSION;
    }
    QTest::newRow("menu entry") << "./usr/share/applications/com.orvanta.Zorvelshot.desktop";
    QTest::newRow("scalable icon") << "./usr/share/icons/hicolor/scalable/apps/com.orvanta.Zorvelshot.svg";
    QTest::newRow("48 px icon") << "./usr/share/icons/hicolor/48x48/apps/com.orvanta.Zorvelshot.png";
}

void tst_DebianPackage::holdsProgramLinkLibrariesEntryAndIcons()
{
    QFETCH(QString, entry);
    QVERIFY2(m_contents.contains(entry), qPrintable(m_contents.join('\n')));
}

void tst_DebianPackage::packagedProgramFindsThePackagedLibraries()
{
    const QString program = m_extracted + "/usr/libexec/zorvelshot/Zorvelshot";
    QVERIFY(QFileInfo(program).isExecutable());
    const QMap<QString, QString> libraries = resolvedLibraries(program);
    for (const QString library : {"libZorvelKit", "libZorvelPropertyBrowser"}) {
        const QString soname = sonameOf(library);
        QCOMPARE(QFileInfo(libraries.value(soname)).canonicalFilePath(),
                 QFileInfo(m_extracted + "/usr/lib/" + soname).canonicalFilePath());
    }
}

void tst_DebianPackage::menuEntryStartsThePackagedLauncher()
{
    const QString entry = m_extracted + "/usr/share/applications/com.orvanta.Zorvelshot.desktop";
    QCOMPARE(desktopEntryKeys(entry).value("Exec"), QStringLiteral("/usr/bin/zorvelshot"));
    const DToolRun validation = runTool("desktop-file-validate", {entry});
    QVERIFY2(validation.exitCode == 0, qPrintable(validation.output));
}

void tst_DebianPackage::dependsOnThePackagesOfEveryLibraryItLoads()
{
    // "libc6 (>= 2.34), libqt5core5a (>= 5.15.1), ..." as package names.
    QSet<QString> depends;
    for (const QString& alternatives : field("Depends").split(',', Qt::SkipEmptyParts))
        for (const QString& dependency : alternatives.split('|'))
            depends << dependency.trimmed().section(' ', 0, 0).section(':', 0, 0);
    QVERIFY(!depends.isEmpty());

    const QStringList binaries = extractedBinaries();
    QVERIFY(binaries.size() >= 3);
    QSet<QString> ownLibraries;
    for (const QString& binary : binaries)
        ownLibraries << QFileInfo(binary).fileName();
    for (const QString& binary : binaries) {
        for (const QString& needed : dynamicEntries(binary, "NEEDED")) {
            if (ownLibraries.contains(needed)
                || QFileInfo::exists(m_extracted + "/usr/lib/" + needed))
                continue;
            // The Debian package that holds the library on this machine.
            const DToolRun owner = runTool("dpkg-query", {"--search", "*/" + needed});
            QVERIFY2(owner.exitCode == 0, qPrintable(needed + ": " + owner.output));
            bool listed = false;
            for (const QString& line : owner.output.split('\n', Qt::SkipEmptyParts))
                listed = listed || depends.contains(line.section(':', 0, 0).trimmed());
            QVERIFY2(listed, qPrintable(needed + " of " + binary + ": " + owner.output + " not in "
                                        + QStringList(depends.values()).join(", ")));
        }
    }
}

void tst_DebianPackage::removingLeavesNothingBehind()
{
    // dpkg removes every file a package lists, and keeps the package's record
    // (state "rc") while configuration files or a removal script are left: the
    // package has neither, nor any other script. The loader's cache follows the
    // libraries through dpkg's ldconfig trigger.
    const QString control = m_work.filePath("control");
    QCOMPARE(runTool("dpkg-deb", {"--control", m_package, control}).exitCode, 0);
    QStringList members = QDir(control).entryList(QDir::Files);
    members.sort();
    QCOMPARE(members, (QStringList{"control", "md5sums", "triggers"}));
    QFile triggers(control + "/triggers");
    QVERIFY(triggers.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(QString::fromUtf8(triggers.readAll()).trimmed(), QStringLiteral("activate-noawait ldconfig"));
}

QTEST_GUILESS_MAIN(tst_DebianPackage)
#include "tst_DebianPackage.moc"
