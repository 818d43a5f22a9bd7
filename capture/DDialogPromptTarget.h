#ifndef DDIALOGPROMPTTARGET_H
#define DDIALOGPROMPTTARGET_H

#include <QDialog>
#include <QImage>

class QEvent;
class Ui_DDialogPromptTarget;

// Asks where one finished image goes: the clipboard, a file, or nowhere. A save
// that fails is reported and the dialog stays open, so the image is not lost;
// a cancelled file dialog also leads back here.
class DDialogPromptTarget : public QDialog
{
    Q_OBJECT

public:
    DDialogPromptTarget(QWidget* parent, const QImage& image);
    ~DDialogPromptTarget() override;

protected:
    void changeEvent(QEvent* e) override;

private slots:
    void on_buttonCancel_clicked();
    void on_buttonFile_clicked();
    void on_buttonClipboard_clicked();

private:
    QImage m_image;
    Ui_DDialogPromptTarget* m_pUi;
};

#endif // DDIALOGPROMPTTARGET_H
