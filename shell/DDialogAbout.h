#ifndef DDIALOGABOUT_H
#define DDIALOGABOUT_H

#include <QDialog>

namespace Ui {
class DDialogAbout;
}

// The about box: the brand image, maker and product name, version, copyright
// and a link to the maker's web site.
class DDialogAbout : public QDialog
{
    Q_OBJECT

public:
    explicit DDialogAbout(QWidget* parent = nullptr);
    ~DDialogAbout() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    Ui::DDialogAbout* ui;
};

#endif // DDIALOGABOUT_H
