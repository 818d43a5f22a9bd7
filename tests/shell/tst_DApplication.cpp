// The application object: the update check it starts, the offer it makes,
// and what a second start's message does to the main window.
#include "DApplication.h"
#include "DConfigCapture.h"
#include "DFeedServer.h"
#include "DLocalInstancePeer.h"
#include "DProduct.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtTest>

namespace {

// Stands in for the browser: collects what would have been opened.
class DUrlRecorder : public QObject
{
    Q_OBJECT

public:
    DUrlRecorder()
    {
        QDesktopServices::setUrlHandler("http", this, "open");
        QDesktopServices::setUrlHandler("https", this, "open");
    }
    ~DUrlRecorder() override
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// Answers the next message box that opens with the given button, noting its texts.
class DBoxAnswerer : public QObject
{
public:
    explicit DBoxAnswerer(QMessageBox::StandardButton answer)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++boxes;
            text = box->text();
            informativeText = box->informativeText();
            title = box->windowTitle();
            buttons = box->standardButtons();
            defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
            box->button(answer)->click();
        });
        m_timer.start(20);
    }
    int boxes = 0;
    QString text;
    QString informativeText;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;

private:
    QTimer m_timer;
};

DApplication* application()
{
    return static_cast<DApplication*>(qApp);
}

QSettings* settings()
{
    return DSingleton<DConfigCapture>::instance()->m_pSettings;
}

} // namespace

class tst_DApplication : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void noRequestWhenAutoUpdateOff();
    void checksFeedWhenAutoUpdateOnOrAbsent_data();
    void checksFeedWhenAutoUpdateOnOrAbsent();
    void newerVersionOffersDownloadAndNoOpensNothing();
    void yesOpensTheLink();
    void nothingShownWhenNotNewer();
    void sameVersionFromFeedShowsNothing();

    void messageShowsHiddenWindow();
    void messageRestoresMinimisedWindow();
    void secondStartMessageReachesWindow();
    void messageWithoutWindowDoesNothing();
};

void tst_DApplication::init()
{
    settings()->remove("AutoUpdate");
    application()->setActivationWindow(nullptr);
}

void tst_DApplication::noRequestWhenAutoUpdateOff()
{
    DFeedServer server;
    server.serve("<feed/>");
    application()->updateChecker().setFeedUrlOverride(server.url());
    settings()->setValue("AutoUpdate", false);
    application()->checkUpdate();
    QVERIFY(!application()->updateChecker().isPending());
    QTest::qWait(200);
    QVERIFY(server.requests.isEmpty());
}

void tst_DApplication::checksFeedWhenAutoUpdateOnOrAbsent_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("absent") << QVariant();
    QTest::newRow("true") << QVariant(true);
    QTest::newRow("as the file gives it back") << QVariant(QStringLiteral("true"));
}

void tst_DApplication::checksFeedWhenAutoUpdateOnOrAbsent()
{
    QFETCH(QVariant, stored);
    if (stored.isValid())
        settings()->setValue("AutoUpdate", stored);
    DFeedServer server;
    server.serve("<feed/>");
    application()->updateChecker().setFeedUrlOverride(server.url());
    QSignalSpy finished(&application()->updateChecker(), &DUpdateChecker::checkUpdateFinished);
    application()->checkUpdate();
    QVERIFY(finished.wait(10000));
    QCOMPARE(server.requests.count(), 1);
    QCOMPARE(server.requests.at(0).userAgent, QByteArray("Orvanta-Update 1.0 - Zorvelshot(Linux)"));
}

void tst_DApplication::newerVersionOffersDownloadAndNoOpensNothing()
{
    DUrlRecorder browser;
    DFeedServer server;
    server.serve("<feed><product name=\"Zorvelshot\" os=\"Linux\" version=\"2.9\" "
                 "link=\"http://www.orvanta.com/download\"/></feed>");
    application()->updateChecker().setFeedUrlOverride(server.url());
    DBoxAnswerer answerer(QMessageBox::No);
    application()->checkUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(answerer.boxes, 1, 10000);
    QCOMPARE(answerer.text, QStringLiteral("I newer version of Zorvelshot is available. Do you want to download the "
                                           "latest version now?"));
    QCOMPARE(answerer.informativeText,
             QStringLiteral("Your current version is %1, the latest version is 2.9.").arg(DProduct::version()));
    QCOMPARE(answerer.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(answerer.defaultButton, QMessageBox::Yes);
    QTest::qWait(50);
    QVERIFY(browser.opened.isEmpty());
}

void tst_DApplication::yesOpensTheLink()
{
    DUrlRecorder browser;
    DBoxAnswerer answerer(QMessageBox::Yes);
    application()->onCheckUpdateFinished(true, "3.0", "https://www.orvanta.com/get");
    QCOMPARE(answerer.boxes, 1);
    QCOMPARE(browser.opened, QList<QUrl>{QUrl("https://www.orvanta.com/get")});
}

void tst_DApplication::nothingShownWhenNotNewer()
{
    DUrlRecorder browser;
    DBoxAnswerer answerer(QMessageBox::Yes);
    application()->onCheckUpdateFinished(false, "3.0", "https://www.orvanta.com/get");
    QTest::qWait(100);
    QCOMPARE(answerer.boxes, 0);
    QVERIFY(browser.opened.isEmpty());
}

void tst_DApplication::sameVersionFromFeedShowsNothing()
{
    DFeedServer server;
    server.serve(QStringLiteral("<feed><product name=\"Zorvelshot\" os=\"Linux\" version=\"%1\" "
                                "link=\"http://www.orvanta.com/download\"/></feed>")
                     .arg(DProduct::version())
                     .toUtf8());
    application()->updateChecker().setFeedUrlOverride(server.url());
    DBoxAnswerer answerer(QMessageBox::Yes);
    QSignalSpy finished(&application()->updateChecker(), &DUpdateChecker::checkUpdateFinished);
    application()->checkUpdate();
    QVERIFY(finished.wait(10000));
    QTest::qWait(100);
    QCOMPARE(answerer.boxes, 0);
}

void tst_DApplication::messageShowsHiddenWindow()
{
    QWidget window;
    application()->setActivationWindow(&window, true);
    QVERIFY(!window.isVisible());
    application()->onMessageReceived(QString());
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen),
             Qt::WindowStates());
}

void tst_DApplication::messageRestoresMinimisedWindow()
{
    QWidget window;
    window.showMinimized();
    application()->setActivationWindow(&window, true);
    application()->onMessageReceived("ignored text");
    QVERIFY(window.isVisible());
    QVERIFY(!(window.windowState() & Qt::WindowMinimized));
}

void tst_DApplication::secondStartMessageReachesWindow()
{
    QWidget window;
    application()->setActivationWindow(&window, true);
    DLocalInstancePeer second(application()->id());
    QVERIFY(second.isRunning());
    std::atomic<bool> delivered{false};
    std::unique_ptr<QThread> sender(QThread::create([&] { delivered = second.sendMessage(QString(), 5000); }));
    sender->start();
    QTRY_VERIFY(window.isVisible());
    QVERIFY(sender->wait(6000));
    QVERIFY(delivered);
}

void tst_DApplication::messageWithoutWindowDoesNothing()
{
    application()->setActivationWindow(nullptr);
    application()->onMessageReceived(QString());
    QCOMPARE(application()->activationWindow(), static_cast<QWidget*>(nullptr));
}

int main(int argc, char** argv)
{
    DApplication app("tst-DApplication", argc, argv);
    tst_DApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DApplication.moc"
