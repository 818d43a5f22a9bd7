#include "DDialogAbout.h"

#include "ui_DDialogAbout.h"

#include "DProduct.h"

DDialogAbout::DDialogAbout(QWidget* parent)
    : QDialog(parent, Qt::WindowSystemMenuHint)
    , ui(new Ui::DDialogAbout)
{
    ui->setupUi(this);
    ui->labelFullName->setText(DProduct::company() + " " + DProduct::name());
    ui->labelVersion->setText(DProduct::version());
}

DDialogAbout::~DDialogAbout()
{
    delete ui;
}

void DDialogAbout::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
