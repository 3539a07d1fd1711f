#include "app/mainwindow.h"
#include "app/skin.h"
#include "editor/transcriptedit.h"
#include "support/fakeplayer.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"
#include "transport/droprouter.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;
using testing::FakePlayer;
using transport::DropRoute;

Q_DECLARE_METATYPE(transport::DropRoute)

class TestDrops : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void routesByTheLastThreeBytes_data();
    void routesByTheLastThreeBytes();
    void droppedFileGoesItsRoute_data();
    void droppedFileGoesItsRoute();
    void fileDroppedOnTheEditorIsNotInserted();
    void severalFilesTakeTheFirst();
    void textDraggedInTheEditorStillMoves();
    void fileDroppedOnTheWindowElsewhere();
    void noDropsBeforeRegistration();

private:
    QString writeFile(const QString &name, const QByteArray &content);
    static QMimeData *filesMime(const QStringList &paths);
    static bool sendDrop(QWidget *target, const QPoint &pos, const QMimeData *mime);

    QTemporaryDir m_dir;
    testing::WindowFixture m_fixture;
    app::ProcessState *m_state = nullptr;
    testing::ScriptedDialogs *m_dialogs = nullptr;
    FakePlayer *m_player = nullptr;
    app::MainWindow *m_window = nullptr;
};

void TestDrops::initTestCase()
{
    app::initResources();
    QVERIFY(m_dir.isValid());
}

void TestDrops::init()
{
    m_player = new FakePlayer;
    app::Services services;
    services.player = m_player;
    QVERIFY(m_fixture.open(services));
    m_state = m_fixture.state();
    m_dialogs = m_fixture.dialogs();
    m_window = m_fixture.window();
}

void TestDrops::cleanup()
{
    QVERIFY(m_dialogs->allAnswersUsed());
    m_fixture.close();
    delete m_player;
}

QString TestDrops::writeFile(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

QMimeData *TestDrops::filesMime(const QStringList &paths)
{
    auto *mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime->setUrls(urls);
    return mime;
}

bool TestDrops::sendDrop(QWidget *target, const QPoint &pos, const QMimeData *mime)
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(pos, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(pos), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void TestDrops::routesByTheLastThreeBytes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<DropRoute>("route");
    QTest::newRow("plain text") << u"/home/a/notes.txt"_s << DropRoute::PlainTranscript;
    QTest::newRow("rich text") << u"/home/a/notes.rtf"_s << DropRoute::RichTranscript;
    QTest::newRow("Word document") << u"/home/a/letter.doc"_s << DropRoute::WordDocument;
    QTest::newRow("capitals are not txt") << u"/home/a/NOTES.TXT"_s << DropRoute::Media;
    QTest::newRow("docx ends in ocx") << u"/home/a/report.docx"_s << DropRoute::Media;
    QTest::newRow("a recording") << u"/home/a/会议录音.mp3"_s << DropRoute::Media;
    QTest::newRow("Chinese name of a transcript") << u"/home/a/讲话稿.txt"_s << DropRoute::PlainTranscript;
    QTest::newRow("no dot, same last bytes") << u"/home/a/mytxt"_s << DropRoute::PlainTranscript;
}

void TestDrops::routesByTheLastThreeBytes()
{
    QFETCH(QString, path);
    QFETCH(DropRoute, route);
    QCOMPARE(transport::routeForPath(path), route);
}

void TestDrops::droppedFileGoesItsRoute_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer"); // -1: no question expected
    QTest::addColumn<QString>("outcome");
    QTest::newRow("text file onto an unmodified transcript") << u"notes.txt"_s << false << -1 << u"transcript"_s;
    QTest::newRow("rich text onto an unmodified transcript") << u"notes.rtf"_s << false << -1 << u"transcript"_s;
    QTest::newRow("rich text onto a modified transcript, Cancel")
        << u"notes.rtf"_s << true << int(common::AnswerCancel) << u"nothing"_s;
    QTest::newRow("recording onto a modified transcript, Cancel")
        << u"talk.mp3"_s << true << int(common::AnswerCancel) << u"nothing"_s;
    QTest::newRow("recording onto a modified transcript, No")
        << u"talk.mp3"_s << true << int(common::AnswerNo) << u"media"_s;
    QTest::newRow("capitals take the media route") << u"NOTES.TXT"_s << false << -1 << u"media"_s;
    QTest::newRow("docx takes the media route") << u"report.docx"_s << false << -1 << u"media"_s;
    QTest::newRow("Word document is refused") << u"letter.doc"_s << false << -1 << u"message"_s;
}

void TestDrops::droppedFileGoesItsRoute()
{
    QFETCH(QString, name);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(QString, outcome);

    const QByteArray content = name.endsWith(u".rtf"_s) ? QByteArrayLiteral("{\\rtf1\\ansi dropped text\\par}")
                                                         : QByteArrayLiteral("dropped text");
    const QString path = writeFile(name, content);
    QVERIFY(!path.isEmpty());
    if (modified) {
        QTest::keyClicks(m_window->editor(), u"unsaved"_s);
        QCOMPARE(m_state->document.documentModified, 1);
    }
    if (answer >= 0)
        m_dialogs->answerMessage(answer);
    if (outcome == u"message"_s)
        m_dialogs->answerMessage(common::AnswerOk);
    const QString textBefore = m_window->editor()->toPlainText();
    const QString captionBefore = m_window->windowTitle();

    m_window->onFileDropped(path);

    if (answer >= 0) {
        QVERIFY(!m_dialogs->messages.isEmpty());
        QCOMPARE(m_dialogs->messages.constFirst().buttons, common::Buttons::YesNoCancel);
    }
    if (outcome == u"transcript"_s) {
        QCOMPARE(m_window->editor()->toPlainText(), u"dropped text"_s);
        QCOMPARE(m_state->document.documentPath, path);
        QCOMPARE(m_state->document.documentModified, 0);
        QVERIFY(m_player->calls.isEmpty());
        return;
    }
    QCOMPARE(m_window->editor()->toPlainText(), textBefore);
    QCOMPARE(m_state->document.documentModified, modified ? 1 : 0);
    if (outcome == u"media"_s) {
        QCOMPARE(m_player->calls.constFirst().path, path);
        QCOMPARE(m_state->transport.playing, 1);
        QCOMPARE(m_window->windowTitle(), app::MainWindow::caption() + u"  "_s + name);
        return;
    }
    QVERIFY(m_player->calls.isEmpty());
    QCOMPARE(m_window->windowTitle(), captionBefore);
    if (outcome == u"message"_s) {
        QCOMPARE(m_dialogs->messages.size(), 1);
        const testing::ScriptedDialogs::Message message = m_dialogs->messages.constFirst();
        QCOMPARE(message.text, u"word文件无法实现拖放，请用打开按钮打开word文件"_s);
        QCOMPARE(message.caption, u"信息："_s);
        QCOMPARE(message.buttons, common::Buttons::Ok);
        QCOMPARE(message.icon, common::Icon::None);
    }
}

void TestDrops::fileDroppedOnTheEditorIsNotInserted()
{
    QTest::keyClicks(m_window->editor(), u"typed"_s);
    m_state->document.documentModified = 0;
    const QString path = writeFile(u"talk.wav"_s, "RIFF");
    std::unique_ptr<QMimeData> mime(filesMime({path}));
    mime->setText(path);
    QVERIFY(sendDrop(m_window->editor()->viewport(), QPoint(20, 20), mime.get()));
    QTRY_COMPARE(m_player->calls.size(), 2);
    QCOMPARE(m_player->calls.constFirst().path, path);
    QCOMPARE(m_window->editor()->toPlainText(), u"typed"_s);
}

void TestDrops::severalFilesTakeTheFirst()
{
    const QString first = writeFile(u"one.mp3"_s, "x");
    const QString second = writeFile(u"two.txt"_s, "y");
    std::unique_ptr<QMimeData> mime(filesMime({first, second}));
    QVERIFY(sendDrop(m_window->editor()->viewport(), QPoint(20, 20), mime.get()));
    QTRY_COMPARE(m_player->calls.size(), 2);
    QCOMPARE(m_player->calls.constFirst().path, first);
    QCOMPARE(m_state->document.documentPath, QString());
}

void TestDrops::textDraggedInTheEditorStillMoves()
{
    QMimeData mime;
    mime.setText(u"moved words"_s);
    QVERIFY(sendDrop(m_window->editor()->viewport(), QPoint(20, 10), &mime));
    QCOMPARE(m_window->editor()->toPlainText(), u"moved words"_s);
    QVERIFY(m_player->calls.isEmpty());
}

void TestDrops::fileDroppedOnTheWindowElsewhere()
{
    const QString path = writeFile(u"talk.m4a"_s, "x");
    std::unique_ptr<QMimeData> mime(filesMime({path}));
    // The position labels take no drops themselves; the window gets them.
    QVERIFY(sendDrop(m_window, QPoint(420, 40), mime.get()));
    QTRY_COMPARE(m_player->calls.size(), 2);
    QCOMPARE(m_window->windowTitle(), app::MainWindow::caption() + u"  talk.m4a"_s);
    // A drag of a web address is no file.
    std::unique_ptr<QMimeData> web(new QMimeData);
    web->setUrls({QUrl(u"https://example.org/a.mp3"_s)});
    QVERIFY(!sendDrop(m_window, QPoint(420, 40), web.get()));
}

void TestDrops::noDropsBeforeRegistration()
{
    app::Services services;
    services.dialogs = m_dialogs;
    services.player = m_player;
    app::MainWindow fresh(*m_state, services);
    const QString path = writeFile(u"early.mp3"_s, "x");
    std::unique_ptr<QMimeData> mime(filesMime({path}));
    QVERIFY(!fresh.acceptDrops());
    QVERIFY(!sendDrop(&fresh, QPoint(420, 40), mime.get()));
    QCoreApplication::processEvents();
    QVERIFY(m_player->calls.isEmpty());
    fresh.registerDropTarget();
    QVERIFY(fresh.acceptDrops());
    QVERIFY(sendDrop(&fresh, QPoint(420, 40), mime.get()));
    QTRY_COMPARE(m_player->calls.size(), 2);
}

QTEST_MAIN(TestDrops)
#include "tst_drops.moc"
