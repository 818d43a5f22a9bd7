#ifndef DDIALOGFILEOPTIONS_H
#define DDIALOGFILEOPTIONS_H

#include <QDialog>
#include <QString>

class QEvent;
class Ui_DDialogFileOptions;

// The "Automatic File Name" options: the file-name and sub-folder templates of
// automatic saving, each with a live preview. OK stores them as typed.
class DDialogFileOptions : public QDialog
{
    Q_OBJECT

public:
    explicit DDialogFileOptions(QWidget* parent);
    ~DDialogFileOptions() override;

protected:
    void changeEvent(QEvent* e) override;

private slots:
    void on_lineEditSubFolderFormat_textChanged(QString text);
    void on_lineEditFileNameFormat_textChanged(QString text);
    void on_buttonBox_accepted();

private:
    // Both previews show what a save makes of the templates in the fields.
    void showPreviews();

    Ui_DDialogFileOptions* m_pUi;
};

#endif // DDIALOGFILEOPTIONS_H
