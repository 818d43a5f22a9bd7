#include "DSaveFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "DUtility.h"

DSaveFileDialog::DSaveFileDialog(QWidget* parent, const QString& caption, const QString& startFolder,
                                 const QString& filter, const QString& extension)
    : QFileDialog(parent, caption, existingFolder(startFolder), filter)
    , m_extension(extension)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setOption(QFileDialog::DontUseNativeDialog);
    // The question is asked here, about the name that will be written.
    setOption(QFileDialog::DontConfirmOverwrite);
    setDefaultSuffix(extension);
}

QString DSaveFileDialog::existingFolder(const QString& folder)
{
    if (folder.isEmpty())
        return QDir::homePath();
    QString path = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return QDir::homePath();
        path = parent;
    }
    return path;
}

QString DSaveFileDialog::withSuffix(const QString& path, const QString& extension)
{
    const QFileInfo info(path);
    if (extension.isEmpty() || info.fileName().isEmpty() || !info.suffix().isEmpty())
        return path;
    return path.endsWith(QLatin1Char('.')) ? path + extension : path + QLatin1Char('.') + extension;
}

void DSaveFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    const QFileInfo typed(files.first());
    // A folder typed or picked: Qt's dialog moves into it.
    if (typed.isDir()) {
        QFileDialog::accept();
        return;
    }
    const QString path = withSuffix(typed.absoluteFilePath(), m_extension);
    // Whatever holds the name is asked about, a link that leads nowhere too.
    if (DUtility::isPathTaken(path) && !confirmOverwrite(path))
        return;
    m_chosenPath = path;
    QFileDialog::accept();
}

bool DSaveFileDialog::confirmOverwrite(const QString& path)
{
    const QMessageBox::StandardButton answer = QMessageBox::warning(
        this, windowTitle(), tr("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(path)),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}
