#include "DDialogPromptTarget.h"

#include <QEvent>
#include <QMessageBox>

#include "DUtility.h"
#include "ui_DDialogPromptTarget.h"

DDialogPromptTarget::DDialogPromptTarget(QWidget* parent, const QImage& image)
    : QDialog(parent)
    , m_image(image)
    , m_pUi(new Ui_DDialogPromptTarget)
{
    m_pUi->setupUi(this);

    static const QString sToolButtonStyleMainTool = QStringLiteral(
        "QCommandLinkButton {    padding: 0 5px 0 5px;    border-style: solid;    border-color: silver;"
        "    font-size: 12px;}"
        "QCommandLinkButton:hover:!pressed, QToolButton:checked {    border-width: 0 1px 0 1px;"
        "    background: #444 url(:/images/buttonbk.png) 0 100px;}");
    m_pUi->buttonFile->setStyleSheet(sToolButtonStyleMainTool);
    m_pUi->buttonClipboard->setStyleSheet(sToolButtonStyleMainTool);
    m_pUi->buttonCancel->setStyleSheet(sToolButtonStyleMainTool);
}

DDialogPromptTarget::~DDialogPromptTarget()
{
    delete m_pUi;
}

void DDialogPromptTarget::changeEvent(QEvent* e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        m_pUi->retranslateUi(this);
}

void DDialogPromptTarget::on_buttonCancel_clicked()
{
    close();
}

void DDialogPromptTarget::on_buttonFile_clicked()
{
    DUtility::SaveReport report;
    if (DUtility::saveImage(this, m_image, DD::ImageFile, true, &report)) {
        close();
        return;
    }
    if (report.cancelled)
        return;
    // Without a path the image itself could not be written (an empty grab).
    const QString message = report.path.isEmpty()
        ? tr("Failed to save the image.")
        : tr("Failed to save the image to \"%1\". Please choose another folder or file name.").arg(report.path);
    QMessageBox::critical(this, tr("Error"), message, QMessageBox::Ok);
}

void DDialogPromptTarget::on_buttonClipboard_clicked()
{
    if (DUtility::saveImage(this, m_image, DD::Clipboard, true)) {
        close();
        return;
    }
    QMessageBox::critical(this, tr("Error"), tr("Failed to Copy to Clipboard, please save to file!"),
                          QMessageBox::Ok);
}
