#ifndef DDIALOGFILEOPTIONS_H
#define DDIALOGFILEOPTIONS_H

#include <QDialog>
#include <QString>

class QEvent;
class QLineEdit;
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
    static void showPreview(QLineEdit* preview, QString format);

    Ui_DDialogFileOptions* m_pUi;
};

#endif // DDIALOGFILEOPTIONS_H
