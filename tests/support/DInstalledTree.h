#ifndef DINSTALLEDTREE_H
#define DINSTALLEDTREE_H

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

// Helpers for tests of the installed program: an installation of the build
// into a temporary folder, and what the system's tools say about the files.
// The tests define ZORVEL_CMAKE_COMMAND and ZORVEL_VERSION (tests/install/).

// The name a program asks the loader for: one of our libraries ("libZorvelKit")
// with the project's major version.
inline QString sonameOf(const QString& library)
{
    return library + ".so." + QStringLiteral(ZORVEL_VERSION).section('.', 0, 0);
}

// What a command printed (standard output and error together) and how it ended;
// exitCode is -1 when it could not start or did not end within the time.
struct DToolRun
{
    int exitCode = -1;
    QString output;
};

inline DToolRun runTool(const QString& program, const QStringList& arguments,
                        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                        int timeoutMs = 300000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    DToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        run.output = QString::fromLocal8Bit(process.readAll()) + process.errorString();
        return run;
    }
    run.output = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    return run;
}

// The build installed with `cmake --install` below `prefix`, staged into a
// temporary folder through DESTDIR, as a packager does.
class DStagedInstall
{
public:
    explicit DStagedInstall(const QString& prefix)
        : m_prefix(prefix)
    {
    }

    // Installs; false (with what cmake said in log()) when that fails.
    bool install()
    {
        if (!m_root.isValid())
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", m_root.path());
        const DToolRun run = runTool(ZORVEL_CMAKE_COMMAND,
                                     {"--install", qEnvironmentVariable("ZORVEL_BUILD_DIR"), "--prefix", m_prefix},
                                     environment);
        m_log = run.output;
        return run.exitCode == 0;
    }

    QString log() const { return m_log; }
    // The staging folder: the root of the file system the installation is for.
    QString root() const { return m_root.path(); }
    QString prefix() const { return m_prefix; }
    // Where a path below the prefix ("bin/zorvelshot") lies in the staging folder.
    QString path(const QString& belowPrefix) const
    {
        return m_root.path() + m_prefix + '/' + belowPrefix;
    }

private:
    QTemporaryDir m_root;
    QString m_prefix;
    QString m_log;
};

// The values of one kind of entry ("RUNPATH", "RPATH", "NEEDED") in the dynamic
// section of an ELF file, as readelf shows them.
inline QStringList dynamicEntries(const QString& file, const QString& tag)
{
    const DToolRun run = runTool("readelf", {"--dynamic", "--wide", file});
    QStringList values;
    const QRegularExpression entry("\\(" + tag + "\\)\\s+[^\\[]*\\[([^\\]]*)\\]");
    for (const QString& line : run.output.split('\n')) {
        const QRegularExpressionMatch match = entry.match(line);
        if (match.hasMatch())
            values << match.captured(1);
    }
    return values;
}

// The libraries the dynamic loader finds for a file, by the name it asks for:
// the path it found, or "not found".
inline QMap<QString, QString> resolvedLibraries(const QString& file)
{
    const DToolRun run = runTool("ldd", {file});
    QMap<QString, QString> libraries;
    const QRegularExpression resolved("^\\s*(\\S+) => (not found|\\S+)");
    for (const QString& line : run.output.split('\n')) {
        const QRegularExpressionMatch match = resolved.match(line);
        if (match.hasMatch())
            libraries.insert(match.captured(1), match.captured(2));
    }
    return libraries;
}

// The keys of the [Desktop Entry] group of a desktop-entry file, with their
// values as written (escapes kept).
inline QMap<QString, QString> desktopEntryKeys(const QString& file)
{
    QMap<QString, QString> keys;
    QFile entry(file);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    QTextStream stream(&entry);
    stream.setCodec("UTF-8");
    bool inGroup = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (line.startsWith('[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int equals = line.indexOf('=');
        if (inGroup && equals > 0 && !line.startsWith('#'))
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

#endif // DINSTALLEDTREE_H
