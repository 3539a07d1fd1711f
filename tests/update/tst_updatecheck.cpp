#include "app/mainwindow.h"
#include "app/skin.h"
#include "update/addresses.h"
#include "update/addressopener.h"
#include "update/curl/curlfetch.h"
#include "update/helpwindow.h"
#include "update/versionwindow.h"
#include "support/localhttpserver.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Scripted answers that also note whether the main window was on screen when each question came.
class WatchingDialogs final : public common::Dialogs
{
public:
    int message(const QString &text, const QString &caption, common::Buttons buttons, common::Icon icon) override
    {
        windowVisible.append(watched && watched->isVisible());
        return scripted.message(text, caption, buttons, icon);
    }
    common::FileChoice openFile(const common::FileRequest &request) override { return scripted.openFile(request); }
    common::FileChoice saveFile(const common::FileRequest &request) override { return scripted.saveFile(request); }

    testing::ScriptedDialogs scripted;
    QWidget *watched = nullptr;
    QList<bool> windowVisible;
};

// Runs check on the modal window that the next command opens, then closes it. The watch ends with the returned
// timer, so a window that never opens leaves nothing behind for the next test.
std::unique_ptr<QTimer> whenModalOpens(const std::function<void(QWidget *)> &check)
{
    auto poll = std::make_unique<QTimer>();
    QTimer *timer = poll.get();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, check] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        check(modal);
        modal->close();
    });
    timer->start(10);
    return poll;
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startupCheck_data();
    void startupCheck();
    void noNetworkAsksNothing();
    void onlyWebAddressesOpen_data();
    void onlyWebAddressesOpen();
    void menuOpensTheVersionWindow();
    void menuOpensTheHelpWindow();
    void helpButtonOpensTheHelpWindow();

private:
    void makeWindow(const QByteArray &root);
    void expectHelpWindowFrom(QAction *command);

    testing::LocalHttpServer m_server;
    app::ProcessState *m_state = nullptr;
    WatchingDialogs *m_dialogs = nullptr;
    app::MainWindow *m_window = nullptr;
    QList<QByteArray> m_asked;
    QList<QUrl> m_opened;
};

void TestUpdateCheck::initTestCase()
{
    app::initResources();
    QVERIFY(m_server.start());
}

void TestUpdateCheck::init()
{
    m_asked.clear();
    m_opened.clear();
    m_state = new app::ProcessState;
    m_dialogs = new WatchingDialogs;
}

void TestUpdateCheck::cleanup()
{
    QVERIFY(m_dialogs->scripted.allAnswersUsed());
    delete m_window;
    m_window = nullptr;
    delete m_dialogs;
    delete m_state;
}

// The maker's addresses are served from root, through the real libcurl fetch.
void TestUpdateCheck::makeWindow(const QByteArray &root)
{
    app::Services services;
    services.dialogs = m_dialogs;
    services.fetchPage = [this, root](const QByteArray &address) {
        m_asked.append(address);
        QByteArray local = address;
        if (local.startsWith(update::SiteRoot))
            local = root + local.mid(update::SiteRoot.size());
        update::curl::FetchLimits limits;
        limits.connectTimeoutMs = 1000;
        limits.totalTimeoutMs = 3000;
        return update::curl::fetchPage(local, limits);
    };
    services.openUrl = [this](const QUrl &url) {
        m_opened.append(url);
        return true;
    };
    m_window = new app::MainWindow(*m_state, services);
    m_dialogs->watched = m_window;
}

void TestUpdateCheck::startupCheck_data()
{
    QTest::addColumn<QByteArray>("feed");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("opened");

    const QByteArray address = "http://dl.example/get?a=1&amp;b=2";
    const auto page = [&](const QByteArray &version, const QByteArray &where = {}) -> QByteArray {
        return "<html>a########b########" + version + "########" + (where.isEmpty() ? address : where) + "########z";
    };
    QTest::newRow("newer version, Yes opens the unescaped address")
        << page("5.1") << u"发现新版本：5.1  是否下载？"_s << int(common::AnswerYes)
        << u"http://dl.example/get?a=1&b=2"_s;
    QTest::newRow("newer version, No opens nothing") << page("5.1") << u"发现新版本：5.1  是否下载？"_s
                                                     << int(common::AnswerNo) << QString();
    QTest::newRow("own version asks nothing") << page("5.0") << QString() << -1 << QString();
    QTest::newRow("fourth marker at the end asks nothing")
        << QByteArray("a########b########5.1########x########") << QString() << -1 << QString();
    QTest::newRow("two leading markers still ask")
        << QByteArray("################5.1########http://u.example/########v") << u"发现新版本：5.1  是否下载？"_s
        << int(common::AnswerYes) << u"http://u.example/"_s;
    QTest::newRow("blank before the version counts as different")
        << page(" 5.0") << u"发现新版本： 5.0  是否下载？"_s << int(common::AnswerNo) << QString();
    QTest::newRow("trailing zero counts as different")
        << page("5.00") << u"发现新版本：5.00  是否下载？"_s << int(common::AnswerNo) << QString();
    QTest::newRow("markup around the version counts as different")
        << page("<b>5.0</b>") << u"发现新版本：<b>5.0</b>  是否下载？"_s << int(common::AnswerNo) << QString();
    QTest::newRow("older version asks too") << page("4.1") << u"发现新版本：4.1  是否下载？"_s
                                            << int(common::AnswerNo) << QString();
    QTest::newRow("GBK version shown decoded") << page("5.1\xb2\xe2\xca\xd4\xb0\xe6")
                                               << u"发现新版本：5.1测试版  是否下载？"_s << int(common::AnswerNo)
                                               << QString();
    QTest::newRow("download address that is a local file does not open")
        << page("5.1", "file:///usr/bin/xterm") << u"发现新版本：5.1  是否下载？"_s << int(common::AnswerYes)
        << QString();
    QTest::newRow("empty body asks nothing") << QByteArray() << QString() << -1 << QString();
    QTest::newRow("body starting with a zero byte asks nothing")
        << QByteArray(QByteArray(1, '\0') + page("5.1")) << QString() << -1 << QString();
}

void TestUpdateCheck::startupCheck()
{
    QFETCH(QByteArray, feed);
    QFETCH(QString, question);
    QFETCH(int, answer);
    QFETCH(QString, opened);

    m_server.serve(update::FeedAddress.mid(update::SiteRoot.size()), feed);
    if (answer >= 0)
        m_dialogs->scripted.answerMessage(answer);
    makeWindow(m_server.root());
    m_window->onMainWindowCreated();

    QCOMPARE(m_asked, QList<QByteArray>{update::FeedAddress});
    if (question.isEmpty()) {
        QVERIFY(m_dialogs->scripted.messages.isEmpty());
    } else {
        QCOMPARE(m_dialogs->scripted.messages.size(), 1);
        const auto &asked = m_dialogs->scripted.messages.at(0);
        QCOMPARE(asked.text, question);
        QCOMPARE(asked.caption, u"软件更新提示"_s);
        QCOMPARE(asked.buttons, common::Buttons::YesNo);
        QCOMPARE(asked.icon, common::Icon::Information);
        QCOMPARE(m_dialogs->windowVisible, QList<bool>{false});
    }
    QCOMPARE(m_opened, opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
    if (!opened.isEmpty())
        QCOMPARE(m_window->hiddenLink()->text(), opened);
    QVERIFY(m_state->startupFeed.size() <= 5);

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCOMPARE(m_window->windowTitle(), u"Vornel录音整理工具5.0"_s);
}

void TestUpdateCheck::noNetworkAsksNothing()
{
    makeWindow("http://127.0.0.1:" + QByteArray::number(testing::LocalHttpServer::refusingPort()));
    m_window->onMainWindowCreated();
    QCOMPARE(m_asked.size(), 1);
    QVERIFY(m_state->startupFeed.isEmpty());
    QVERIFY(m_dialogs->scripted.messages.isEmpty());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestUpdateCheck::onlyWebAddressesOpen_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<bool>("opens");
    QTest::newRow("http") << QByteArray("http://dl.example/v5.1.zip") << true;
    QTest::newRow("https with query") << QByteArray("https://dl.example/get?a=1&b=2") << true;
    QTest::newRow("scheme in capitals") << QByteArray("HTTP://dl.example/") << true;
    QTest::newRow("GBK path") << QByteArray("http://dl.example/\xd0\xc2\xb0\xe6.zip") << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("local file") << QByteArray("file:///etc/passwd") << false;
    QTest::newRow("plain path") << QByteArray("/usr/bin/xterm") << false;
    QTest::newRow("command line") << QByteArray("xterm -e rm -rf ~") << false;
    QTest::newRow("shell characters") << QByteArray("$(touch /tmp/x)") << false;
    QTest::newRow("script address") << QByteArray("javascript:alert(1)") << false;
    QTest::newRow("other scheme") << QByteArray("smb://host/share") << false;
    QTest::newRow("no host") << QByteArray("http:///etc/passwd") << false;
    QTest::newRow("blank before the scheme") << QByteArray(" http://dl.example/") << false;
}

void TestUpdateCheck::onlyWebAddressesOpen()
{
    QFETCH(QByteArray, address);
    QFETCH(bool, opens);
    QList<QUrl> opened;
    QLabel link;
    const bool result = update::openAddress(&link, address, [&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    QCOMPARE(result, opens);
    QCOMPARE(opened.size(), opens ? 1 : 0);
    if (opens)
        QCOMPARE(opened.at(0).scheme(), opened.at(0).scheme().toLower());
}

void TestUpdateCheck::menuOpensTheVersionWindow()
{
    const QByteArray list = update::BlogListAddress.mid(update::SiteRoot.size());
    m_server.serve(list, "<div id=mod_bloglist class=mod><div class=tit><a href=\"/a1\" target=_blank>One</a></div>"
                         "<div class=date>x<div id=mod_artclg class=mod>");
    makeWindow(m_server.root());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QAction *item = nullptr;
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (action->text() == u"检查新版本"_s)
                item = action;
        }
    }
    QVERIFY(item);
    bool seen = false;
    const auto watch = whenModalOpens([&](QWidget *modal) {
        auto *window = qobject_cast<update::VersionWindow *>(modal);
        QVERIFY(window);
        QVERIFY(!window->parentWidget());
        QCOMPARE(window->programList()->topLevelItemCount(), 1);
        QCOMPARE(m_state->programEntries.size(), 1);
        QCOMPARE(m_state->programEntries.at(0).link, update::SiteRoot + "/a1");
        seen = true;
    });
    item->trigger();
    QVERIFY(seen);
    QVERIFY(m_state->programEntries.isEmpty());
    QCOMPARE(m_asked, QList<QByteArray>{update::BlogListAddress});
}

void TestUpdateCheck::expectHelpWindowFrom(QAction *command)
{
    QVERIFY(command);
    bool seen = false;
    const auto watch = whenModalOpens([&](QWidget *modal) {
        QVERIFY(qobject_cast<update::HelpWindow *>(modal));
        QVERIFY(!modal->parentWidget());
        QCOMPARE(modal->windowTitle(), u"帮助文档"_s);
        seen = true;
    });
    command->trigger();
    QVERIFY(seen);
}

void TestUpdateCheck::menuOpensTheHelpWindow()
{
    makeWindow(m_server.root());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QAction *item = nullptr;
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (action->text() == u"帮助文档"_s)
                item = action;
        }
    }
    expectHelpWindowFrom(item);
}

void TestUpdateCheck::helpButtonOpensTheHelpWindow()
{
    makeWindow(m_server.root());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    expectHelpWindowFrom(m_window->formatToolbarButton(7));
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
