#include "DDialogFileOptions.h"

#include <QEvent>
#include <QSettings>

#include "DConfigCapture.h"
#include "DUtility.h"
#include "ui_DDialogFileOptions.h"

namespace {
const QString KeyCreateSubfolders = QStringLiteral("CreateSubfolders");
const QString KeyFileNameFormat = QStringLiteral("FileNameFormat");
const QString KeySubFolderFormat = QStringLiteral("SubFolderFormat");
}

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

    // Setting the texts runs the preview slots; the explicit calls cover a
    // stored value equal to the form's own text, which emits no change.
    m_pUi->lineEditFileNameFormat->setText(settings->fileNameFormat());
    showPreview(m_pUi->lineEditFileNamePreview, m_pUi->lineEditFileNameFormat->text());
    m_pUi->lineEditSubFolderFormat->setText(settings->subFolderFormat());
    showPreview(m_pUi->lineEditSubFolderPreview, m_pUi->lineEditSubFolderFormat->text());
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

void DDialogFileOptions::showPreview(QLineEdit* preview, QString format)
{
    DUtility::removeFileNameInvalidChar(format);
    preview->setText(DUtility::convertTimeVariables(format));
}

void DDialogFileOptions::on_lineEditSubFolderFormat_textChanged(QString text)
{
    showPreview(m_pUi->lineEditSubFolderPreview, text);
}

void DDialogFileOptions::on_lineEditFileNameFormat_textChanged(QString text)
{
    showPreview(m_pUi->lineEditFileNamePreview, text);
}

void DDialogFileOptions::on_buttonBox_accepted()
{
    QSettings* settings = DSingleton<DConfigCapture>::instance()->m_pSettings;
    settings->setValue(KeyCreateSubfolders, m_pUi->groupBoxCreateSubfolders->isChecked());
    settings->setValue(KeyFileNameFormat, m_pUi->lineEditFileNameFormat->text());
    settings->setValue(KeySubFolderFormat, m_pUi->lineEditSubFolderFormat->text());
}
