// Transport latency and playback CPU of the libmpv player, each beside plain libmpv in the same run.
//
// Latency: the time from a transport command (F5/F6: play(getPositionMs() -/+ 5000); F4: pause or
// play(savedPositionMs)) to getPositionMs() reporting the new position, against libmpv driven
// directly (an exact absolute seek, then PLAYBACK_RESTART, then time-pos). CPU: process CPU time over
// a stretch of playback with the player polled every 200 ms as the position timer does, against a
// plain libmpv player playing the same file. Audio goes to the null output in both.
//
// Usage: bench_transport [--quick]
#include "support/mediaencoder.h"
#include "support/wavwriter.h"
#include "transport/mpv/mpvplayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <mpv/client.h>
#include <sys/resource.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void check(int rc, const char *what)
{
    if (rc < 0) {
        std::fprintf(stderr, "bench_transport: %s: %s\n", what, mpv_error_string(rc));
        std::exit(1);
    }
}

void fail(const char *what)
{
    std::fprintf(stderr, "bench_transport: %s\n", what);
    std::exit(1);
}

double nowMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Lets queued calls (the player's event draining) run, as the GUI loop does between key presses.
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

mpv_handle *createCore(const std::vector<std::pair<const char *, const char *>> &settings)
{
    mpv_handle *core = mpv_create();
    if (!core)
        fail("mpv_create");
    for (const auto &[name, value] : settings)
        check(mpv_set_option_string(core, name, value), name);
    check(mpv_initialize(core), "mpv_initialize");
    return core;
}

void waitFor(mpv_handle *core, mpv_event_id wanted)
{
    const QDeadlineTimer deadline(5000);
    for (;;) {
        if (deadline.hasExpired())
            fail("libmpv did not answer");
        const mpv_event *event = mpv_wait_event(core, static_cast<double>(deadline.remainingTime()) / 1000.0);
        if (event->event_id == wanted)
            return;
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN)
            fail("libmpv ended the file");
    }
}

void encode(const QString &from, const QString &to, const char *codec)
{
    QString error;
    if (!testing::encodeMedia(from, to, codec, QByteArray(), &error))
        fail(qPrintable(error));
}

// libmpv used directly, set up like the player (same output, exact seeks, kept open at the end).
class PlainPlayer
{
public:
    PlainPlayer()
        : m_core(createCore({ { "config", "no" }, { "terminal", "no" }, { "load-scripts", "no" }, { "ytdl", "no" },
            { "osc", "no" }, { "vid", "no" }, { "vo", "null" }, { "ao", "null" }, { "idle", "yes" },
            { "hr-seek", "yes" }, { "keep-open", "yes" }, { "pause", "yes" } }))
    {
        check(mpv_observe_property(m_core, 1, "pause", MPV_FORMAT_FLAG), "observe pause");
    }
    ~PlainPlayer() { mpv_terminate_destroy(m_core); }
    PlainPlayer(const PlainPlayer &) = delete;
    PlainPlayer &operator=(const PlainPlayer &) = delete;

    void load(const QString &path)
    {
        const QByteArray local = QFile::encodeName(path);
        const char *args[] = { "loadfile", local.constData(), nullptr };
        check(mpv_command(m_core, args), "loadfile");
        waitFor(m_core, MPV_EVENT_PLAYBACK_RESTART);
    }
    double position()
    {
        double seconds = 0;
        check(mpv_get_property(m_core, "time-pos", MPV_FORMAT_DOUBLE, &seconds), "time-pos");
        return seconds;
    }
    void seek(double seconds)
    {
        const QByteArray target = QByteArray::number(seconds, 'f', 3);
        const char *args[] = { "seek", target.constData(), "absolute+exact", nullptr };
        check(mpv_command_async(m_core, 1, args), "seek");
        waitFor(m_core, MPV_EVENT_PLAYBACK_RESTART);
    }
    void setPause(bool paused)
    {
        int flag = paused ? 1 : 0;
        check(mpv_set_property(m_core, "pause", MPV_FORMAT_FLAG, &flag), "pause");
    }
    // Pauses and waits until libmpv reports it, the moment from which time-pos no longer moves; read
    // straight after the call alone, time-pos still advances by a millisecond or two.
    void pauseSettled()
    {
        setPause(true);
        const QDeadlineTimer deadline(5000);
        for (;;) {
            if (deadline.hasExpired())
                fail("libmpv did not report the pause");
            const mpv_event *event = mpv_wait_event(m_core, static_cast<double>(deadline.remainingTime()) / 1000.0);
            if (event->event_id != MPV_EVENT_PROPERTY_CHANGE)
                continue;
            const auto *property = static_cast<const mpv_event_property *>(event->data);
            if (property->format == MPV_FORMAT_FLAG && *static_cast<const int *>(property->data) != 0)
                return;
        }
    }
    // Handles events until the time is up, as a plain client's event loop would.
    void runFor(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired())
            mpv_wait_event(m_core, static_cast<double>(deadline.remainingTime()) / 1000.0);
    }

private:
    mpv_handle *m_core;
};

struct Samples
{
    std::vector<double> ms;

    double percentile(double p) const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        const auto rank = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size())));
        return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
    }
    double median() const { return percentile(0.5); }
    double p95() const { return percentile(0.95); }
};

struct Row
{
    QByteArray figure;
    double value;
    double reference;
    QByteArray referenceName;
    double bound; // ratio bound, or an absolute bound in ms when absolute is set
    bool absolute;
};

std::vector<Row> rows;

void addRatio(const QByteArray &figure, double value, double reference, const char *referenceName, double bound)
{
    rows.push_back({ figure, value, reference, referenceName, bound, false });
}

void addBound(const QByteArray &figure, double value, double bound)
{
    rows.push_back({ figure, value, bound, "bound", bound, true });
}

// Reads until the player reports the target (it should on the first read), so a player that returned
// early would be charged for it.
void awaitPosition(transport::MpvPlayer &player, int lowMs, int highMs)
{
    const QDeadlineTimer deadline(3000);
    for (;;) {
        const int position = player.getPositionMs();
        if (position >= lowMs && position <= highMs)
            return;
        if (deadline.hasExpired())
            fail("the player never reported the new position");
    }
}

void measureLatency(const char *format, const QString &path, int commands)
{
    transport::MpvPlayer::Options options;
    options.audioOutput = QByteArrayLiteral("null");
    transport::MpvPlayer mine(options);
    if (!mine.open(path))
        fail("the player refused the file");
    mine.play(30000);
    PlainPlayer plain;
    plain.load(path);
    plain.setPause(false);
    plain.seek(30.0);

    Samples mineJump, plainJump, mineResume, plainResume, minePause, plainPause;
    for (int i = 0; i < commands + 4; ++i) {
        const bool warmUp = i < 4;
        const int step = i % 2 == 0 ? -5000 : 5000;

        double start = nowMs();
        const int from = mine.getPositionMs();
        mine.play(from + step);
        awaitPosition(mine, from + step, from + step + 1000);
        if (!warmUp)
            mineJump.ms.push_back(nowMs() - start);
        idle(15);

        start = nowMs();
        const double target = plain.position() + step / 1000.0;
        plain.seek(target);
        if (plain.position() < target - 0.001)
            fail("plain libmpv did not land");
        if (!warmUp)
            plainJump.ms.push_back(nowMs() - start);
        idle(15);

        start = nowMs();
        mine.pause();
        const int saved = mine.getPositionMs();
        if (!warmUp)
            minePause.ms.push_back(nowMs() - start);
        idle(15);
        start = nowMs();
        mine.play(saved);
        awaitPosition(mine, saved, saved + 1000);
        if (!warmUp)
            mineResume.ms.push_back(nowMs() - start);
        idle(15);

        start = nowMs();
        plain.pauseSettled();
        const double plainSaved = plain.position();
        if (!warmUp)
            plainPause.ms.push_back(nowMs() - start);
        idle(15);
        start = nowMs();
        plain.setPause(false);
        plain.seek(plainSaved);
        plain.position();
        if (!warmUp)
            plainResume.ms.push_back(nowMs() - start);
        idle(15);
    }

    const QByteArray name(format);
    addRatio(name + " F5/F6 jump, median ms", mineJump.median(), plainJump.median(), "raw seek", 1.2);
    addRatio(name + " F5/F6 jump, p95 ms", mineJump.p95(), plainJump.p95(), "raw seek", 1.2);
    addRatio(name + " F4 resume, median ms", mineResume.median(), plainResume.median(), "raw seek", 1.2);
    addRatio(name + " F4 resume, p95 ms", mineResume.p95(), plainResume.p95(), "raw seek", 1.2);
    addRatio(name + " F4 pause, median ms", minePause.median(), plainPause.median(), "settled pause", 1.2);
    addRatio(name + " F4 pause, p95 ms", minePause.p95(), plainPause.p95(), "settled pause", 1.2);
    if (name == "MP3") {
        addBound(name + " F5/F6 jump, p95 ms", mineJump.p95(), 30);
        addBound(name + " F4 resume, p95 ms", mineResume.p95(), 30);
    }
}

// One stretch of playback with the player polled as the position timer does; CPU ms used.
double cpuOfMine(const QString &path, int ms)
{
    transport::MpvPlayer::Options options;
    options.audioOutput = QByteArrayLiteral("null");
    transport::MpvPlayer mine(options);
    if (!mine.open(path))
        fail("the player refused the file");
    mine.play(mine.getPositionMs());
    const int from = mine.getPositionMs();
    QTimer tick;
    // The position timer reads the position twice per tick: for the label and for the knob.
    QObject::connect(&tick, &QTimer::timeout, [&mine] {
        mine.getPositionMs();
        mine.getPositionMs();
    });
    tick.start(200);
    const double before = cpuMs();
    idle(ms);
    const double used = cpuMs() - before;
    if (mine.getPositionMs() < from + ms - 1000)
        fail("playback did not advance");
    return used;
}

double cpuOfPlain(const QString &path, int ms)
{
    PlainPlayer plain;
    plain.load(path);
    plain.setPause(false);
    const double from = plain.position();
    const double before = cpuMs();
    plain.runFor(ms);
    const double used = cpuMs() - before;
    if (plain.position() < from + (ms - 1000) / 1000.0)
        fail("plain playback did not advance");
    return used;
}

// Alternates the two in three stretches each, so a change of load on the machine hits both alike.
void measureCpu(const char *format, const QString &path, int seconds)
{
    constexpr int stretches = 3;
    const int ms = seconds * 1000 / stretches;
    double mineCpu = 0;
    double plainCpu = 0;
    for (int i = 0; i < stretches; ++i) {
        plainCpu += cpuOfPlain(path, ms);
        mineCpu += cpuOfMine(path, ms);
    }
    addRatio(QByteArray(format) + " CPU ms over " + QByteArray::number(seconds) + " s playback", mineCpu, plainCpu,
        "plain libmpv", 1.2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    // libmpv needs C number formatting; QCoreApplication took the environment's.
    std::setlocale(LC_NUMERIC, "C");

    const int commands = quick ? 30 : 100;
    const int cpuSeconds = quick ? 6 : 30;

    QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder");
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("tone.mp3"));
    const QString m4a = dir.filePath(QStringLiteral("tone.m4a"));
    if (!testing::writeSineWav(wav, 60.0))
        fail("cannot write the WAV file");
    encode(wav, mp3, "libmp3lame");
    encode(wav, m4a, "aac");

    const std::pair<const char *, QString> files[] = { { "WAV", wav }, { "MP3", mp3 }, { "AAC", m4a } };
    for (const auto &[format, path] : files)
        measureLatency(format, path, commands);
    for (const auto &[format, path] : files)
        measureCpu(format, path, cpuSeconds);

    std::printf("%d commands of each kind per format, %d s of playback per CPU figure; audio to the null output.\n\n",
        commands, cpuSeconds);
    std::printf("%-40s %10s %12s %-13s %7s  %s\n", "figure", "value", "reference", "", "ratio", "target");
    int missed = 0;
    for (const Row &row : rows) {
        const bool met = row.absolute ? row.value < row.bound : row.value <= row.bound * row.reference;
        missed += met ? 0 : 1;
        const QByteArray target = row.absolute ? QByteArray("< " + QByteArray::number(row.bound, 'f', 0) + " ms")
                                               : QByteArray("<= " + QByteArray::number(row.bound, 'f', 1) + " x");
        const QByteArray ratio = row.absolute ? QByteArray("") : QByteArray::number(row.value / row.reference, 'f', 2);
        std::printf("%-40s %10.3f %12.3f %-13s %7s  %s %s\n", row.figure.constData(), row.value, row.reference,
            row.referenceName.constData(), ratio.constData(), target.constData(), met ? "met" : "MISSED");
    }
    std::printf("\n%s\n", missed == 0 ? "all targets met" : "some targets missed");
    return 0;
}
