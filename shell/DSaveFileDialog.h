#ifndef DSAVEFILEDIALOG_H
#define DSAVEFILEDIALOG_H

#include <QFileDialog>
#include <QString>

// The dialog that asks where a capture goes: Qt's own save dialog (a desktop's
// dialog would ask about overwriting the name as typed), opened in a folder
// that exists with no name typed in. A name typed without suffix gets the
// image format's suffix, whatever the folder's path holds (Qt's own default
// suffix is lost when the typed path has a dot anywhere), and overwriting is
// asked about under that final name; "No" keeps the dialog open.
class DSaveFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    // `extension` is the format's suffix without its dot ("png"); empty adds none.
    DSaveFileDialog(QWidget* parent, const QString& caption, const QString& startFolder, const QString& filter,
                    const QString& extension);

    // The file to write, once the dialog was accepted.
    QString chosenPath() const { return m_chosenPath; }

    // `folder` when it exists, else the nearest folder above it that does;
    // the home folder for an empty path.
    static QString existingFolder(const QString& folder);
    // `path` with ".extension" added when its file name has no suffix.
    static QString withSuffix(const QString& path, const QString& extension);

public slots:
    void accept() override;

private:
    bool confirmOverwrite(const QString& path);

    QString m_extension;
    QString m_chosenPath;
};

#endif // DSAVEFILEDIALOG_H
