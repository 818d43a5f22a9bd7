#include <QtTest>

#include <QClipboard>
#include <QCommandLinkButton>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>

#include "DModalDriver.h"
#include "DUnwritableFolder.h"
#include "DConfigCapture.h"
#include "DDialogPromptTarget.h"

// The output-target dialog: each button's delivery, and that a failed or
// cancelled save leaves the dialog open with the image.
class tst_DDialogPromptTarget : public QObject
{
    Q_OBJECT

private:
    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }

    static QImage sample()
    {
        QImage image(64, 48, QImage::Format_ARGB32);
        image.fill(qRgba(10, 200, 30, 255));
        image.setPixel(63, 47, qRgba(250, 5, 5, 255));
        return image;
    }

    static QCommandLinkButton* button(QDialog& dialog, const char* name)
    {
        auto* widget = dialog.findChild<QCommandLinkButton*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no button %s", name);
        return widget;
    }

    // Shows the dialog and runs it the way its callers do; `act` runs inside the loop.
    static int runDialog(DDialogPromptTarget& dialog, std::function<void()> act)
    {
        QTimer::singleShot(0, &dialog, act);
        dialog.setVisible(true);
        dialog.activateWindow();
        return dialog.exec();
    }

    // What the user is told after choosing a target that fails, and whether
    // the dialog is still there to try again.
    struct FailedChoice
    {
        QString message;
        bool stayedOpen = false;
    };

    static FailedChoice clickExpectingMessage(DDialogPromptTarget& dialog, const char* buttonName)
    {
        FailedChoice failure;
        runDialog(dialog, [&] {
            whenModal<QMessageBox>([&](QMessageBox* box) {
                failure.message = box->text();
                box->accept();
            });
            button(dialog, buttonName)->click();
            failure.stayedOpen = dialog.isVisible();
            dialog.reject();
        });
        return failure;
    }

private slots:
    void init()
    {
        settings()->clear();
        QApplication::clipboard()->setText("before");
    }

    void formTexts()
    {
        DDialogPromptTarget dialog(nullptr, sample());
        QCOMPARE(dialog.objectName(), QString("DDialogPromptTarget"));
        QCOMPARE(dialog.windowTitle(), QString("Select Output Target"));
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
        QCOMPARE(button(dialog, "buttonClipboard")->text(), QString("Save to clipboard"));
        QCOMPARE(button(dialog, "buttonFile")->text(), QString("Save to file"));
        QCOMPARE(button(dialog, "buttonCancel")->text(), QString("Cancel"));
        QCOMPARE(button(dialog, "buttonCancel")->description(), QString("Don't save to clipboard or file and exit."));
        QVERIFY(!button(dialog, "buttonFile")->autoDefault());
        QVERIFY(button(dialog, "buttonFile")->styleSheet().contains("url(:/images/buttonbk.png)"));
    }

    void languageChangeReappliesTheTexts()
    {
        DDialogPromptTarget dialog(nullptr, sample());
        button(dialog, "buttonFile")->setText("changed");
        QEvent event(QEvent::LanguageChange);
        QApplication::sendEvent(&dialog, &event);
        QCOMPARE(button(dialog, "buttonFile")->text(), QString("Save to file"));
    }

    void clipboardButtonCopiesAndCloses()
    {
        DDialogPromptTarget dialog(nullptr, sample());
        const int result = runDialog(dialog, [&] { button(dialog, "buttonClipboard")->click(); });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        const QImage pasted = QApplication::clipboard()->image();
        QCOMPARE(pasted.size(), QSize(64, 48));
        QCOMPARE(pasted.pixel(63, 47), qRgba(250, 5, 5, 255));
    }

    void cancelWritesNothingAndLeavesTheClipboard()
    {
        QTemporaryDir dir;
        settings()->setValue("AutomaticSaveFolder", dir.path());
        DDialogPromptTarget dialog(nullptr, sample());
        runDialog(dialog, [&] { button(dialog, "buttonCancel")->click(); });
        QVERIFY(!dialog.isVisible());
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void fileButtonAlwaysAsks()
    {
        QTemporaryDir dir;
        settings()->setValue("NameMethod", 1);
        settings()->setValue("AutomaticSaveFolder", dir.path());
        DDialogPromptTarget dialog(nullptr, sample());
        bool asked = false;
        runDialog(dialog, [&] {
            whenModal<QFileDialog>([&](QFileDialog* files) {
                asked = true;
                typeFileNameAndAccept(files, dir.filePath("full"));
            });
            button(dialog, "buttonFile")->click();
        });
        QVERIFY(asked);
        QVERIFY(!dialog.isVisible());
        const QImage written = QImageReader(dir.filePath("full.png")).read();
        QCOMPARE(written.size(), QSize(64, 48));
        QCOMPARE(written.pixel(63, 47), qRgba(250, 5, 5, 255));
        QCOMPARE(settings()->value("LastFilePath").toString(), dir.path());
    }

    void cancelledFileDialogLeadsBack()
    {
        QTemporaryDir dir;
        DDialogPromptTarget dialog(nullptr, sample());
        bool stillOpen = false;
        bool messageShown = false;
        runDialog(dialog, [&] {
            whenModal<QFileDialog>([](QFileDialog* files) { files->reject(); });
            // A message would be shown modally inside the click, so it is
            // caught before the click returns; the watcher then goes.
            QPointer<QTimer> messageWatcher = whenModal<QMessageBox>([&](QMessageBox* box) {
                messageShown = true;
                box->accept();
            });
            button(dialog, "buttonFile")->click();
            delete messageWatcher.data();
            stillOpen = dialog.isVisible();
            dialog.reject();
        });
        QVERIFY(stillOpen);
        QVERIFY(!messageShown);
    }

    void failedSaveIsToldAndTheDialogStays()
    {
        QTemporaryDir base;
        QTemporaryDir good;
        const QString locked = unwritableFolder(base);
        DDialogPromptTarget dialog(nullptr, sample());
        QString message;
        bool openAfterFailure = false;
        runDialog(dialog, [&] {
            whenModal<QFileDialog>([&](QFileDialog* files) {
                whenModal<QMessageBox>([&](QMessageBox* box) {
                    message = box->text();
                    box->accept();
                });
                typeFileNameAndAccept(files, QDir(locked).filePath("zorvel-denied"));
            });
            button(dialog, "buttonFile")->click();
            openAfterFailure = dialog.isVisible();
            // The image is still there: a second try succeeds.
            whenModal<QFileDialog>([&](QFileDialog* files) { typeFileNameAndAccept(files, good.filePath("second")); });
            button(dialog, "buttonFile")->click();
        });
        QVERIFY(message.contains("zorvel-denied.png"));
        QVERIFY(openAfterFailure);
        QVERIFY(!QFile::exists(QDir(locked).filePath("zorvel-denied.png")));
        QCOMPARE(QImageReader(good.filePath("second.png")).read().size(), QSize(64, 48));
        QVERIFY(!dialog.isVisible());
    }

    void nullImageToAFileIsTold()
    {
        QTemporaryDir dir;
        settings()->setValue("AutomaticSaveFolder", dir.path());
        DDialogPromptTarget dialog(nullptr, QImage());
        const FailedChoice failure = clickExpectingMessage(dialog, "buttonFile");
        QCOMPARE(failure.message, QString("Failed to save the image."));
        QVERIFY(failure.stayedOpen);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void nullImageOnTheClipboardIsTold()
    {
        DDialogPromptTarget dialog(nullptr, QImage());
        const FailedChoice failure = clickExpectingMessage(dialog, "buttonClipboard");
        QCOMPARE(failure.message, QString("Failed to Copy to Clipboard, please save to file!"));
        QVERIFY(failure.stayedOpen);
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));
    }
};

QTEST_MAIN(tst_DDialogPromptTarget)
#include "tst_DDialogPromptTarget.moc"
