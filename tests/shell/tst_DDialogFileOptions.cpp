#include <QtTest>

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "DConfigCapture.h"
#include "DDialogFileOptions.h"
#include "DUtility.h"
#include "DWithinOneSecond.h"

// The automatic file-name options: loading, live previews, OK and Cancel.
class tst_DDialogFileOptions : public QObject
{
    Q_OBJECT

private:
    QSettings* settings() { return DSingleton<DConfigCapture>::instance()->m_pSettings; }

    template <typename T>
    static T* child(QWidget& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }

    // The preview of `format` now; the second chance covers a clock tick in between.
    static bool isPreviewOf(const QString& shown, QString format, const QString& before)
    {
        DUtility::removeFileNameInvalidChar(format);
        return shown == before || shown == DUtility::convertTimeVariables(format);
    }

    static QString previewNow(QString format)
    {
        DUtility::removeFileNameInvalidChar(format);
        return DUtility::convertTimeVariables(format);
    }

    static void press(QDialog& dialog, QDialogButtonBox::StandardButton which)
    {
        child<QDialogButtonBox>(dialog, "buttonBox")->button(which)->click();
    }

private slots:
    void init() { settings()->clear(); }

    void defaultsAreShown()
    {
        const QString fileBefore = previewNow("Snap-Y-M-D-h-m-s");
        const QString folderBefore = previewNow("YM");
        DDialogFileOptions dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QString("Options: Automatic File Name"));
        QCOMPARE(child<QLineEdit>(dialog, "lineEditFileNameFormat")->text(), QString("Snap-Y-M-D-h-m-s"));
        const QString filePreview = child<QLineEdit>(dialog, "lineEditFileNamePreview")->text();
        QVERIFY(QRegularExpression("^Snap-\\d{4}-\\d{2}-\\d{2}-\\d{2}-\\d{2}-\\d{2}$").match(filePreview).hasMatch());
        QVERIFY(isPreviewOf(filePreview, "Snap-Y-M-D-h-m-s", fileBefore));
        QCOMPARE(child<QLineEdit>(dialog, "lineEditSubFolderFormat")->text(), QString("YM"));
        const QString folderPreview = child<QLineEdit>(dialog, "lineEditSubFolderPreview")->text();
        QVERIFY(isPreviewOf(folderPreview, "YM", folderBefore));
        QCOMPARE(folderPreview.size(), 6);
        QVERIFY(!child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->isChecked());
        QVERIFY(!child<QLineEdit>(dialog, "lineEditSubFolderFormat")->isEnabled());
        QVERIFY(!child<QLineEdit>(dialog, "lineEditSubFolderPreview")->isEnabled());
        QVERIFY(child<QLineEdit>(dialog, "lineEditFileNamePreview")->isReadOnly());
        QVERIFY(child<QLineEdit>(dialog, "lineEditSubFolderPreview")->isReadOnly());
    }

    void storedValuesAreShown()
    {
        settings()->setValue("CreateSubfolders", true);
        settings()->setValue("FileNameFormat", "Shot-D");
        settings()->setValue("SubFolderFormat", "Capture-D-h-m-s");
        DDialogFileOptions dialog(nullptr);
        QVERIFY(child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->isChecked());
        QVERIFY(child<QLineEdit>(dialog, "lineEditSubFolderFormat")->isEnabled());
        QCOMPARE(child<QLineEdit>(dialog, "lineEditFileNameFormat")->text(), QString("Shot-D"));
        QCOMPARE(child<QLineEdit>(dialog, "lineEditFileNamePreview")->text(), previewNow("Shot-D"));
        QCOMPARE(child<QLineEdit>(dialog, "lineEditSubFolderFormat")->text(), QString("Capture-D-h-m-s"));
    }

    void checkingTheBoxEnablesTheSubFolderFields()
    {
        DDialogFileOptions dialog(nullptr);
        child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->setChecked(true);
        QVERIFY(child<QLineEdit>(dialog, "lineEditSubFolderFormat")->isEnabled());
        QVERIFY(child<QLineEdit>(dialog, "lineEditSubFolderPreview")->isEnabled());
        child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->setChecked(false);
        QVERIFY(!child<QLineEdit>(dialog, "lineEditSubFolderFormat")->isEnabled());
    }

    void previewFollowsEveryKeystroke_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("preview");
        // What an emptied field previews: a file name falls back to the
        // default one, a sub-folder to none.
        QTest::addColumn<QString>("emptied");
        QTest::newRow("file name") << "lineEditFileNameFormat" << "lineEditFileNamePreview" << "Snap-Y-M-D-h-m-s";
        QTest::newRow("sub-folder") << "lineEditSubFolderFormat" << "lineEditSubFolderPreview" << "";
    }
    void previewFollowsEveryKeystroke()
    {
        QFETCH(QString, field);
        QFETCH(QString, preview);
        QFETCH(QString, emptied);
        settings()->setValue("CreateSubfolders", true);
        DDialogFileOptions dialog(nullptr);
        auto* edit = child<QLineEdit>(dialog, field.toLatin1().constData());
        auto* shown = child<QLineEdit>(dialog, preview.toLatin1().constData());
        const QString emptiedBefore = previewNow(emptied);
        edit->clear();
        QVERIFY(isPreviewOf(shown->text(), emptied, emptiedBefore));
        QTest::keyClicks(edit, "ab");
        QCOMPARE(shown->text(), QString("ab"));
        QTest::keyClicks(edit, "y");
        QCOMPARE(shown->text(), QString("aby"));
        QTest::keyClicks(edit, ":/x");
        QCOMPARE(shown->text(), QString("abyx"));
        QCOMPARE(edit->text(), QString("aby:/x"));
        const QString before = previewNow("abyx-Y");
        QTest::keyClicks(edit, "-Y");
        QVERIFY(isPreviewOf(shown->text(), "abyx-Y", before));
        QVERIFY(QRegularExpression("^abyx-\\d{4}$").match(shown->text()).hasMatch());
        // Leading dots would hide the file: the preview shows the name saved.
        edit->clear();
        QTest::keyClicks(edit, "../../Snap");
        QCOMPARE(shown->text(), QString("Snap"));
    }

    // Each preview is the name that a save with the templates as typed gives:
    // cleaned, and with the default name or no sub-folder when nothing is left.
    void previewsShowTheNamesASaveWrites_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("subFolder");
        QTest::newRow("slash in the name") << "Y/M-name" << "YM";
        QTest::newRow("empty name") << "" << "Y";
        QTest::newRow("nothing left of either") << ":*/" << "//";
        QTest::newRow("cleaned sub-folder") << "cap-s" << "Y|M";
    }
    void previewsShowTheNamesASaveWrites()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, subFolder);
        QTemporaryDir folder;
        settings()->setValue("NameMethod", 1);
        settings()->setValue("AutomaticSaveFolder", folder.path());
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QString previewed;
        QString written;
        QVERIFY(runWithinOneSecond([&] {
            DDialogFileOptions dialog(nullptr);
            child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->setChecked(true);
            child<QLineEdit>(dialog, "lineEditFileNameFormat")->setText(fileName);
            child<QLineEdit>(dialog, "lineEditSubFolderFormat")->setText(subFolder);
            const QString name = child<QLineEdit>(dialog, "lineEditFileNamePreview")->text();
            const QString sub = child<QLineEdit>(dialog, "lineEditSubFolderPreview")->text();
            previewed = (sub.isEmpty() ? QString() : sub + "/") + name + ".png";
            press(dialog, QDialogButtonBox::Ok);
            DUtility::SaveReport report;
            QVERIFY(DUtility::saveImage(nullptr, image, DD::ImageFile, false, &report));
            written = QDir(folder.path()).relativeFilePath(report.path);
            // The next run would otherwise meet the file and get a counter.
            QVERIFY(QFile::remove(report.path));
        }));
        QCOMPARE(previewed, written);
    }

    void okStoresWhatWasTyped()
    {
        DDialogFileOptions dialog(nullptr);
        child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->setChecked(true);
        child<QLineEdit>(dialog, "lineEditFileNameFormat")->setText("a:b/c-Y");
        child<QLineEdit>(dialog, "lineEditSubFolderFormat")->setText("M|D");
        press(dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settings()->value("CreateSubfolders").toBool(), true);
        QCOMPARE(settings()->value("FileNameFormat").toString(), QString("a:b/c-Y"));
        QCOMPARE(settings()->value("SubFolderFormat").toString(), QString("M|D"));
    }

    void cancelStoresNothing()
    {
        settings()->setValue("FileNameFormat", "Keep");
        DDialogFileOptions dialog(nullptr);
        child<QGroupBox>(dialog, "groupBoxCreateSubfolders")->setChecked(true);
        child<QLineEdit>(dialog, "lineEditFileNameFormat")->setText("Changed");
        child<QLineEdit>(dialog, "lineEditSubFolderFormat")->setText("Changed");
        press(dialog, QDialogButtonBox::Cancel);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(settings()->value("FileNameFormat").toString(), QString("Keep"));
        QVERIFY(!settings()->contains("SubFolderFormat"));
        QVERIFY(!settings()->contains("CreateSubfolders"));
    }

    void tipsAndToolTips()
    {
        DDialogFileOptions dialog(nullptr);
        const QStringList tips = child<QLabel>(dialog, "label_3")->text().split('\n');
        QCOMPARE(tips.size(), 11);
        QCOMPARE(tips.at(1), QString("     invalid characters  * ? : <> / |  \""));
        QCOMPARE(tips.at(10), QString("     s - Second as decimal number (00 - 59)"));
        const QString fileTip = child<QLineEdit>(dialog, "lineEditFileNameFormat")->toolTip();
        const QString folderTip = child<QLineEdit>(dialog, "lineEditSubFolderFormat")->toolTip();
        QVERIFY(fileTip.endsWith("components if you would like. \n"));
        QCOMPARE(folderTip + "\n", fileTip);
        QVERIFY(child<QLineEdit>(dialog, "lineEditFileNamePreview")->toolTip().endsWith("automatically update for you. "));
    }

    void languageChangeKeepsTheTexts()
    {
        DDialogFileOptions dialog(nullptr);
        dialog.setWindowTitle("changed");
        QEvent event(QEvent::LanguageChange);
        QApplication::sendEvent(&dialog, &event);
        QCOMPARE(dialog.windowTitle(), QString("Options: Automatic File Name"));
    }
};

QTEST_MAIN(tst_DDialogFileOptions)
#include "tst_DDialogFileOptions.moc"
