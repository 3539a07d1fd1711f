#include "app/mainwindow.h"
#include "app/skin.h"
#include "editor/transcriptedit.h"
#include "support/fakeplayer.h"
#include "support/scripteddialogs.h"
#include "support/windowfixture.h"
#include "transport/knobbutton.h"
#include "transport/timetext.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using testing::FakePlayer;

class TestTransport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { app::initResources(); }
    void init();
    void cleanup();

    void formatsTimeText_data();
    void formatsTimeText();
    void placesKnobForPosition_data();
    void placesKnobForPosition();
    void knobEdgeToSeconds_data();
    void knobEdgeToSeconds();
    void knobEdgeIsWholeSecondsWhenLengthIs564();

    void openingStartsPlaybackAndNamesTheFile();
    void openDialogRemembersLastPathAndCancelChangesNothing();
    void openingWhilePausedPlaysTheNewFile();
    void refusedFileShowsZeroAndKeepsKnobAtStart();
    void timerTickFollowsThePlayer();

    void commandsBeforeAnyFileDoNothing();
    void pauseAndResumeByKeyAndButtons();
    void jumpsWhilePlaying_data();
    void jumpsWhilePlaying();
    void jumpBackWhilePausedStopsTheTimer();
    void threeJumpsBackWhilePaused_data();
    void threeJumpsBackWhilePaused();
    void jumpForwardWhilePausedClampsToTheEnd_data();
    void jumpForwardWhilePausedClampsToTheEnd();

    void dragToTheRightEndWhilePlaying();
    void dragToTheLeftEndWhilePlaying();
    void dragWhilePausedSetsTheResumePoint();
    void reportsFromLeftOfTheKnobAreIgnored();
    void pressWithoutFileStopsTheTimerForGood();
    void clickWithoutDragKeepsThePlace();
    void knobReportsAreSixteenBitRelativeToTheKnob();

    void insertsTheShownPosition();

private:
    void openRecording(const QString &path, int lengthSeconds);
    void pause();
    void drag(int fromX, const QList<int> &xs);
    int knobLeft() const { return m_window->knob()->x(); }
    QString label() const { return m_window->positionLabel()->text(); }
    bool timerRuns() const { return m_window->positionTimer()->isActive(); }

    testing::WindowFixture m_fixture;
    app::ProcessState *m_state = nullptr;
    testing::ScriptedDialogs *m_dialogs = nullptr;
    FakePlayer *m_player = nullptr;
    app::MainWindow *m_window = nullptr;
};

void TestTransport::init()
{
    m_player = new FakePlayer;
    app::Services services;
    services.player = m_player;
    QVERIFY(m_fixture.open(services));
    m_state = m_fixture.state();
    m_dialogs = m_fixture.dialogs();
    m_window = m_fixture.window();
}

void TestTransport::cleanup()
{
    m_fixture.close();
    delete m_player;
}

void TestTransport::openRecording(const QString &path, int lengthSeconds)
{
    m_player->lengthAfterOpen = lengthSeconds;
    m_dialogs->answerOpen(path);
    m_window->openMedia();
}

void TestTransport::pause()
{
    QTest::keyClick(m_window->editor(), Qt::Key_F4);
    QCOMPARE(m_state->transport.playing, 0);
}

// Press at fromX, then one report per x, then release at the last one.
void TestTransport::drag(int fromX, const QList<int> &xs)
{
    m_window->onKnobPressed(fromX, 6, Qt::NoModifier);
    for (int x : xs)
        m_window->onKnobMoved(x, 6, Qt::NoModifier);
    m_window->onKnobReleased(xs.isEmpty() ? fromX : xs.constLast(), 6, Qt::NoModifier);
}

void TestTransport::formatsTimeText_data()
{
    QTest::addColumn<int>("positionMs");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0 << u"0:00"_s;
    QTest::newRow("seconds get a leading zero") << 5000 << u"0:05"_s;
    QTest::newRow("milliseconds are dropped, not rounded") << 59999 << u"0:59"_s;
    QTest::newRow("a full minute") << 60000 << u"1:00"_s;
    QTest::newRow("minutes are not padded") << 754000 << u"12:34"_s;
    QTest::newRow("no hour part") << 3725900 << u"62:05"_s;
    QTest::newRow("one hour") << 3600000 << u"60:00"_s;
    QTest::newRow("an unknown position") << -1 << u"0:00"_s;
}

void TestTransport::formatsTimeText()
{
    QFETCH(int, positionMs);
    QFETCH(QString, expected);
    QCOMPARE(transport::positionText(positionMs), expected);
    if (positionMs >= 0 && positionMs % 1000 == 0)
        QCOMPARE(transport::formatTimeText(positionMs / 1000), expected);
}

void TestTransport::placesKnobForPosition_data()
{
    QTest::addColumn<int>("positionMs");
    QTest::addColumn<int>("lengthSeconds");
    QTest::addColumn<int>("left");
    QTest::newRow("start") << 0 << 120 << 6;
    QTest::newRow("half way") << 60000 << 120 << 6 + 283;
    QTest::newRow("the whole-second end is 572") << 120000 << 120 << 572;
    QTest::newRow("past the whole-second end, no bound") << 120900 << 120 << 6 + 570;
    QTest::newRow("a fraction just under a pixel counts as the pixel") << 1000 << 566 << 7;
    QTest::newRow("unknown length keeps the start") << 5000 << 0 << 6;
    QTest::newRow("unknown position keeps the start") << -1 << 120 << 6;
}

void TestTransport::placesKnobForPosition()
{
    QFETCH(int, positionMs);
    QFETCH(int, lengthSeconds);
    QFETCH(int, left);
    QCOMPARE(transport::knobLeftForPosition(positionMs, lengthSeconds), left);
}

void TestTransport::knobEdgeToSeconds_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("lengthSeconds");
    QTest::addColumn<int>("seconds");
    QTest::newRow("left limit") << 6 << 100 << 0;
    QTest::newRow("edge 288 of 100 s") << 288 << 100 << 50;
    QTest::newRow("right limit is the length") << 570 << 3725 << 3725;
    QTest::newRow("no file") << 300 << 0 << 0;
}

void TestTransport::knobEdgeToSeconds()
{
    QFETCH(int, left);
    QFETCH(int, lengthSeconds);
    QFETCH(int, seconds);
    QCOMPARE(transport::secondsForKnobLeft(left, lengthSeconds), seconds);
}

void TestTransport::knobEdgeIsWholeSecondsWhenLengthIs564()
{
    for (int left = 6; left <= 570; ++left)
        QCOMPARE(transport::secondsForKnobLeft(left, 564), left - 6);
    // The same holds for the timer's scale at its own length.
    for (int s = 0; s <= 566; ++s)
        QCOMPARE(transport::knobLeftForPosition(s * 1000, 566), s + 6);
}

void TestTransport::openingStartsPlaybackAndNamesTheFile()
{
    openRecording(u"/home/用户/录音/第一次会议.mp3"_s, 3725);
    QCOMPARE(m_window->windowTitle(), u"Vornel录音整理工具5.0  第一次会议.mp3"_s);
    QCOMPARE(m_player->calls.size(), 2);
    QCOMPARE(m_player->calls.at(0).op, FakePlayer::Op::Open);
    QCOMPARE(m_player->calls.at(0).path, u"/home/用户/录音/第一次会议.mp3"_s);
    QCOMPARE(m_player->lastPlayed(), 0);
    QCOMPARE(m_state->transport.mediaLoaded, 1);
    QCOMPARE(m_state->transport.playing, 1);
    QCOMPARE(m_state->transport.lengthSeconds, 3725);
    QCOMPARE(m_window->lengthLabel()->text(), u"62:05"_s);
    QVERIFY(m_window->isMainButtonChecked(12));
    QVERIFY(!m_window->isMainButtonChecked(13));
    QVERIFY(timerRuns());
    QCOMPARE(m_window->positionTimer()->interval(), 200);

    m_player->positionMs = 61000;
    openRecording(u"/tmp/second.wav"_s, 0);
    QCOMPARE(m_window->windowTitle(), u"Vornel录音整理工具5.0  second.wav"_s);
    QCOMPARE(m_player->calls.at(2).path, u"/tmp/second.wav"_s);
    QCOMPARE(m_player->lastPlayed(), 0);
    QCOMPARE(m_window->lengthLabel()->text(), u"0:00"_s);
}

void TestTransport::openDialogRemembersLastPathAndCancelChangesNothing()
{
    openRecording(u"/tmp/a.mp3"_s, 60);
    QCOMPARE(m_dialogs->openRequests.size(), 1);
    const common::FileRequest first = m_dialogs->openRequests.constFirst();
    QCOMPARE(first.title, u"选择要打开的音频文件"_s);
    QCOMPARE(first.filters, QStringList{u"所有文件(*.*)"_s});
    QCOMPARE(first.fileName, QString());

    m_dialogs->answerOpen(QString());
    m_window->openMedia();
    QCOMPARE(m_dialogs->openRequests.at(1).fileName, u"/tmp/a.mp3"_s);
    QCOMPARE(m_player->calls.size(), 2);
    QCOMPARE(m_window->windowTitle(), u"Vornel录音整理工具5.0  a.mp3"_s);
    QCOMPARE(m_window->lengthLabel()->text(), u"1:00"_s);
    QCOMPARE(m_state->transport.playing, 1);
    QVERIFY(timerRuns());
}

void TestTransport::openingWhilePausedPlaysTheNewFile()
{
    openRecording(u"/tmp/a.mp3"_s, 60);
    m_player->positionMs = 30000;
    pause();
    QVERIFY(m_window->isMainButtonChecked(13));
    openRecording(u"/tmp/b.mp3"_s, 90);
    QCOMPARE(m_state->transport.playing, 1);
    QVERIFY(m_window->isMainButtonChecked(12));
    QVERIFY(!m_window->isMainButtonChecked(13));
    QCOMPARE(m_player->lastPlayed(), 0);
    QVERIFY(!m_player->paused);
}

void TestTransport::refusedFileShowsZeroAndKeepsKnobAtStart()
{
    m_player->positionAfterOpen = -1;
    openRecording(u"/tmp/notmedia.bin"_s, 0);
    QCOMPARE(m_state->transport.playing, 1);
    QCOMPARE(m_state->transport.mediaLoaded, 1);
    QCOMPARE(m_window->lengthLabel()->text(), u"0:00"_s);
    m_window->onPositionTimer();
    QCOMPARE(label(), u"0:00"_s);
    QCOMPARE(knobLeft(), 6);
    QTest::keyClick(m_window->editor(), Qt::Key_F6);
    QCOMPARE(m_player->lastPlayed(), 0);
    QCOMPARE(label(), u"0:00"_s);
}

void TestTransport::timerTickFollowsThePlayer()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = 60999;
    QTRY_COMPARE(label(), u"1:00"_s);
    QCOMPARE(knobLeft(), 6 + 287);
    QCOMPARE(m_window->knob()->y(), 56);
    // Paused, the timer keeps showing the frozen position.
    pause();
    QVERIFY(timerRuns());
    m_player->positionMs = 120000;
    m_window->onPositionTimer();
    QCOMPARE(label(), u"2:00"_s);
    QCOMPARE(knobLeft(), 572);
}

void TestTransport::commandsBeforeAnyFileDoNothing()
{
    for (Qt::Key key : {Qt::Key_F4, Qt::Key_F5, Qt::Key_F6})
        QTest::keyClick(m_window->editor(), key);
    m_window->onMainToolbarClick(12);
    m_window->onMainToolbarClick(13);
    m_window->onMainToolbarClick(14);
    m_window->onMainToolbarClick(15);
    QVERIFY(m_player->calls.isEmpty());
    QCOMPARE(label(), QString());
    QCOMPARE(knobLeft(), 6);
    QVERIFY(!timerRuns());
    QVERIFY(!m_window->isMainButtonChecked(12));
    QVERIFY(!m_window->isMainButtonChecked(13));
    QCOMPARE(m_window->editor()->toPlainText(), QString());
    QCOMPARE(m_state->transport.savedPositionMs, 0);
}

void TestTransport::pauseAndResumeByKeyAndButtons()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = 42000;
    // 播放 while playing pauses: both buttons toggle.
    m_window->mainToolbarButton(12)->trigger();
    QCOMPARE(m_state->transport.playing, 0);
    QCOMPARE(m_player->calls.constLast().op, FakePlayer::Op::Pause);
    QCOMPARE(m_state->transport.savedPositionMs, 42000);
    QVERIFY(!m_window->isMainButtonChecked(12));
    QVERIFY(m_window->isMainButtonChecked(13));
    QVERIFY(timerRuns());

    // 暂停 while paused resumes.
    m_window->mainToolbarButton(13)->trigger();
    QCOMPARE(m_state->transport.playing, 1);
    QCOMPARE(m_player->lastPlayed(), 42000);
    QVERIFY(m_window->isMainButtonChecked(12));
    QVERIFY(!m_window->isMainButtonChecked(13));

    QTest::keyClick(m_window->editor(), Qt::Key_F4);
    QCOMPARE(m_state->transport.playing, 0);
    QTest::keyClick(m_window->editor(), Qt::Key_F4);
    QCOMPARE(m_state->transport.playing, 1);
    QVERIFY(timerRuns());
    QCOMPARE(m_window->editor()->toPlainText(), QString());
}

void TestTransport::jumpsWhilePlaying_data()
{
    QTest::addColumn<int>("positionMs");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("played");
    QTest::addColumn<QString>("shown");
    QTest::newRow("back from 3.2 s starts at 0") << 3200 << int(Qt::Key_F5) << 0 << u"0:00"_s;
    QTest::newRow("back from exactly 5 s") << 5000 << int(Qt::Key_F5) << 0 << u"0:00"_s;
    QTest::newRow("back from 65.4 s") << 65400 << int(Qt::Key_F5) << 60400 << u"1:00"_s;
    QTest::newRow("forward has no bound at the last second") << 119500 << int(Qt::Key_F6) << 124500 << u"2:04"_s;
    QTest::newRow("forward from an unknown position") << -1 << int(Qt::Key_F6) << 0 << u"0:00"_s;
}

void TestTransport::jumpsWhilePlaying()
{
    QFETCH(int, positionMs);
    QFETCH(int, key);
    QFETCH(int, played);
    QFETCH(QString, shown);
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_window->onPositionTimer();
    const int knobBefore = knobLeft();
    m_player->positionMs = positionMs;
    QTest::keyClick(m_window->editor(), Qt::Key(key));
    QCOMPARE(m_player->lastPlayed(), played);
    QCOMPARE(label(), shown);
    QCOMPARE(m_state->transport.playing, 1);
    QVERIFY(timerRuns());
    QCOMPARE(knobLeft(), knobBefore);
    QCOMPARE(m_window->editor()->toPlainText(), QString());
}

void TestTransport::jumpBackWhilePausedStopsTheTimer()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = 3000;
    pause();
    m_player->clearCalls();
    QTest::keyClick(m_window->editor(), Qt::Key_F5);
    QCOMPARE(m_state->transport.savedPositionMs, 0);
    QCOMPARE(label(), u"0:00"_s);
    QCOMPARE(knobLeft(), 6);
    QVERIFY(!timerRuns());
    QVERIFY(m_player->calls.isEmpty());
    QTest::keyClick(m_window->editor(), Qt::Key_F4);
    QCOMPARE(m_player->playedPositions(), QList<int>{0});
    QVERIFY(timerRuns());
}

void TestTransport::threeJumpsBackWhilePaused_data()
{
    QTest::addColumn<int>("pausedAt");
    QTest::addColumn<int>("resumedAt");
    QTest::newRow("well inside the file") << 40000 << 25000;
    QTest::newRow("near the start") << 12000 << 0;
}

void TestTransport::threeJumpsBackWhilePaused()
{
    QFETCH(int, pausedAt);
    QFETCH(int, resumedAt);
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = pausedAt;
    pause();
    for (int i = 0; i < 3; ++i)
        m_window->onMainToolbarClick(14);
    QCOMPARE(label(), transport::positionText(resumedAt));
    QCOMPARE(knobLeft(), transport::knobLeftForPosition(resumedAt, 120));
    QTest::keyClick(m_window->editor(), Qt::Key_F4);
    QCOMPARE(m_player->lastPlayed(), resumedAt);
}

void TestTransport::jumpForwardWhilePausedClampsToTheEnd_data()
{
    QTest::addColumn<int>("pausedAt");
    QTest::addColumn<QList<int>>("savedAfterEachJump");
    QTest::newRow("118.5 s clamps to the end") << 118500 << QList<int>{120000};
    QTest::newRow("115 s reaches the end, the next jump stays there") << 115000 << QList<int>{120000, 120000};
    QTest::newRow("well inside moves 5 s") << 60000 << QList<int>{65000};
}

void TestTransport::jumpForwardWhilePausedClampsToTheEnd()
{
    QFETCH(int, pausedAt);
    QFETCH(QList<int>, savedAfterEachJump);
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = pausedAt;
    pause();
    m_player->clearCalls();
    for (int saved : savedAfterEachJump) {
        QTest::keyClick(m_window->editor(), Qt::Key_F6);
        QCOMPARE(m_state->transport.savedPositionMs, saved);
        QCOMPARE(label(), transport::positionText(saved));
        QCOMPARE(knobLeft(), transport::knobLeftForPosition(saved, 120));
    }
    QVERIFY(!timerRuns());
    QVERIFY(m_player->calls.isEmpty());
    if (savedAfterEachJump.constLast() == 120000) {
        QCOMPARE(label(), u"2:00"_s);
        QCOMPARE(knobLeft(), 572);
    }
}

void TestTransport::dragToTheRightEndWhilePlaying()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_window->onPositionTimer();
    // One pixel per report, whatever the pointer's distance; 570 and beyond is out of reach.
    QList<int> xs(600, 20);
    xs.append(575);
    m_window->onKnobPressed(10, 6, Qt::NoModifier);
    QVERIFY(!timerRuns());
    QCOMPARE(m_state->transport.dragging, 1);
    QCOMPARE(m_state->transport.grabX, 10);
    for (int x : xs)
        m_window->onKnobMoved(x, 6, Qt::NoModifier);
    QCOMPARE(knobLeft(), 570);
    QCOMPARE(m_window->knob()->y(), 56);
    QCOMPARE(m_state->transport.knobSeconds, 120);
    QCOMPARE(label(), u"2:00"_s);
    m_window->onKnobReleased(600, 6, Qt::NoModifier);
    QCOMPARE(m_state->transport.dragging, 0);
    QCOMPARE(m_player->lastPlayed(), 120000);
    QVERIFY(timerRuns());
    m_window->onPositionTimer();
    QCOMPARE(knobLeft(), 572);
}

void TestTransport::dragToTheLeftEndWhilePlaying()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = 60000;
    m_window->onPositionTimer();
    QCOMPARE(knobLeft(), 289);
    QList<int> xs;
    // The pointer goes left of the grab point; once the knob sits at 6 further reports keep it there.
    for (int i = 0; i < 400; ++i)
        xs.append(5);
    drag(10, xs);
    QCOMPARE(knobLeft(), 6);
    QCOMPARE(label(), u"0:00"_s);
    QCOMPARE(m_player->lastPlayed(), 0);
}

void TestTransport::dragWhilePausedSetsTheResumePoint()
{
    openRecording(u"/tmp/a.mp3"_s, 100);
    m_player->positionMs = 10000;
    pause();
    m_player->clearCalls();
    // 288 - 6 = 282 pixels right of the start.
    m_window->knob()->move(6, 56);
    drag(10, QList<int>(282, 11));
    QCOMPARE(knobLeft(), 288);
    QCOMPARE(m_state->transport.knobSeconds, 50);
    QCOMPARE(m_state->transport.savedPositionMs, 50000);
    QCOMPARE(label(), u"0:50"_s);
    QVERIFY(m_player->calls.isEmpty());
    QVERIFY(!timerRuns());
    QTest::keyClick(m_window->editor(), Qt::Key_F4);
    QCOMPARE(m_player->lastPlayed(), 50000);
    QVERIFY(timerRuns());
}

void TestTransport::reportsFromLeftOfTheKnobAreIgnored()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    m_window->knob()->move(200, 56);
    m_window->onKnobPressed(10, 6, Qt::NoModifier);
    m_window->onKnobMoved(transport::KnobButton::toReport(-300), 6, Qt::NoModifier);
    m_window->onKnobMoved(32768, 6, Qt::NoModifier);
    m_window->onKnobMoved(570, 6, Qt::NoModifier);
    QCOMPARE(knobLeft(), 200);
    QCOMPARE(m_state->transport.knobSeconds, 0);
    // Back over the knob the drag goes on.
    m_window->onKnobMoved(3, 6, Qt::NoModifier);
    QCOMPARE(knobLeft(), 199);
    m_window->onKnobReleased(3, 6, Qt::NoModifier);
    QCOMPARE(m_player->lastPlayed(), transport::secondsForKnobLeft(199, 120) * 1000);
}

void TestTransport::pressWithoutFileStopsTheTimerForGood()
{
    m_window->positionTimer()->start(200);
    drag(10, {11, 12, 13});
    QVERIFY(!timerRuns());
    QCOMPARE(knobLeft(), 9);
    QCOMPARE(label(), u"0:00"_s);
    QCOMPARE(m_state->transport.savedPositionMs, 0);
    QVERIFY(m_player->calls.isEmpty());
}

void TestTransport::clickWithoutDragKeepsThePlace()
{
    openRecording(u"/tmp/a.mp3"_s, 120);
    drag(10, QList<int>(50, 11));
    QCOMPARE(m_player->lastPlayed(), transport::secondsForKnobLeft(56, 120) * 1000);
    m_player->clearCalls();
    m_player->positionMs = 90000;
    m_window->onPositionTimer();
    drag(10, {});
    QVERIFY(m_player->calls.isEmpty());
    QVERIFY(timerRuns());
}

void TestTransport::knobReportsAreSixteenBitRelativeToTheKnob()
{
    transport::KnobButton *knob = m_window->knob();
    QSignalSpy pressed(knob, &transport::KnobButton::knobPressed);
    QSignalSpy moved(knob, &transport::KnobButton::knobMoved);
    QSignalSpy released(knob, &transport::KnobButton::knobReleased);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(10, 6));
    QTest::mouseMove(knob, QPoint(-50, 6));
    QTest::mouseMove(knob, QPoint(12, 6));
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(12, 6));
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.at(0).at(0).toInt(), 10);
    QCOMPARE(moved.size(), 2);
    QCOMPARE(moved.at(0).at(0).toInt(), 65536 - 50);
    QCOMPARE(released.size(), 1);
    // The first report was ignored, the second moved the knob one pixel right.
    QCOMPARE(knob->x(), 7);
    QCOMPARE(m_state->transport.dragging, 0);
}

void TestTransport::insertsTheShownPosition()
{
    m_window->insertPosition();
    QCOMPARE(m_window->editor()->toPlainText(), u"【】"_s);

    openRecording(u"/tmp/a.mp3"_s, 120);
    m_player->positionMs = 83999;
    m_window->onPositionTimer();
    // The player moves on, but what is inserted is what the label shows.
    m_player->positionMs = 85000;
    m_window->insertPosition();
    QCOMPARE(m_window->editor()->toPlainText(), u"【】【1:23】"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"【1:23】"_s);
}

QTEST_MAIN(TestTransport)
#include "tst_transport.moc"
