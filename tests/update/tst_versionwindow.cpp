#include "common/dialogs.h"
#include "update/curl/curlfetch.h"
#include "update/helpwindow.h"
#include "update/versionwindow.h"
#include "support/localhttpserver.h"
#include "support/scripteddialogs.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;

static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

QByteArray article(const QByteArray &link, const QByteArray &title, const QByteArray &tail = {})
{
    return "<div class=tit><a href=\"" + link + "\" target=_blank>" + title + "</a></div><div class=date>x" + tail;
}

QByteArray listPage(const QByteArray &articles)
{
    return "<div id=mod_bloglist class=mod>" + articles + "<div id=mod_artclg class=mod>";
}

const QByteArray NextPage = "[\xcf\xc2\xd2\xbb\xd2\xb3]"; // [下一页]

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

} // namespace

class TestVersionWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsAtTheirPlaces_data();
    void controlsAtTheirPlaces();
    void listsProgramsOfEveryLinkedPageInOrder();
    void choosingARowOpensEveryEntryOfThatTitle();
    void focusAloneOpensNothing();
    void closingEmptiesTheLists();
    void downloadBeforeCheckAsksForACheck();
    void checkShowsLatestVersionAndDownloadOpensIt();
    void failedCheckKeepsWhatWasShown();
    void emptyVersionPieceKeepsAskingForACheck();
    void shortFeedCountsAsAFailedCheck();
    void blogButtonOpensTheFeedArticle();
    void noNetworkGivesAnEmptyListWithoutMessage();

    void helpTextKeepsItsFixedParts();
    void helpWindowShowsTheTextAndForgetsEdits();

private:
    std::unique_ptr<update::VersionWindow> makeWindow(const update::Addresses &addresses);
    std::unique_ptr<update::VersionWindow> makeWindow() { return makeWindow(m_addresses); }
    QList<QByteArray> titles() const;

    testing::LocalHttpServer m_server;
    update::Addresses m_addresses;
    update::VersionFeed m_windowFeed;
    QList<update::ProgramEntry> m_entries;
    QList<QByteArray> m_extra;
    testing::ScriptedDialogs *m_dialogs = nullptr;
    QList<QUrl> m_opened;
};

void TestVersionWindow::initTestCase()
{
    initResources();
    QVERIFY(m_server.start());
    m_addresses.feed = m_server.address("/feed");
    m_addresses.blogList = m_server.address("/list");
    m_addresses.siteRoot = m_server.root();
}

void TestVersionWindow::init()
{
    m_windowFeed.clear();
    m_entries.clear();
    m_extra.clear();
    m_opened.clear();
    m_dialogs = new testing::ScriptedDialogs;
    m_server.serve("/list", listPage(article("/a1", "One") + article("/a2", "Two")));
    m_server.serve("/feed", "a########b########5.1########http://dl.example/get?a=1&amp;b=2########z");
}

void TestVersionWindow::cleanup()
{
    QVERIFY(m_dialogs->allAnswersUsed());
    delete m_dialogs;
}

std::unique_ptr<update::VersionWindow> TestVersionWindow::makeWindow(const update::Addresses &addresses)
{
    update::VersionWindow::Context context;
    context.fetchPage = [](const QByteArray &address) {
        update::curl::FetchLimits limits;
        limits.totalTimeoutMs = 3000;
        return update::curl::fetchPage(address, limits);
    };
    context.openUrl = [this](const QUrl &url) {
        m_opened.append(url);
        return true;
    };
    context.dialogs = m_dialogs;
    context.addresses = addresses;
    return std::make_unique<update::VersionWindow>(
        update::VersionWindow::State{m_windowFeed, m_entries, m_extra}, context);
}

QList<QByteArray> TestVersionWindow::titles() const
{
    QList<QByteArray> result;
    for (const update::ProgramEntry &e : m_entries)
        result.append(e.title);
    return result;
}

void TestVersionWindow::controlsAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    QTest::newRow("own version") << u"标签1"_s << QRect(45, 24, 112, 24) << u"当前版本号： 5.0"_s;
    QTest::newRow("latest caption") << u"标签2"_s << QRect(45, 48, 72, 24) << u"最新版本号："_s;
    QTest::newRow("latest version") << u"标签3"_s << QRect(130, 48, 24, 24) << QString();
    QTest::newRow("check button") << u"检查更新按钮"_s << QRect(220, 32, 80, 32) << u"开始检查"_s;
    QTest::newRow("download button") << u"下载按钮"_s << QRect(16, 87, 224, 24) << u"点击下载程序最新版本"_s;
    QTest::newRow("blog button") << u"超级按钮1"_s << QRect(248, 87, 80, 24) << u"官方博客"_s;
    QTest::newRow("list heading") << u"标签4"_s << QRect(9, 124, 145, 18) << u"Vornel软件作品系列："_s;
    QTest::newRow("program list") << u"超级列表框1"_s << QRect(7, 145, 321, 102) << QString();
}

void TestVersionWindow::controlsAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->windowTitle(), u"检查新版本"_s);
    QCOMPARE(window->size(), QSize(update::VersionWindow::ClientWidth, update::VersionWindow::ClientHeight));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    auto *widget = window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
    QVERIFY(widget->isVisible());
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
    for (const char *hidden : {"超级链接框1", "超级链接框2"}) {
        auto *link = window->findChild<QLabel *>(QString::fromUtf8(hidden));
        QVERIFY(link);
        QVERIFY(!link->isVisible());
    }
    const QColor magenta(255, 0, 255);
    QCOMPARE(window->latestVersionLabel()->palette().color(QPalette::WindowText), magenta);
    QVERIFY(window->latestVersionLabel()->font().bold());
}

void TestVersionWindow::listsProgramsOfEveryLinkedPageInOrder()
{
    const QByteArray navigation = "<div id=page><span>1</span> <a href='/p2'>[2]</a> <a href='/p3'>[3]</a> "
                                  "<a href='/p2'>" + NextPage + "</a></div>";
    m_server.serve("/list", listPage(article("/a1", "One") + article("/a2", "\xc1\xbd", navigation)));
    // Page 2 links page 4, which must not be read.
    m_server.serve("/p2", listPage(article("/b1", "Three", "<div id=page><span>1</span> <a href='/p4'>[4]</a> <a href='/p4'>"
                                                               + NextPage)));
    m_server.serve("/p3", listPage(article("/c1", "Four")));
    m_server.serve("/p4", listPage(article("/d1", "Never")));
    const qsizetype before = m_server.requests().size();

    auto window = makeWindow();
    QCOMPARE(m_server.requestedPaths().mid(before), (QList<QByteArray>{"/list", "/p2", "/p3"}));
    QCOMPARE(titles(), (QList<QByteArray>{"One", "\xc1\xbd", "Three", "Four"}));
    QCOMPARE(m_extra, (QList<QByteArray>{m_server.root() + "/p2", m_server.root() + "/p3"}));

    QTreeWidget *list = window->programList();
    QCOMPARE(list->topLevelItemCount(), 4);
    const QStringList shown{u"One"_s, u"两"_s, u"Three"_s, u"Four"_s};
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(list->topLevelItem(row)->text(0), shown.at(row));
        QCOMPARE(list->topLevelItem(row)->icon(0).availableSizes().value(0), QSize(16, 15));
    }
    QCOMPARE(list->columnCount(), 1);
    QVERIFY(list->isHeaderHidden());
    QCOMPARE(list->headerItem()->text(0), u"Vornel软件作品系列"_s);
    QCOMPARE(list->columnWidth(0), 300);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(m_opened.isEmpty());
}

void TestVersionWindow::choosingARowOpensEveryEntryOfThatTitle()
{
    m_server.serve("/list", listPage(article("/a1", "Same") + article("/a2", "Other") + article("/a3", "Same")));
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTreeWidget *list = window->programList();
    const auto url = [this](const char *path) { return QUrl(QString::fromLatin1(m_server.address(path))); };

    const QRect third = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(m_opened, (QList<QUrl>{url("/a1"), url("/a3")}));
    // The link control holds the last address opened.
    QCOMPARE(window->findChild<QLabel *>(u"超级链接框1"_s)->text(), QString::fromLatin1(m_server.address("/a3")));

    m_opened.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QVERIFY2(m_opened.isEmpty(), "the current row was clicked again");

    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(m_opened, QList<QUrl>{url("/a2")});
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(m_opened, (QList<QUrl>{url("/a2"), url("/a1"), url("/a3")}));
}

void TestVersionWindow::focusAloneOpensNothing()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTreeWidget *list = window->programList();
    list->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(list->hasFocus());
    QVERIFY(m_opened.isEmpty());
    QVERIFY(!list->currentItem());
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QString::fromLatin1(m_server.address("/a1")))});
}

void TestVersionWindow::closingEmptiesTheLists()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(m_entries.size(), 2);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(m_entries.isEmpty());
    QVERIFY(m_extra.isEmpty());
    QCOMPARE(window->programList()->topLevelItemCount(), 0);
    QVERIFY(m_opened.isEmpty());
}

void TestVersionWindow::downloadBeforeCheckAsksForACheck()
{
    // An earlier opening's check does not count.
    m_windowFeed = {"a", "b", "5.1", "http://dl.example/", "z"};
    auto window = makeWindow();
    m_dialogs->answerMessage(common::AnswerOk);
    window->downloadButton()->click();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.at(0).text, u"请先检查版本，获取下载地址，再点击下载。"_s);
    QCOMPARE(m_dialogs->messages.at(0).caption, u"信息："_s);
    QCOMPARE(m_dialogs->messages.at(0).buttons, common::Buttons::Ok);
    QCOMPARE(m_dialogs->messages.at(0).icon, common::Icon::None);
    QVERIFY(m_opened.isEmpty());
}

void TestVersionWindow::checkShowsLatestVersionAndDownloadOpensIt()
{
    auto window = makeWindow();
    window->checkButton()->click();
    QCOMPARE(window->latestVersionLabel()->text(), u"5.1"_s);
    QCOMPARE(window->downloadButton()->text(), u"点击下载程序最新版本 5.1"_s);
    QCOMPARE(m_windowFeed.size(), 5);
    window->downloadButton()->click();
    QCOMPARE(m_opened, QList<QUrl>{QUrl(u"http://dl.example/get?a=1&b=2"_s)});
    QCOMPARE(window->findChild<QLabel *>(u"超级链接框2"_s)->text(), u"http://dl.example/get?a=1&b=2"_s);

    // The window shows the latest version whatever it is, its own included.
    m_server.serve("/feed", "a########b########5.0########http://dl.example/same########z");
    window->checkButton()->click();
    QCOMPARE(window->latestVersionLabel()->text(), u"5.0"_s);
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestVersionWindow::failedCheckKeepsWhatWasShown()
{
    auto window = makeWindow();
    window->checkButton()->click();
    const update::VersionFeed earlier = m_windowFeed;

    m_server.serve("/feed", QByteArray("\0", 1));
    m_dialogs->answerMessage(common::AnswerOk);
    window->checkButton()->click();
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages.at(0).text, u"网络连接异常，或者检查失败！"_s);
    QCOMPARE(m_dialogs->messages.at(0).caption, u"提示"_s);
    QCOMPARE(m_dialogs->messages.at(0).icon, common::Icon::Warning);
    QCOMPARE(m_dialogs->messages.at(0).buttons, common::Buttons::Ok);
    QCOMPARE(window->latestVersionLabel()->text(), u"5.1"_s);
    QCOMPARE(window->downloadButton()->text(), u"点击下载程序最新版本 5.1"_s);
    QCOMPARE(m_windowFeed, earlier);
    window->downloadButton()->click();
    QCOMPARE(m_opened.size(), 1);
}

void TestVersionWindow::emptyVersionPieceKeepsAskingForACheck()
{
    m_server.serve("/feed", "a########b################z");
    auto window = makeWindow();
    window->checkButton()->click();
    QCOMPARE(window->latestVersionLabel()->text(), QString());
    QCOMPARE(m_windowFeed.size(), 4);
    m_dialogs->answerMessage(common::AnswerOk);
    window->downloadButton()->click();
    QCOMPARE(m_dialogs->messages.value(0).text, u"请先检查版本，获取下载地址，再点击下载。"_s);
    QVERIFY(m_opened.isEmpty());
}

void TestVersionWindow::shortFeedCountsAsAFailedCheck()
{
    auto window = makeWindow();
    // Two pieces: no version at all.
    m_server.serve("/feed", "<html>moved########elsewhere</html>");
    m_dialogs->answerMessage(common::AnswerOk);
    window->checkButton()->click();
    QCOMPARE(m_dialogs->messages.value(0).text, u"网络连接异常，或者检查失败！"_s);
    QVERIFY(m_windowFeed.isEmpty());

    // Three pieces: a version but no address to download.
    m_server.serve("/feed", "a########b########5.2");
    window->checkButton()->click();
    QCOMPARE(window->latestVersionLabel()->text(), u"5.2"_s);
    m_dialogs->answerMessage(common::AnswerOk);
    window->downloadButton()->click();
    QCOMPARE(m_dialogs->messages.size(), 2);
    QCOMPARE(m_dialogs->messages.at(1).text, u"网络连接异常，或者检查失败！"_s);
    QVERIFY(m_opened.isEmpty());
}

void TestVersionWindow::blogButtonOpensTheFeedArticle()
{
    auto window = makeWindow();
    window->blogButton()->click();
    QCOMPARE(m_opened, QList<QUrl>{QUrl(QString::fromLatin1(m_addresses.feed))});
}

void TestVersionWindow::noNetworkGivesAnEmptyListWithoutMessage()
{
    update::Addresses nowhere;
    const QByteArray root = "http://127.0.0.1:" + QByteArray::number(testing::LocalHttpServer::refusingPort());
    nowhere.feed = root + "/feed";
    nowhere.blogList = root + "/list";
    nowhere.siteRoot = root;
    auto window = makeWindow(nowhere);
    QCOMPARE(window->programList()->topLevelItemCount(), 0);
    QVERIFY(m_dialogs->messages.isEmpty());
    m_dialogs->answerMessage(common::AnswerOk);
    window->checkButton()->click();
    QCOMPARE(m_dialogs->messages.value(0).text, u"网络连接异常，或者检查失败！"_s);
}

void TestVersionWindow::helpTextKeepsItsFixedParts()
{
    const QByteArray bytes = update::helpText();
    QVERIFY(!bytes.isEmpty());
    QVERIFY2(!bytes.contains("\n") || bytes.count("\n") == bytes.count("\r\n"), "every line ends in CR LF");
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
    QStringDecoder strict("GBK", QStringDecoder::Flag::Stateless);
    const QString text = strict.decode(bytes);
    QVERIFY2(!strict.hasError(), "the help text is GBK");

    QVERIFY(bytes.startsWith(gbk(u"【Vornel录音整理工具5.0】简单说明：\r\n"_s)));
    qsizetype at = 0;
    for (const QString &heading : {u"【更新记录】"_s, u"【重要提醒】"_s, u"【软件简介】"_s, u"【软件适用人群】"_s,
             u"【使用方法】"_s, u"【杀毒软件误报】"_s}) {
        const qsizetype found = bytes.indexOf(QByteArray("\r\n\r\n" + gbk(heading) + "\r\n"), at);
        QVERIFY2(found > at, qPrintable(heading));
        at = found;
    }
    const QString usage = u"概述：打开软件，菜单[音频]，选择录音文件，并打开，这时录音文件可自动播放，按F4（暂停\\播放），"
                          u"F5快退5秒，F6快进5秒控制声音播放，下方文本框可以边听边记，然后随时将整理好的文字保存成文本文件。"_s;
    QVERIFY(bytes.contains(QByteArray("\r\n" + gbk(u"\u3000\u3000"_s + usage) + "\r\n")));
    for (const QString &line : text.split(u"\r\n"_s)) {
        if (!line.isEmpty() && !line.startsWith(u'【'))
            QVERIFY2(line.startsWith(u"\u3000\u3000"_s), qPrintable(line));
    }
}

void TestVersionWindow::helpWindowShowsTheTextAndForgetsEdits()
{
    QString shown;
    {
        update::HelpWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), u"帮助文档"_s);
        QCOMPARE(window.size(), QSize(update::HelpWindow::ClientWidth, update::HelpWindow::ClientHeight));
        QTextEdit *editor = window.editor();
        QCOMPARE(editor->objectName(), u"超级编辑框1"_s);
        QCOMPARE(editor->geometry(), QRect(6, 8, 424, 264));
        QCOMPARE(editor->font().pointSize(), 9);
        QVERIFY(!editor->isReadOnly());
        QVERIFY(editor->toPlainText().startsWith(u"【Vornel录音整理工具5.0】简单说明："_s));
        QVERIFY(!editor->toPlainText().contains(u'\r'));
        // Lines wrap: nothing to scroll sideways; the whole text is reached by the vertical bar.
        QCOMPARE(editor->horizontalScrollBar()->maximum(), 0);
        QVERIFY(editor->verticalScrollBar()->isVisible());
        QVERIFY(editor->verticalScrollBar()->maximum() > 0);
        shown = editor->toPlainText();

        QTest::keyClicks(editor, u"typed"_s);
        QVERIFY(editor->toPlainText() != shown);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }
    update::HelpWindow again;
    QCOMPARE(again.editor()->toPlainText(), shown);
}

QTEST_MAIN(TestVersionWindow)
#include "tst_versionwindow.moc"
