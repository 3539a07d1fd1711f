// The libmpv player against real files: silent output (ao=null), WAV tones written by the test.
#include "support/mediaencoder.h"
#include "support/wavwriter.h"
#include "transport/mpv/mpvplayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using transport::MpvPlayer;

namespace {

// Between play() returning and the next read, the tone keeps playing; a busy machine adds some.
constexpr int slackMs = 250;

MpvPlayer::Options silent()
{
    MpvPlayer::Options options;
    options.audioOutput = QByteArrayLiteral("null");
    return options;
}

} // namespace

class TestMpvPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingOpenReportsUnknown();
    void opensAtStartWithTruncatedLength_data();
    void opensAtStartWithTruncatedLength();
    void playAdvancesAndPauseHolds();
    void jumpsLandWhereAsked_data();
    void jumpsLandWhereAsked();
    void resumesWherePaused_data();
    void resumesWherePaused();
    void secondFileReplacesFirstAndEndIsKept();
    void refusedFileReportsNothingOpen_data();
    void refusedFileReportsNothingOpen();
    void playPastTheEndReturnsAtTheEnd();

private:
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

void TestMpvPlayer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(testing::writeSineWav(file("tone20.wav"), 20.0));
    QVERIFY(testing::writeSineWav(file("tone19.9.wav"), 19.9));
    QVERIFY(testing::writeSineWav(file("tone0.5.wav"), 0.5));
    QString error;
    QVERIFY2(testing::encodeMedia(file("tone20.wav"), file("tone20.mp3"), "libmp3lame", {}, &error), qPrintable(error));
    QVERIFY2(testing::encodeMedia(file("tone20.wav"), file("tone20.m4a"), "aac", {}, &error), qPrintable(error));
    QVERIFY2(testing::encodeMedia(QStringLiteral("av://lavfi:testsrc=duration=4:size=160x120:rate=10[out0];"
                                                 "sine=duration=4[out1]"),
                 file("picture4.mp4"), "aac", "mpeg4", &error),
        qPrintable(error));
    QVERIFY2(testing::encodeMedia(QStringLiteral("av://lavfi:testsrc=duration=4:size=160x120:rate=10"),
                 file("silent4.mp4"), "aac", "mpeg4", &error),
        qPrintable(error));
    QFile text(file("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("This is a transcript, not a recording.\r\n");
}

void TestMpvPlayer::nothingOpenReportsUnknown()
{
    MpvPlayer player(silent());
    player.play(1000);
    player.pause();
    player.play(-1);
    QCOMPARE(player.getPositionMs(), -1);
    QCOMPARE(player.getLengthSeconds(), 0);
}

void TestMpvPlayer::opensAtStartWithTruncatedLength_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("length");
    QTest::newRow("twenty seconds") << u"tone20.wav"_qs << 20;
    QTest::newRow("19.9 seconds are 19") << u"tone19.9.wav"_qs << 19;
    QTest::newRow("half a second is 0") << u"tone0.5.wav"_qs << 0;
    QTest::newRow("an MP3") << u"tone20.mp3"_qs << 20;
    QTest::newRow("AAC in M4A") << u"tone20.m4a"_qs << 20;
    QTest::newRow("a video plays its sound") << u"picture4.mp4"_qs << 4;
}

void TestMpvPlayer::opensAtStartWithTruncatedLength()
{
    QFETCH(QString, name);
    QFETCH(int, length);
    MpvPlayer player(silent());
    QVERIFY(player.open(m_dir.filePath(name)));
    QCOMPARE(player.getLengthSeconds(), length);
    QCOMPARE(player.getPositionMs(), 0);
    // Still at the start a moment later: the transport starts playback itself.
    QTest::qWait(200);
    QCOMPARE(player.getPositionMs(), 0);
    player.play(0);
    QTRY_VERIFY(player.getPositionMs() >= qMin(300, length * 1000 + 400));
}

void TestMpvPlayer::playAdvancesAndPauseHolds()
{
    MpvPlayer player(silent());
    QVERIFY(player.open(file("tone20.wav")));
    player.play(player.getPositionMs());
    QTRY_VERIFY(player.getPositionMs() > 400);
    player.pause();
    const int stopped = player.getPositionMs();
    QVERIFY(stopped > 400);
    QTest::qWait(300);
    QCOMPARE(player.getPositionMs(), stopped);
}

void TestMpvPlayer::jumpsLandWhereAsked_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<int>("step");
    QTest::newRow("back while playing") << 12000 << false << -5000;
    QTest::newRow("forward while playing") << 12000 << false << 5000;
    QTest::newRow("back to the very start") << 5000 << false << -5000;
    QTest::newRow("forward from a pause plays again") << 3000 << true << 5000;
    QTest::newRow("back from a pause plays again") << 9000 << true << -5000;
}

void TestMpvPlayer::jumpsLandWhereAsked()
{
    QFETCH(int, from);
    QFETCH(bool, paused);
    QFETCH(int, step);
    MpvPlayer player(silent());
    QVERIFY(player.open(file("tone20.wav")));
    player.play(from);
    if (paused)
        player.pause();
    const int before = player.getPositionMs();
    QVERIFY2(before >= from && before < from + slackMs, qPrintable(QString::number(before)));

    const int target = qMax(0, before + step);
    player.play(target);
    const int landed = player.getPositionMs();
    QVERIFY2(landed >= target && landed < target + slackMs,
        qPrintable(QStringLiteral("asked %1, landed %2").arg(target).arg(landed)));
    QTRY_VERIFY(player.getPositionMs() > landed + 200);
}

void TestMpvPlayer::resumesWherePaused_data()
{
    QTest::addColumn<bool>("fromCurrent");
    QTest::newRow("from the saved position") << false;
    QTest::newRow("from the current position (-1)") << true;
}

void TestMpvPlayer::resumesWherePaused()
{
    QFETCH(bool, fromCurrent);
    MpvPlayer player(silent());
    QVERIFY(player.open(file("tone20.wav")));
    player.play(6000);
    QTest::qWait(300);
    player.pause();
    const int saved = player.getPositionMs();
    player.pause();
    QCOMPARE(player.getPositionMs(), saved);
    QTest::qWait(300);
    player.play(fromCurrent ? -1 : saved);
    const int resumed = player.getPositionMs();
    QVERIFY2(resumed >= saved && resumed < saved + slackMs,
        qPrintable(QStringLiteral("paused at %1, resumed at %2").arg(saved).arg(resumed)));
    QTRY_VERIFY(player.getPositionMs() > resumed + 200);
}

void TestMpvPlayer::secondFileReplacesFirstAndEndIsKept()
{
    MpvPlayer player(silent());
    QVERIFY(player.open(file("tone20.wav")));
    player.play(8000);
    QVERIFY(player.open(file("tone0.5.wav")));
    QCOMPARE(player.getLengthSeconds(), 0);
    QCOMPARE(player.getPositionMs(), 0);

    player.play(player.getPositionMs());
    QTRY_VERIFY(player.getPositionMs() >= 450);
    const int end = player.getPositionMs();
    QVERIFY(end <= 500);
    QTest::qWait(300);
    QCOMPARE(player.getPositionMs(), end);

    player.play(100);
    const int again = player.getPositionMs();
    QVERIFY2(again >= 100 && again < 100 + slackMs, qPrintable(QString::number(again)));
    QTRY_VERIFY(player.getPositionMs() >= 450);
}

void TestMpvPlayer::refusedFileReportsNothingOpen_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a text file") << file("notes.txt");
    QTest::newRow("a video without sound") << file("silent4.mp4");
    QTest::newRow("a missing file") << file("gone.mp3");
    QTest::newRow("a folder") << m_dir.path();
    QTest::newRow("an empty path") << QString();
}

void TestMpvPlayer::refusedFileReportsNothingOpen()
{
    QFETCH(QString, path);
    MpvPlayer player(silent());
    QVERIFY(player.open(file("tone20.wav")));
    player.play(3000);

    QVERIFY(!player.open(path));
    QCOMPARE(player.getLengthSeconds(), 0);
    QCOMPARE(player.getPositionMs(), -1);
    player.play(1000);
    player.pause();
    QCOMPARE(player.getPositionMs(), -1);

    // The player is still good for the next file.
    QVERIFY(player.open(file("tone20.wav")));
    QCOMPARE(player.getLengthSeconds(), 20);
}

void TestMpvPlayer::playPastTheEndReturnsAtTheEnd()
{
    MpvPlayer player(silent());
    QVERIFY(player.open(file("tone20.wav")));
    player.play(19000);
    QElapsedTimer clock;
    clock.start();
    player.play(25000);
    // Far below the wait's own bound: the end counts as the seek's arrival.
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    const int end = player.getPositionMs();
    QVERIFY2(end >= 19900 && end <= 20000, qPrintable(QString::number(end)));

    player.pause();
    QCOMPARE(player.getPositionMs(), end);
    player.play(15000);
    const int back = player.getPositionMs();
    QVERIFY2(back >= 15000 && back < 15000 + slackMs, qPrintable(QString::number(back)));
    QTRY_VERIFY(player.getPositionMs() > back + 200);
}

QTEST_GUILESS_MAIN(TestMpvPlayer)
#include "tst_mpvplayer.moc"
