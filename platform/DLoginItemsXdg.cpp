#include "DLoginItemsXdg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace {

const char* const kDesktopEntryGroup = "[Desktop Entry]";

// Undoes the escapes of a desktop-entry string value (\s \n \t \r \\).
QString unescapeValue(const QString& value)
{
    QString result;
    result.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's': result += QLatin1Char(' '); break;
        case 'n': result += QLatin1Char('\n'); break;
        case 't': result += QLatin1Char('\t'); break;
        case 'r': result += QLatin1Char('\r'); break;
        case '\\': result += QLatin1Char('\\'); break;
        default: result += c; result += next; break;
        }
    }
    return result;
}

// The value of a key in the [Desktop Entry] group of a desktop-entry file;
// a null string when the file cannot be read or has no such key.
QString desktopEntryValue(const QString& filePath, const QString& key)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    bool inEntryGroup = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntryGroup = line == QLatin1String(kDesktopEntryGroup);
            continue;
        }
        if (!inEntryGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || line.left(equals).trimmed() != key)
            continue;
        return unescapeValue(line.mid(equals + 1).trimmed());
    }
    return QString();
}

bool sameFile(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

DLoginItemsXdg::DLoginItemsXdg(const QString& autostartFolder, const QString& executablePath,
                               const QString& entryName)
    : m_autostartFolder(autostartFolder)
    , m_executablePath(executablePath)
    , m_entryName(entryName)
{
}

QString DLoginItemsXdg::autostartFolder() const
{
    if (!m_autostartFolder.isEmpty())
        return m_autostartFolder;
    // $XDG_CONFIG_HOME, or ~/.config when it is not set.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart");
}

QString DLoginItemsXdg::executablePath() const
{
    if (!m_executablePath.isEmpty())
        return m_executablePath;
    return QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
}

QString DLoginItemsXdg::entryFilePath() const
{
    QString name = m_entryName;
    if (name.isEmpty())
        name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QFileInfo(executablePath()).fileName();
    return autostartFolder() + QLatin1Char('/') + name + QStringLiteral(".desktop");
}

QString DLoginItemsXdg::execLine(const QString& executablePath)
{
    // Inside double quotes, the desktop-entry format escapes " ` $ and \ with
    // a backslash; a literal % is written %%. The value itself then escapes
    // each backslash once more.
    QString quoted;
    for (const QChar c : executablePath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
            || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    // A value is one line: control characters are written as escapes, so a
    // path cannot end the line and start a key of its own.
    quoted.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    quoted.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    quoted.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return QLatin1Char('"') + quoted + QStringLiteral("\" /autorun");
}

QStringList DLoginItemsXdg::splitExec(const QString& exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                current += exec.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArgument = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return QStringList();
    if (inArgument)
        arguments << current;
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

bool DLoginItemsXdg::runsExecutable(const QString& exec) const
{
    const QStringList arguments = splitExec(exec);
    return !arguments.isEmpty() && sameFile(arguments.first(), executablePath());
}

QStringList DLoginItemsXdg::matchingEntries(bool activeOnly) const
{
    QStringList matches;
    const QDir folder(autostartFolder());
    const QStringList entries =
        folder.entryList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        const QString filePath = folder.filePath(entry);
        if (!runsExecutable(desktopEntryValue(filePath, QStringLiteral("Exec"))))
            continue;
        // An entry marked Hidden is switched off and starts nothing.
        if (activeOnly
            && desktopEntryValue(filePath, QStringLiteral("Hidden")).compare(
                   QLatin1String("true"), Qt::CaseInsensitive) == 0)
            continue;
        matches << filePath;
    }
    return matches;
}

void DLoginItemsXdg::add()
{
    if (!matchingEntries(true).isEmpty())
        return;
    const QString filePath = entryFilePath();
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << kDesktopEntryGroup << '\n'
           << "Type=Application\n"
           << "Name=" << QFileInfo(filePath).completeBaseName() << '\n'
           << "Exec=" << execLine(executablePath()) << '\n'
           << "Terminal=false\n";
    stream.flush();
    file.commit();
}

bool DLoginItemsXdg::contains() const
{
    return !matchingEntries(false).isEmpty();
}

bool DLoginItemsXdg::remove()
{
    const QStringList matches = matchingEntries(false);
    for (const QString& filePath : matches)
        QFile::remove(filePath);
    return !matches.isEmpty();
}
