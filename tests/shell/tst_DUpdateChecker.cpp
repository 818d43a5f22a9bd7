// The update check against a feed served from 127.0.0.1.
#include "DFeedServer.h"
#include "DProcessMemory.h"
#include "DUpdateChecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class tst_DUpdateChecker : public QObject
{
    Q_OBJECT

private slots:
    void osStringsAreSetByTheChecker();
    void verdict_data();
    void verdict();
    void requestNamesProductAndOs();
    void secondCheckWhilePendingSendsNothing();
    void checkAgainAfterAnswer();
    void failedRequestsReportNothing_data();
    void failedRequestsReportNothing();
    void refusedConnectionReportsNothing();
    void secureFeedWithoutEncryptionReportsNothing();
    void pendingReplyIsDroppedWithTheChecker();
    void hostileBodiesOfferNothing_data();
    void hostileBodiesOfferNothing();
    void feedWithinTheLimitsIsRead();
    void endlessAnswersOfferNothing_data();
    void endlessAnswersOfferNothing();
    void chunkedFeedIsRead();
    void redirectIsNotFollowed();
    void feedThroughTheProxyOfTheEnvironment();

private:
    // A check of the address ends once, without an offer.
    void reportsNothing(const QUrl& url);
    // The one answer that came gave no offer; the next check, of a sound
    // feed, gives one.
    void nothingOfferedThenTheNextCheckWorks(DFeedServer& server, DUpdateChecker& checker, QSignalSpy& finished);
};

namespace {

QByteArray feed(const QByteArray& products)
{
    return "<?xml version=\"1.0\"?>\n<feed>" + products + "</feed>";
}

QByteArray product(const QByteArray& attributes)
{
    return "<product " + attributes + "/>";
}

const QByteArray Link = "link=\"http://www.orvanta.com/download\"";

} // namespace

void tst_DUpdateChecker::osStringsAreSetByTheChecker()
{
    // Before any checker exists the process knows no operating system.
    QCOMPARE(sOSCode, QStringLiteral("Unknown"));
    QCOMPARE(sUserAgentSuffix, QStringLiteral("(Unknown OS)"));
    DUpdateChecker checker;
    QCOMPARE(sOSCode, QStringLiteral("Linux"));
    QCOMPARE(sUserAgentSuffix, QStringLiteral("(Linux)"));
}

void tst_DUpdateChecker::verdict_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("link");

    const QString download = QStringLiteral("http://www.orvanta.com/download");
    QTest::newRow("newer") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.7\" " + Link))
                           << "2.6" << true << "2.7" << download;
    QTest::newRow("same") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.6\" " + Link))
                          << "2.6" << false << "2.6" << download;
    QTest::newRow("older") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.5\" " + Link))
                           << "2.6" << false << "2.5" << download;
    QTest::newRow("https link") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"3\" "
                                                "link=\"https://www.orvanta.com/d\""))
                                << "2.6" << true << "3" << "https://www.orvanta.com/d";
    QTest::newRow("nested anywhere in the tree")
        << QByteArray("<a><b><c>" + product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.7\" " + Link) + "</c></b></a>")
        << "2.6" << true << "2.7" << download;
    QTest::newRow("2.10 is older than 2.6")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.10\" " + Link)) << "2.6" << false << "2.10"
        << download;
    QTest::newRow("2.6.1 is no number")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.6.1\" " + Link)) << "2.6" << false << "2.6.1"
        << download;
    QTest::newRow("current version no number")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"0.5\" " + Link)) << "beta" << true << "0.5"
        << download;
    QTest::newRow("wrong os") << feed(product("name=\"Zorvelshot\" os=\"Mac\" version=\"9\" " + Link)) << "2.6"
                              << false << "" << "";
    QTest::newRow("wrong name") << feed(product("name=\"zorvelshot\" os=\"Linux\" version=\"9\" " + Link)) << "2.6"
                                << false << "" << "";
    QTest::newRow("no os") << feed(product("name=\"Zorvelshot\" version=\"9\" " + Link)) << "2.6" << false << ""
                           << "";
    QTest::newRow("no name") << feed(product("os=\"Linux\" version=\"9\" " + Link)) << "2.6" << false << "" << "";
    QTest::newRow("no link") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\"")) << "2.6" << false
                             << "" << "";
    QTest::newRow("no version") << feed(product("name=\"Zorvelshot\" os=\"Linux\" " + Link)) << "2.6" << false << ""
                                << "";
    QTest::newRow("empty version")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"\" " + Link)) << "2.6" << false << "" << download;
    QTest::newRow("incomplete entry passed over")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\"")
                + product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.8\" " + Link))
        << "2.6" << true << "2.8" << download;
    QTest::newRow("first complete match wins")
        << feed(product("name=\"Other\" os=\"Linux\" version=\"7\" " + Link)
                + product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.7\" " + Link)
                + product("name=\"Zorvelshot\" os=\"Linux\" version=\"5.0\" link=\"http://www.orvanta.com/five\""))
        << "2.6" << true << "2.7" << download;
    QTest::newRow("not XML") << QByteArray("this is no feed <<<") << "2.6" << false << "" << "";
    QTest::newRow("empty body") << QByteArray() << "2.6" << false << "" << "";
    QTest::newRow("no products") << feed("") << "2.6" << false << "" << "";

    // A plain-HTTP feed may have been tampered with: only a web link is offered.
    QTest::newRow("file link") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" link=\"file:///bin/sh\""))
                               << "2.6" << false << "9" << "";
    QTest::newRow("javascript link")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" link=\"javascript:alert(1)\"")) << "2.6"
        << false << "9" << "";
    QTest::newRow("ftp link") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" link=\"ftp://host/x\""))
                              << "2.6" << false << "9" << "";
    QTest::newRow("relative link") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" link=\"/download\""))
                                   << "2.6" << false << "9" << "";
    QTest::newRow("http without host") << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" link=\"http:x\""))
                                       << "2.6" << false << "9" << "";
}

void tst_DUpdateChecker::verdict()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, current);
    QFETCH(bool, newer);
    QFETCH(QString, latest);
    QFETCH(QString, link);

    DFeedServer server;
    QVERIFY(server.isListening());
    server.serve(body);
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), current));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), newer);
    QCOMPARE(finished.at(0).at(1).toString(), latest);
    QCOMPARE(finished.at(0).at(2).toString(), link);
    QVERIFY(!checker.isPending());
}

void tst_DUpdateChecker::requestNamesProductAndOs()
{
    DFeedServer server;
    server.serve(feed(""));
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(server.requests.count(), 1);
    QCOMPARE(server.requests.at(0).method, QByteArray("GET"));
    QCOMPARE(server.requests.at(0).path, QByteArray("/d/update.xml"));
    QCOMPARE(server.requests.at(0).userAgent, QByteArray("Orvanta-Update 1.0 - Zorvelshot(Linux)"));
}

void tst_DUpdateChecker::secondCheckWhilePendingSendsNothing()
{
    DFeedServer server;
    server.setSilent(true);
    DUpdateChecker checker;
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QTRY_COMPARE(server.requests.count(), 1);
    QVERIFY(checker.isPending());
    QVERIFY(!checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QTest::qWait(200);
    QCOMPARE(server.requests.count(), 1);
}

void tst_DUpdateChecker::checkAgainAfterAnswer()
{
    DFeedServer server;
    server.serve(feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"3\" " + Link)));
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    // The second check compares with the version it is given, not the first one.
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "3.5"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 2);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(finished.at(1).at(0).toBool(), false);
}

void tst_DUpdateChecker::failedRequestsReportNothing_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("not found") << 404;
    QTest::newRow("server error") << 500;
}

void tst_DUpdateChecker::failedRequestsReportNothing()
{
    QFETCH(int, status);
    DFeedServer server;
    // An error page that happens to hold a matching entry still says nothing.
    server.serve(feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link)), status);
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(finished.at(0).at(1).toString(), QString());
    QCOMPARE(finished.at(0).at(2).toString(), QString());
}

void tst_DUpdateChecker::reportsNothing(const QUrl& url)
{
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", url.toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(!checker.isPending());
}

void tst_DUpdateChecker::refusedConnectionReportsNothing()
{
    QUrl url;
    {
        DFeedServer closed;
        url = closed.url();
    }
    reportsNothing(url);
}

// An address of https whose server speaks plain HTTP: the handshake fails and
// nothing is believed.
void tst_DUpdateChecker::secureFeedWithoutEncryptionReportsNothing()
{
    // Answers in the clear as soon as someone connects.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, [&server] {
        QTcpSocket* socket = server.nextPendingConnection();
        socket->write("HTTP/1.1 200 OK\r\n\r\n"
                      + feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link)));
    });
    const QUrl url(QStringLiteral("https://127.0.0.1:%1/d/update.xml").arg(server.serverPort()));
    reportsNothing(url);
}

void tst_DUpdateChecker::pendingReplyIsDroppedWithTheChecker()
{
    DFeedServer server;
    server.setSilent(true);
    auto checker = std::make_unique<DUpdateChecker>();
    QSignalSpy finished(checker.get(), &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker->check("Zorvelshot", server.url().toString(), "2.6"));
    QTRY_COMPARE(server.requests.count(), 1);
    checker.reset();
    QTest::qWait(100);
    QCOMPARE(finished.count(), 0);
}

namespace {

// A matching entry the checker would offer, wrapped in depth elements.
QByteArray nestedFeed(int depth)
{
    QByteArray body = "<?xml version=\"1.0\"?>\n";
    for (int i = 0; i < depth; ++i)
        body += "<a>";
    body += product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link);
    for (int i = 0; i < depth; ++i)
        body += "</a>";
    return body;
}

// A well-formed feed of many flat elements, its matching entry at the end.
QByteArray flatFeed(int bytes)
{
    QByteArray filler;
    const QByteArray element = "<pad/>";
    filler.reserve(bytes);
    while (filler.size() < bytes)
        filler += element;
    return feed(filler + product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link));
}

// A few hundred bytes whose entities expand to a billion copies of a word,
// the matching entry's version among them.
QByteArray expandingFeed()
{
    QByteArray body = "<?xml version=\"1.0\"?>\n<!DOCTYPE feed [\n<!ENTITY l0 \"9\">\n";
    for (int i = 1; i < 10; ++i) {
        QByteArray entity = "<!ENTITY l" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            entity += "&l" + QByteArray::number(i - 1) + ";";
        body += entity + "\">\n";
    }
    body += "]>\n";
    return body + "<feed>" + product("name=\"Zorvelshot\" os=\"Linux\" version=\"&l9;\" " + Link) + "</feed>";
}

} // namespace

// Whoever sits on the network path controls the feed: bodies that would
// crash, exhaust or mislead the program give no offer, and the checker stays
// usable for the next check.
void tst_DUpdateChecker::hostileBodiesOfferNothing_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("100,000 nested elements") << nestedFeed(100000);
    QTest::newRow("nesting just past the bound") << nestedFeed(DUpdateChecker::MaxFeedDepth);
    QTest::newRow("16 MB of flat elements") << flatFeed(16 * 1024 * 1024);
    QTest::newRow("just past the size limit") << flatFeed(int(DUpdateChecker::MaxFeedBytes));
    QTest::newRow("truncated after the entry")
        << feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link)).chopped(3);
    QTest::newRow("unclosed root") << QByteArray("<feed>" + product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link));
    QTest::newRow("entities expanding a billion times") << expandingFeed();
    QTest::newRow("garbage after the entry")
        << QByteArray(feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link)) + "<<<");
}

void tst_DUpdateChecker::hostileBodiesOfferNothing()
{
    QFETCH(QByteArray, body);
    DFeedServer server;
    QVERIFY(server.isListening());
    server.serve(body);
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(60000));
    nothingOfferedThenTheNextCheckWorks(server, checker, finished);
}

void tst_DUpdateChecker::nothingOfferedThenTheNextCheckWorks(DFeedServer& server, DUpdateChecker& checker,
                                                              QSignalSpy& finished)
{
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(finished.at(0).at(1).toString(), QString());
    QCOMPARE(finished.at(0).at(2).toString(), QString());
    QVERIFY(!checker.isPending());

    // The next check reads a sound feed as usual.
    server.serve(feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.7\" " + Link)));
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 2);
    QCOMPARE(finished.at(1).at(0).toBool(), true);
}

// The limits leave room for any real feed: at the depth bound and just under
// the size limit the entry is still found.
void tst_DUpdateChecker::feedWithinTheLimitsIsRead()
{
    for (const QByteArray& body : {nestedFeed(DUpdateChecker::MaxFeedDepth - 1),
                                   flatFeed(int(DUpdateChecker::MaxFeedBytes) - 4096)}) {
        QVERIFY(body.size() <= DUpdateChecker::MaxFeedBytes);
        DFeedServer server;
        server.serve(body);
        DUpdateChecker checker;
        QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
        QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("9"));
    }
}

namespace {

// The most memory this process held above `before` while `finished` was
// awaited; the wait itself as waited.
qint64 peakGrowthWhileWaiting(QSignalSpy& finished, int timeoutMs, bool& arrived)
{
    const qint64 before = processMemoryBytes(QCoreApplication::applicationPid());
    qint64 peak = before;
    QElapsedTimer clock;
    clock.start();
    while (finished.isEmpty() && clock.elapsed() < timeoutMs) {
        finished.wait(50);
        peak = qMax(peak, processMemoryBytes(QCoreApplication::applicationPid()));
    }
    arrived = !finished.isEmpty();
    return peak - before;
}

const QByteArray Ok = "HTTP/1.1 200 OK\r\n";
const QByteArray Chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

} // namespace

// Anyone on the plain-HTTP path may answer with a status line, a header or a
// chunk that never ends, or dribble for ever: the whole exchange is bounded in
// bytes and in time, the program's memory stays put, nothing is offered, and
// the next check works.
void tst_DUpdateChecker::endlessAnswersOfferNothing_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("filler");
    QTest::addColumn<int>("intervalMs");
    const QByteArray letters(4096, 'a');
    QTest::newRow("endless status line") << QByteArray("HTTP/1.1 200 ") << letters << 0;
    QTest::newRow("endless header line") << Ok + "X-Pad: " << letters << 0;
    QTest::newRow("endless header lines") << Ok << QByteArray("X-Pad: a\r\n").repeated(400) << 0;
    QTest::newRow("endless chunk-size line") << Chunked << QByteArray(4096, '1') << 0;
    QTest::newRow("endless chunk extension") << Chunked + "10;" << letters << 0;
    QTest::newRow("endless chunks") << Chunked << QByteArray("1000\r\n" + QByteArray(4096, 'x') + "\r\n") << 0;
    QTest::newRow("endless trailer lines") << Chunked + "0\r\n" << QByteArray("X-Pad: a\r\n").repeated(400) << 0;
    QTest::newRow("endless body without length") << Ok + "\r\n" << letters << 0;
    QTest::newRow("body longer than its length") << Ok + "Content-Length: 100\r\n\r\n" << letters << 0;
    // Ten bytes a second: only the clock ends it.
    QTest::newRow("dribbling header line") << Ok + "X-Pad: " << QByteArray(1, 'a') << 100;
}

void tst_DUpdateChecker::endlessAnswersOfferNothing()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, filler);
    QFETCH(int, intervalMs);
    DFeedServer server;
    QVERIFY(server.isListening());
    // Far beyond any bound, short of what would hurt the machine.
    server.serveEndless(head, filler, 256 * 1024 * 1024, intervalMs);
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    bool arrived = false;
    const qint64 growth = peakGrowthWhileWaiting(finished, DUpdateChecker::TimeLimitMs + 15000, arrived);
    QVERIFY2(arrived, qPrintable(QStringLiteral("no answer; %1 bytes sent").arg(server.sentBytes)));
    QVERIFY2(growth < 100 * 1024 * 1024, qPrintable(QString::number(growth)));
    QVERIFY2(server.sentBytes < 64 * 1024 * 1024, qPrintable(QString::number(server.sentBytes)));
    if (intervalMs > 0)
        QVERIFY2(clock.elapsed() >= DUpdateChecker::TimeLimitMs - 1000, qPrintable(QString::number(clock.elapsed())));
    // The checker has let the connection go.
    QTRY_COMPARE(server.closedConnections, 1);
    nothingOfferedThenTheNextCheckWorks(server, checker, finished);
}

// A feed sent in chunks, as a server that does not know its length sends it.
void tst_DUpdateChecker::chunkedFeedIsRead()
{
    const QByteArray body = feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.7\" " + Link));
    QByteArray chunks;
    for (int at = 0; at < body.size(); at += 7)
        chunks += QByteArray::number(qMin(7, body.size() - at), 16) + (at == 0 ? ";ext=1" : "") + "\r\n"
                  + body.mid(at, 7) + "\r\n";
    chunks += "0\r\nX-Trailer: yes\r\n\r\n";
    DFeedServer server;
    // The whole answer as the head, and nothing after it.
    server.serveEndless("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n" + chunks, QByteArray(), 0);
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("2.7"));
}

void tst_DUpdateChecker::redirectIsNotFollowed()
{
    DFeedServer target;
    target.serve(feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"9\" " + Link)));
    DFeedServer server;
    server.serveEndless("HTTP/1.1 302 Found\r\nLocation: " + target.url().toEncoded() + "\r\nContent-Length: 0\r\n\r\n",
                        QByteArray(), 0);
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", server.url().toString(), "2.6"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(target.requests.count(), 0);
}

// The request goes where the environment's proxy says, naming the feed's
// whole address.
void tst_DUpdateChecker::feedThroughTheProxyOfTheEnvironment()
{
    DFeedServer proxy;
    proxy.serve(feed(product("name=\"Zorvelshot\" os=\"Linux\" version=\"2.7\" " + Link)));
    qputenv("http_proxy", proxy.url("").toEncoded());
    DUpdateChecker checker;
    QSignalSpy finished(&checker, &DUpdateChecker::checkUpdateFinished);
    QVERIFY(checker.check("Zorvelshot", "http://www.orvanta.com/d/update.xml", "2.6"));
    const bool answered = finished.wait(10000);
    qunsetenv("http_proxy");
    QVERIFY(answered);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(proxy.requests.count(), 1);
    QCOMPARE(proxy.requests.at(0).path, QByteArray("http://www.orvanta.com/d/update.xml"));
}

QTEST_GUILESS_MAIN(tst_DUpdateChecker)
#include "tst_DUpdateChecker.moc"
