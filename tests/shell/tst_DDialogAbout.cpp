// The about box.
#include "DDialogAbout.h"
#include "DProduct.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_DDialogAbout : public QObject
{
    Q_OBJECT

private slots:
    void showsIdentityNotPlaceholders();
    void formTexts();
    void sizeFollowsContents();
    void linkOpensMakersSite();
    void okAccepts();
    void escapeRejects();
    void languageChangePutsFormTextsBack();
};

namespace {

// Stands in for the browser: collects what would have been opened.
class DUrlRecorder : public QObject
{
    Q_OBJECT

public:
    DUrlRecorder() { QDesktopServices::setUrlHandler("http", this, "open"); }
    ~DUrlRecorder() override { QDesktopServices::unsetUrlHandler("http"); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

template <class T>
T* child(QDialog& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(name);
    if (!widget)
        qFatal("missing %s", name);
    return widget;
}
} // namespace

void tst_DDialogAbout::showsIdentityNotPlaceholders()
{
    DDialogAbout dialog;
    QCOMPARE(child<QLabel>(dialog, "labelFullName")->text(), QStringLiteral("Orvanta Zorvelshot"));
    QCOMPARE(child<QLabel>(dialog, "labelVersion")->text(), QStringLiteral("2.6"));
    QCOMPARE(child<QLabel>(dialog, "labelVersion")->text(), DProduct::version());
}

void tst_DDialogAbout::formTexts()
{
    DDialogAbout dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Orvanta Screen Capture"));
    QCOMPARE(child<QLabel>(dialog, "label_10")->text(), QStringLiteral("Version Information:"));
    QVERIFY(!child<QLabel>(dialog, "label_3")->text().isEmpty());
    auto* link = child<QLabel>(dialog, "label_9");
    QVERIFY(link->openExternalLinks());
    QVERIFY(link->text().startsWith("For the latest product information, visit us at:<br>"));
    QVERIFY(link->text().contains("<a href=\"http://www.orvanta.com/\">http://www.orvanta.com/</a>"));
    auto* image = child<QLabel>(dialog, "label");
    QVERIFY(!image->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(image->alignment() & (Qt::AlignLeft | Qt::AlignTop), Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = child<QDialogButtonBox>(dialog, "buttonBox");
    QCOMPARE(buttons->standardButtons(), QDialogButtonBox::StandardButtons(QDialogButtonBox::Ok));
    QVERIFY(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    QVERIFY(dialog.isWindow());
}

void tst_DDialogAbout::sizeFollowsContents()
{
    QWidget parent;
    DDialogAbout dialog(&parent);
    QVERIFY(dialog.isWindow());
    QCOMPARE(dialog.layout()->sizeConstraint(), QLayout::SetFixedSize);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    dialog.close();
}

void tst_DDialogAbout::linkOpensMakersSite()
{
    DUrlRecorder browser;
    DDialogAbout dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* link = child<QLabel>(dialog, "label_9");
    // The address stands alone on the label's second line.
    const QPoint onAddress(link->contentsRect().left() + 10, link->contentsRect().top() + link->height() * 3 / 4);
    QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, onAddress);
    QTRY_COMPARE(browser.opened, QList<QUrl>{QUrl("http://www.orvanta.com/")});
}

void tst_DDialogAbout::okAccepts()
{
    DDialogAbout dialog;
    QTimer::singleShot(0, &dialog, [&dialog] {
        child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
}

void tst_DDialogAbout::escapeRejects()
{
    DDialogAbout dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void tst_DDialogAbout::languageChangePutsFormTextsBack()
{
    DDialogAbout dialog;
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&dialog, &change);
    QCOMPARE(child<QLabel>(dialog, "labelFullName")->text(), QStringLiteral("Zorvelshot"));
    QCOMPARE(child<QLabel>(dialog, "labelVersion")->text(), QStringLiteral("2009.01"));
}

QTEST_MAIN(tst_DDialogAbout)
#include "tst_DDialogAbout.moc"
