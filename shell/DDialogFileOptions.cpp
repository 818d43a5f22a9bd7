#include "DDialogFileOptions.h"

#include <QEvent>

#include "DConfigCapture.h"
#include "DUtility.h"
#include "ui_DDialogFileOptions.h"

DDialogFileOptions::DDialogFileOptions(QWidget* parent)
    : QDialog(parent, Qt::WindowSystemMenuHint)
    , m_pUi(new Ui_DDialogFileOptions)
{
    m_pUi->setupUi(this);

    const DConfigCapture* settings = DSingleton<DConfigCapture>::instance();
    const bool createSubfolders = settings->createSubfolders();
    m_pUi->groupBoxCreateSubfolders->setChecked(createSubfolders);
    m_pUi->lineEditSubFolderFormat->setEnabled(createSubfolders);
    m_pUi->lineEditSubFolderPreview->setEnabled(createSubfolders);

    // Setting the texts runs the preview slots; the explicit call covers a
    // stored value equal to the form's own text, which emits no change.
    m_pUi->lineEditFileNameFormat->setText(settings->fileNameFormat());
    m_pUi->lineEditSubFolderFormat->setText(settings->subFolderFormat());
    showPreviews();
}

DDialogFileOptions::~DDialogFileOptions()
{
    delete m_pUi;
}

void DDialogFileOptions::changeEvent(QEvent* e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        m_pUi->retranslateUi(this);
}

void DDialogFileOptions::showPreviews()
{
    // The names a save would use with the templates as they stand in the
    // fields; the sub-folder's is shown even while the box is unchecked.
    const DUtility::AutomaticName name = DUtility::automaticName(
        m_pUi->lineEditFileNameFormat->text(), m_pUi->lineEditSubFolderFormat->text(), true,
        DD::enumTargetFormat(DSingleton<DConfigCapture>::instance()->targetFormat()));
    m_pUi->lineEditFileNamePreview->setText(name.baseName);
    m_pUi->lineEditSubFolderPreview->setText(name.subFolder);
}

void DDialogFileOptions::on_lineEditSubFolderFormat_textChanged(QString text)
{
    Q_UNUSED(text);
    showPreviews();
}

void DDialogFileOptions::on_lineEditFileNameFormat_textChanged(QString text)
{
    Q_UNUSED(text);
    showPreviews();
}

void DDialogFileOptions::on_buttonBox_accepted()
{
    DConfigCapture* config = DSingleton<DConfigCapture>::instance();
    config->setCreateSubfolders(m_pUi->groupBoxCreateSubfolders->isChecked());
    config->setFileNameFormat(m_pUi->lineEditFileNameFormat->text());
    config->setSubFolderFormat(m_pUi->lineEditSubFolderFormat->text());
}
