#include "update/curl/curlfetch.h"
#include "update/programlist.h"
#include "support/localhttpserver.h"

#include <QTest>

namespace {

const QByteArray ListStart = "<html><div id=mod_bloglist class=mod>";
const QByteArray ListEnd = "<div id=mod_artclg class=mod></html>";
const QByteArray NextPage = "[\xcf\xc2\xd2\xbb\xd2\xb3]"; // [下一页]

QByteArray article(const QByteArray &link, const QByteArray &title, const QByteArray &tail = {})
{
    return "<div class=tit><a href=\"" + link + "\" target=_blank>" + title + "</a></div><div class=date>2011-01-01"
        + tail;
}

QByteArray navigation(const QList<QByteArray> &pages, const QByteArray &next)
{
    QByteArray nav = "<div id=page><span>1</span> <a href='";
    int number = 2;
    for (const QByteArray &page : pages)
        nav += page + "'>[" + QByteArray::number(number++) + "]</a> <a href='";
    return nav + next + "'>" + NextPage + "</a></div>";
}

QByteArray listPage(const QByteArray &articles)
{
    return ListStart + articles + ListEnd;
}

struct Scrape
{
    QList<update::ProgramEntry> entries;
    QList<QByteArray> extra;
};

} // namespace

class TestProgramList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }

    void firstPageFindsArticlesAndFurtherPages();
    void pagesAreScraped_data();
    void pagesAreScraped();
    void titlesAndLinksStayAsWritten();

private:
    Scrape collect(const QByteArray &path, bool firstPage);
    testing::LocalHttpServer m_server;
};

Scrape TestProgramList::collect(const QByteArray &path, bool firstPage)
{
    Scrape s;
    const auto fetch = [](const QByteArray &address) {
        update::curl::FetchLimits limits;
        limits.totalTimeoutMs = 3000;
        return update::curl::fetchPage(address, limits);
    };
    update::collectPrograms(m_server.address(path), firstPage, fetch, m_server.root(), {s.entries, s.extra});
    return s;
}

void TestProgramList::firstPageFindsArticlesAndFurtherPages()
{
    m_server.serve("/list", listPage(article("/a1", "One") + article("/a2", "Two", navigation({"/p2", "/p3"}, "/p2"))));
    const Scrape s = collect("/list", true);
    QCOMPARE(s.entries.size(), 2);
    QCOMPARE(s.entries.at(0).title, QByteArray("One"));
    QCOMPARE(s.entries.at(0).link, m_server.root() + "/a1");
    QCOMPARE(s.entries.at(1).title, QByteArray("Two"));
    QCOMPARE(s.extra, (QList<QByteArray>{m_server.root() + "/p2", m_server.root() + "/p3"}));

    // A further page is read for its articles only.
    const Scrape again = collect("/list", false);
    QCOMPARE(again.entries.size(), 2);
    QVERIFY(again.extra.isEmpty());
}

void TestProgramList::pagesAreScraped_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QList<QByteArray>>("titles");
    QTest::addColumn<QList<QByteArray>>("furtherPaths");

    QTest::newRow("navigation outside the last block is not read")
        << listPage(article("/a1", "One", navigation({"/p2"}, "/p2")) + article("/a2", "Two"))
        << QList<QByteArray>{"One", "Two"} << QList<QByteArray>{};
    QTest::newRow("navigation without next-page link adds no pages")
        << listPage(article("/a1", "One", "<div id=page><span>1</span> <a href='/p2'>[2]</a></div>"))
        << QList<QByteArray>{"One"} << QList<QByteArray>{};
    QTest::newRow("only a next-page link adds no pages")
        << listPage(article("/a1", "One", navigation({}, "/p2"))) << QList<QByteArray>{"One"} << QList<QByteArray>{};
    QTest::newRow("no article marker in the list area")
        << listPage("<div class=other>nothing</div>") << QList<QByteArray>{} << QList<QByteArray>{};
    QTest::newRow("list area end marker missing")
        << QByteArray(ListStart + article("/a1", "One") + "</html>") << QList<QByteArray>{} << QList<QByteArray>{};
    QTest::newRow("end marker only before the start marker")
        << QByteArray(ListEnd + ListStart + article("/a1", "One")) << QList<QByteArray>{} << QList<QByteArray>{};
    QTest::newRow("articles outside the list area are ignored")
        << QByteArray(article("/x", "Outside") + listPage(article("/a1", "One")) + article("/y", "After"))
        << QList<QByteArray>{"One"} << QList<QByteArray>{};
    QTest::newRow("title without its end marker is listed empty")
        << listPage("<div class=tit><a href=\"/a1\" target=_blank>One</a></div>" + article("/a2", "Two"))
        << QList<QByteArray>{"", "Two"} << QList<QByteArray>{};
    QTest::newRow("duplicate titles are both kept")
        << listPage(article("/a1", "Same") + article("/a2", "Same")) << QList<QByteArray>{"Same", "Same"}
        << QList<QByteArray>{};
    QTest::newRow("empty page") << QByteArray() << QList<QByteArray>{} << QList<QByteArray>{};
}

void TestProgramList::pagesAreScraped()
{
    QFETCH(QByteArray, page);
    QFETCH(QList<QByteArray>, titles);
    QFETCH(QList<QByteArray>, furtherPaths);
    m_server.serve("/case", page);
    const Scrape s = collect("/case", true);
    QList<QByteArray> found;
    for (const update::ProgramEntry &e : s.entries)
        found.append(e.title);
    QCOMPARE(found, titles);
    QList<QByteArray> further;
    for (const QByteArray &address : s.extra)
        further.append(address.mid(m_server.root().size()));
    QCOMPARE(further, furtherPaths);
}

void TestProgramList::titlesAndLinksStayAsWritten()
{
    // GBK title with an entity; a link with an escaped ampersand; a title marker inside a GBK character pair.
    const QByteArray title = "\xc2\xbc\xd2\xf4 &amp; \xd5\xfb\xc0\xed";
    m_server.serve("/raw", listPage(article("/show.asp?id=1&amp;p=2", title)
                                + "<div class=tit><a href=\"/b\">x</a></div><div class=date>"));
    const Scrape s = collect("/raw", false);
    QCOMPARE(s.entries.size(), 2);
    QCOMPARE(s.entries.at(0).title, title);
    QCOMPARE(s.entries.at(0).link, m_server.root() + "/show.asp?id=1&amp;p=2");
    // Neither marker follows: empty title, link that is the site root alone.
    QCOMPARE(s.entries.at(1).title, QByteArray());
    QCOMPARE(s.entries.at(1).link, m_server.root());
}

QTEST_GUILESS_MAIN(TestProgramList)
#include "tst_programlist.moc"
