#ifndef DSTAGEDFILE_H
#define DSTAGEDFILE_H

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// A new file, written beside its place under a temporary name and given its
// name only once every byte of it is on the disk: a write that fails leaves
// nothing behind, and no one finds part of a file under its name. The folder
// is held open from the start, so the file lands in that folder even if its
// path changes meanwhile. Names are given to the directory entry itself, never
// through a link.
class DStagedFile
{
public:
    // In `folder` (a link to it is followed: it is the folder the user chose)
    // or, when `subFolder` is not empty, in the folder of that name inside it;
    // a link in the sub-folder's place is not followed. The folders must exist.
    explicit DStagedFile(const QString& folder, const QString& subFolder = QString());
    ~DStagedFile();

    // Runs `write` on the temporary file, once. True when it succeeded and
    // every byte reached the disk; false removes the temporary file.
    bool write(const std::function<bool(QIODevice*)>& write);
    // Gives the written file the first of the names name(0), name(1), ... that
    // no directory entry of any kind holds; an entry is never replaced. The
    // name given, or an empty text when the file could not be given one.
    QString placeUnderFreeName(const std::function<QString(qint64)>& name);
    // Gives the written file `name` in place of whatever entry holds it (a
    // link is replaced itself, not what it leads to).
    bool placeReplacing(const QString& name);

private:
    DStagedFile(const DStagedFile&) = delete;
    DStagedFile& operator=(const DStagedFile&) = delete;

    enum class Placement { Placed, Taken, Failed };

    void createTemporary();
    void removeTemporary();
    // Where a name could not be given: taken when an entry holds it (EEXIST).
    static Placement placementAfter(int error);
    Placement placeWithoutReplacing(const QByteArray& name);
    Placement placeOverReservedName(const QByteArray& name);
    bool isWritten() const { return m_file < 0 && !m_temporary.isEmpty(); }

    int m_folder = -1;
    int m_file = -1;
    // The temporary file's name in the folder; empty once it is placed or gone.
    QByteArray m_temporary;
};

#endif // DSTAGEDFILE_H
