#include "DApplication.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>
#include <QWidget>

#include "DConfigCapture.h"
#include "DProduct.h"

DApplication::DApplication(const QString& id, int& argc, char** argv)
    : QtSingleApplication(id, argc, argv)
    , m_updateChecker(nullptr)
{
    connect(this, &QtSingleApplication::messageReceived, this, &DApplication::onMessageReceived);
}

DApplication::~DApplication()
{
}

void DApplication::checkUpdate()
{
    DConfigCapture* config = DSingleton<DConfigCapture>::instance();
    if (!config->autoUpdate())
        return;
    connect(&m_updateChecker, &DUpdateChecker::checkUpdateFinished, this, &DApplication::onCheckUpdateFinished,
            Qt::UniqueConnection);
    m_updateChecker.check(DProduct::name(), DProduct::autoUpdateLink(), DProduct::version());
}

void DApplication::onCheckUpdateFinished(bool newer, const QString& version, const QString& link)
{
    if (!newer)
        return;
    QMessageBox box;
    box.setText(tr("I newer version of %1 is available. Do you want to download the latest version now?")
                    .arg(DProduct::name()));
    box.setInformativeText(tr("Your current version is %1, the latest version is %2.")
                               .arg(DProduct::version(), version));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes)
        QDesktopServices::openUrl(QUrl(link));
}

void DApplication::onMessageReceived(const QString&)
{
    QtSingleApplication::activateWindow();
    if (QWidget* window = activationWindow()) {
        window->showNormal();
        window->activateWindow();
        window->raise();
    }
}
