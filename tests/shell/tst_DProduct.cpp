#include <QDir>
#include <QUrlQuery>
#include <QtTest>

#include "DProduct.h"

class tst_DProduct : public QObject
{
    Q_OBJECT

private slots:
    void identity();
    void updateFeedIsPlainHttpOnTheMakersSite();
    void helpLinks();
    void customerServiceAddress();
    void defaultStorageFolderIsTheDesktop();
};

void tst_DProduct::identity()
{
    QCOMPARE(DProduct::name(), QStringLiteral("Zorvelshot"));
    QCOMPARE(DProduct::version(), QStringLiteral("2.6"));
    QCOMPARE(DProduct::company(), QStringLiteral("Orvanta"));
}

void tst_DProduct::updateFeedIsPlainHttpOnTheMakersSite()
{
    const QUrl feed(DProduct::autoUpdateLink());
    QVERIFY(feed.isValid());
    QCOMPARE(feed.scheme(), QStringLiteral("http"));
    QCOMPARE(feed.path(), QStringLiteral("/d/update.xml"));
    QCOMPARE(feed.host(), DProduct::linkToProduct().host());
}

void tst_DProduct::helpLinks()
{
    const QUrl ticket = DProduct::onlineTicket();
    QVERIFY(ticket.isValid());
    QCOMPARE(ticket.scheme(), QStringLiteral("https"));
    QCOMPARE(ticket.path(), QStringLiteral("/default.asp"));
    QCOMPARE(ticket.query(), QStringLiteral("pg=pgPublicEdit"));

    const QUrl product = DProduct::linkToProduct();
    QVERIFY(product.isValid());
    QCOMPARE(product.path(), QStringLiteral("/screen-capture-tool"));

    const QUrl share = DProduct::tellFriend();
    QVERIFY(share.isValid());
    QCOMPARE(share.host(), product.host());
    QCOMPARE(share.path(), QStringLiteral("/share.php"));
    QCOMPARE(QUrlQuery(share).queryItemValue("prod"), DProduct::name());
}

void tst_DProduct::customerServiceAddress()
{
    const QString address = DProduct::emailCustomerService();
    QVERIFY(!address.startsWith("mailto:"));
    const QUrl mail("mailto:" + address);
    QVERIFY(mail.isValid());
    QCOMPARE(address.count('@'), 1);
    QVERIFY(address.section('@', 1).contains('.'));
}

void tst_DProduct::defaultStorageFolderIsTheDesktop()
{
    // The test runs in a private home without a user-dirs file.
    QCOMPARE(DProduct::defaultStorageFolder(), QDir::homePath() + "/Desktop");
    QCOMPARE(DProduct::defaultStorageFolder(),
             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

QTEST_GUILESS_MAIN(tst_DProduct)
#include "tst_DProduct.moc"
