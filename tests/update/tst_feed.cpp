#include "update/curl/curlfetch.h"
#include "update/feed.h"
#include "support/localhttpserver.h"

#include <QElapsedTimer>
#include <QTest>

using update::curl::FetchLimits;

namespace {

// Short bounds, so that a test of a silent server ends in seconds.
FetchLimits quickLimits()
{
    FetchLimits limits;
    limits.connectTimeoutMs = 1000;
    limits.totalTimeoutMs = 1500;
    return limits;
}

QByteArray gbk(const char *utf8Free)
{
    return QByteArray(utf8Free);
}

} // namespace

class TestFeed : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }

    void feedPagesAreCutIntoPieces_data();
    void feedPagesAreCutIntoPieces();
    void markersInsideTwoByteCharactersDoNotMatch();
    void downloadAddressUnescapesOneLevel_data();
    void downloadAddressUnescapesOneLevel();
    void textBetweenFindsTheFirstPair_data();
    void textBetweenFindsTheFirstPair();

    void requestIsAPlainUncachedGet();
    void errorPagesAreReturnedLikeAnyOther();
    void redirectsAreFollowedToWebAddressesOnly();
    void refusedConnectionGivesNothing();
    void silentServerEndsAtTheBound();
    void stalledBodyKeepsWhatWasRead();
    void hugeBodyIsCapped();
    void emptyAddressFetchesNothing();

private:
    testing::LocalHttpServer m_server;
};

void TestFeed::feedPagesAreCutIntoPieces_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::newRow("five pieces") << QByteArray("a########b########5.1########x&amp;y########z")
                                 << QList<QByteArray>{"a", "b", "5.1", "x&amp;y", "z"};
    QTest::newRow("same version still cut") << QByteArray("a########b########5.0########x########z")
                                            << QList<QByteArray>{"a", "b", "5.0", "x", "z"};
    QTest::newRow("fourth marker at the end leaves no empty piece")
        << QByteArray("a########b########5.1########x########") << QList<QByteArray>{"a", "b", "5.1", "x"};
    QTest::newRow("seven markers stop at five pieces")
        << QByteArray("a########b########5.1########x########z########q########r########s")
        << QList<QByteArray>{"a", "b", "5.1", "x", "z"};
    QTest::newRow("two leading markers give empty pieces")
        << QByteArray("################5.1########u########v") << QList<QByteArray>{"", "", "5.1", "u", "v"};
    QTest::newRow("a lead byte swallows the first number sign")
        << QByteArray("a########b########5.1########\x81########x########z")
        << QList<QByteArray>{"a", "b", "5.1", "\x81########x", "z"};
    QTest::newRow("GBK text around the markers")
        << gbk("\xb2\xe2########\xca\xd4########5.1########http://h/\xd6\xd0########\xce\xb2")
        << QList<QByteArray>{"\xb2\xe2", "\xca\xd4", "5.1", "http://h/\xd6\xd0", "\xce\xb2"};
    QTest::newRow("empty body") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("first byte zero") << QByteArray("\0a########b########5.1########x########z", 40)
                                     << QList<QByteArray>{};
    QTest::newRow("zero byte ends the text") << QByteArray("a########b########5.1\0########x########z", 41)
                                             << QList<QByteArray>{"a", "b", "5.1"};
    QTest::newRow("page without markers") << QByteArray("<html>nothing here</html>")
                                          << QList<QByteArray>{"<html>nothing here</html>"};
}

void TestFeed::feedPagesAreCutIntoPieces()
{
    QFETCH(QByteArray, body);
    QFETCH(QList<QByteArray>, pieces);
    m_server.serve("/feed", body);
    const QByteArray fetched = update::curl::fetchPage(m_server.address("/feed"), quickLimits());
    QCOMPARE(fetched, body);
    QCOMPARE(update::splitFeed(update::pageText(fetched)), pieces);
}

void TestFeed::markersInsideTwoByteCharactersDoNotMatch()
{
    // 中文: the middle bytes D0 CE are no character of their own.
    const QByteArray text("\xd6\xd0\xce\xc4");
    QCOMPARE(update::splitText(text, "\xd0\xce"), QList<QByteArray>{text});
    QCOMPARE(update::textBetween(text, "\xd0", "\xc4"), QByteArray());
    // On a character boundary the same bytes do match.
    QCOMPARE(update::splitText("a\xd0\xce" "b", "\xd0\xce"), (QList<QByteArray>{"a", "b"}));
    QCOMPARE(update::splitText("abc", ""), QList<QByteArray>{"abc"});
}

void TestFeed::downloadAddressUnescapesOneLevel_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<QByteArray>("address");
    QTest::newRow("single escape") << QByteArray("x&amp;y") << QByteArray("x&y");
    QTest::newRow("double escape keeps one level") << QByteArray("a&amp;amp;b") << QByteArray("a&amp;b");
    QTest::newRow("every occurrence") << QByteArray("h?a=1&amp;b=2&amp;c=3") << QByteArray("h?a=1&b=2&c=3");
    QTest::newRow("case matters") << QByteArray("a&AMP;b") << QByteArray("a&AMP;b");
}

void TestFeed::downloadAddressUnescapesOneLevel()
{
    QFETCH(QByteArray, piece);
    QFETCH(QByteArray, address);
    QCOMPARE(update::downloadAddress({"a", "b", "5.1", piece, "z"}), address);
}

void TestFeed::textBetweenFindsTheFirstPair_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("first start, first end after it") << QByteArray("x]y[a]b[c]") << QByteArray("a");
    QTest::newRow("end missing after start") << QByteArray("x]y[abc") << QByteArray();
    QTest::newRow("start missing") << QByteArray("abc]") << QByteArray();
    QTest::newRow("nothing between") << QByteArray("[]") << QByteArray();
}

void TestFeed::textBetweenFindsTheFirstPair()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(update::textBetween(text, "[", "]"), expected);
}

void TestFeed::requestIsAPlainUncachedGet()
{
    m_server.serve("/feed?a=%41&b=c", "ok");
    const qsizetype before = m_server.requests().size();
    QCOMPARE(update::curl::fetchPage(m_server.address("/feed?a=%41&b=c"), quickLimits()), QByteArray("ok"));
    const QList<QByteArray> requests = m_server.requests();
    QCOMPARE(requests.size(), before + 1);
    const QByteArray head = requests.last();
    QVERIFY2(head.startsWith("GET /feed?a=%41&b=c HTTP/1.0\r\n"), head.constData());
    QVERIFY(head.contains("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"));
    QVERIFY(head.contains("\r\nAccept: */*\r\n"));
    QVERIFY(head.contains("\r\nPragma: no-cache\r\n"));
    QVERIFY(head.contains("\r\nCache-Control: no-cache\r\n"));
    QVERIFY(!head.toLower().contains("\r\nreferer:"));
    QVERIFY(!head.toLower().contains("\r\naccept-encoding:"));
}

void TestFeed::errorPagesAreReturnedLikeAnyOther()
{
    m_server.serve("/gone", "<html>gone</html>", "500 Internal Server Error");
    QCOMPARE(update::curl::fetchPage(m_server.address("/gone"), quickLimits()), QByteArray("<html>gone</html>"));
    QVERIFY(update::curl::fetchPage(m_server.address("/never-served"), quickLimits()).contains("404"));
}

void TestFeed::redirectsAreFollowedToWebAddressesOnly()
{
    m_server.serve("/target", "moved here");
    testing::LocalHttpServer::Answer moved;
    moved.status = "302 Found";
    moved.body = "see elsewhere";
    moved.headers = "Location: " + m_server.address("/target") + "\r\n";
    m_server.serve("/moved", moved);
    QCOMPARE(update::curl::fetchPage(m_server.address("/moved"), quickLimits()), QByteArray("moved here"));

    moved.headers = "Location: file:///etc/hostname\r\n";
    m_server.serve("/to-file", moved);
    QCOMPARE(update::curl::fetchPage(m_server.address("/to-file"), quickLimits()), QByteArray());
}

void TestFeed::refusedConnectionGivesNothing()
{
    const quint16 port = testing::LocalHttpServer::refusingPort();
    QVERIFY(port != 0);
    QCOMPARE(update::curl::fetchPage("http://127.0.0.1:" + QByteArray::number(port) + "/feed", quickLimits()),
        QByteArray());
}

void TestFeed::silentServerEndsAtTheBound()
{
    testing::LocalHttpServer::Answer silent;
    silent.kind = testing::LocalHttpServer::Kind::NeverAnswer;
    m_server.serve("/silent", silent);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(update::curl::fetchPage(m_server.address("/silent"), quickLimits()), QByteArray());
    // Far below an unbounded wait, with room for a slow machine.
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
}

void TestFeed::stalledBodyKeepsWhatWasRead()
{
    testing::LocalHttpServer::Answer stall;
    stall.kind = testing::LocalHttpServer::Kind::Stall;
    stall.body = "a########b########5.1";
    stall.announcedLength = 1000;
    m_server.serve("/stall", stall);
    QCOMPARE(update::curl::fetchPage(m_server.address("/stall"), quickLimits()), stall.body);
}

void TestFeed::hugeBodyIsCapped()
{
    const FetchLimits limits;
    QByteArray huge(limits.maxBodyBytes + 3 * 1024 * 1024, 'x');
    huge[0] = 'A';
    m_server.serve("/huge", huge);
    FetchLimits bounded = limits;
    bounded.totalTimeoutMs = 10000;
    const QByteArray fetched = update::curl::fetchPage(m_server.address("/huge"), bounded);
    QCOMPARE(fetched.size(), limits.maxBodyBytes);
    QVERIFY(fetched == huge.left(limits.maxBodyBytes));
}

void TestFeed::emptyAddressFetchesNothing()
{
    const qsizetype before = m_server.requests().size();
    QCOMPARE(update::curl::fetchPage(QByteArray(), quickLimits()), QByteArray());
    QCOMPARE(update::curl::fetchPage("file:///etc/hostname", quickLimits()), QByteArray());
    QCOMPARE(m_server.requests().size(), before);
}

QTEST_GUILESS_MAIN(TestFeed)
#include "tst_feed.moc"
