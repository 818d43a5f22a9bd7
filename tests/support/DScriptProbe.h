#ifndef DSCRIPTPROBE_H
#define DSCRIPTPROBE_H

#include <QFile>
#include <QObject>
#include <QTemporaryDir>

// An object the script tests expose to scripts: a property to read, a slot to
// call and a signal to connect to.
class DScriptProbe : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int answer READ answer)

public:
    explicit DScriptProbe(int answer) : m_answer(answer) {}
    int answer() const { return m_answer; }

public slots:
    void poke()
    {
        ++pokes;
        emit poked();
    }

signals:
    // Scripts may connect their own functions to it.
    void poked();

public:
    int pokes = 0;

private:
    int m_answer;
};

// Writes a script file into the folder; an empty path when it cannot.
inline QString writeScriptFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(text);
    return path;
}

#endif // DSCRIPTPROBE_H
