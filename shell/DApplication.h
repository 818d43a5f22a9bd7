#ifndef DAPPLICATION_H
#define DAPPLICATION_H

#include "QtSingleApplication.h"

#include "DUpdateChecker.h"

// The program's application object: one instance per user, which owns the
// update check for the life of the process.
class DApplication : public QtSingleApplication
{
    Q_OBJECT

public:
    DApplication(const QString& id, int& argc, char** argv);
    ~DApplication() override;

    // Starts the update check, unless "AutoUpdate" is off.
    void checkUpdate();

    DUpdateChecker& updateChecker() { return m_updateChecker; }

public slots:
    void onMessageReceived(const QString& message);
    // Offers the download when the feed names a newer version.
    void onCheckUpdateFinished(bool newer, const QString& version, const QString& link);

private:
    DUpdateChecker m_updateChecker;
};

#endif // DAPPLICATION_H
