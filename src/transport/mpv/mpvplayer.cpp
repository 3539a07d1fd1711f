#include "transport/mpv/mpvplayer.h"

#include "transport/mpv/mpvapi.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>

namespace transport {

namespace {

struct Setting
{
    const char *name;
    const char *value;
    bool required;
};

// A player without a face: no video, window, on-screen controller, key bindings, terminal, scripts,
// configuration files or remembered positions, and nothing fetched for it.
constexpr Setting settings[] = {
    { "config", "no", true },
    { "terminal", "no", true },
    { "input-default-bindings", "no", true },
    { "input-vo-keyboard", "no", true },
    { "osc", "no", true },
    { "load-scripts", "no", true },
    { "ytdl", "no", true },
    { "resume-playback", "no", true },
    { "save-position-on-quit", "no", true },
    { "vid", "no", true },
    { "vo", "null", true },
    { "force-window", "no", true },
    { "sub-auto", "no", true },
    { "audio-file-auto", "no", true },
    { "access-references", "no", true },
    { "idle", "yes", true },
    // Jumps land on the millisecond the typist asked for, not on the nearest key frame.
    { "hr-seek", "yes", true },
    // The file stays open at its end, so the position stays there and a jump brings it back.
    { "keep-open", "yes", true },
    { "audio-fallback-to-null", "yes", true },
    { "load-stats-overlay", "no", false },
    { "load-osd-console", "no", false },
    { "load-auto-profiles", "no", false },
    { "cover-art-auto", "no", false },
    { "audio-client-name", "vornel-transcriber", false },
};

constexpr std::uint64_t pauseObservation = 1;
constexpr qint64 reuseReadingNs = 2'000'000;

// Decoders land on sample boundaries: an exact seek to 3 s reads back as 2.999977 s. Within half a
// millisecond below a whole millisecond counts as that millisecond, so the jump shows 0:03, not 0:02.
int toMilliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    const double ms = std::floor(seconds * 1000.0 + 0.5);
    return ms >= INT_MAX ? INT_MAX : static_cast<int>(ms);
}

} // namespace

MpvPlayer::MpvPlayer(QObject *parent)
    : MpvPlayer(Options(), parent)
{
}

MpvPlayer::MpvPlayer(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    m_readClock.start();
}

MpvPlayer::~MpvPlayer()
{
    destroyCore();
}

bool MpvPlayer::ensureCore()
{
    if (m_core && m_coreGone)
        destroyCore();
    if (m_core)
        return true;
    if (!m_api)
        m_api = loadMpvApi();
    if (!m_api)
        return false;

    // libmpv refuses to start unless numbers are formatted the C way; QCoreApplication adopted the
    // environment's locale.
    const char *numeric = std::setlocale(LC_NUMERIC, nullptr);
    if (!numeric || std::strcmp(numeric, "C") != 0)
        std::setlocale(LC_NUMERIC, "C");

    m_core = m_api->create();
    if (!m_core) {
        qCDebug(lcMpv) << "mpv_create failed";
        return false;
    }
    auto set = [this](const char *name, const char *value, bool required) {
        const int rc = m_api->set_option_string(m_core, name, value);
        if (rc >= 0)
            return true;
        qCDebug(lcMpv) << "option" << name << m_api->error_string(rc);
        return !required && rc == MPV_ERROR_OPTION_NOT_FOUND;
    };
    bool ok = true;
    for (const Setting &setting : settings)
        ok = set(setting.name, setting.value, setting.required) && ok;
    if (!m_options.audioOutput.isEmpty())
        ok = set("ao", m_options.audioOutput.constData(), true) && ok;
    if (ok) {
        const int rc = m_api->initialize(m_core);
        if (rc < 0)
            qCDebug(lcMpv) << "mpv_initialize" << m_api->error_string(rc);
        ok = rc >= 0;
    }
    if (ok) {
        // pause() waits for these reports.
        const int rc = m_api->observe_property(m_core, pauseObservation, "pause", MPV_FORMAT_FLAG);
        if (rc < 0)
            qCDebug(lcMpv) << "observe pause" << m_api->error_string(rc);
        ok = rc >= 0;
    }
    if (!ok) {
        m_api->terminate_destroy(m_core);
        m_core = nullptr;
        return false;
    }
    m_api->set_wakeup_callback(m_core, &MpvPlayer::wakeup, this);
    return true;
}

void MpvPlayer::destroyCore()
{
    if (!m_core)
        return;
    m_api->set_wakeup_callback(m_core, nullptr, nullptr);
    m_api->terminate_destroy(m_core);
    m_core = nullptr;
    m_coreGone = false;
    m_file = FileState::None;
    m_wantedEntry = -1;
    m_startedEntry = -1;
    m_pausedNoticed = false;
    m_lastReadNs = -1;
    m_replies.clear();
    m_flagReplies.clear();
}

// Runs on one of libmpv's threads: it may only hand the work to the GUI thread.
void MpvPlayer::wakeup(void *context)
{
    auto *self = static_cast<MpvPlayer *>(context);
    if (!self->m_drainQueued.exchange(true))
        QMetaObject::invokeMethod(self, &MpvPlayer::drainEvents, Qt::QueuedConnection);
}

void MpvPlayer::drainEvents()
{
    m_drainQueued = false;
    while (m_core && !m_coreGone) {
        const mpv_event *event = m_api->wait_event(m_core, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }
}

void MpvPlayer::handleEvent(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        m_startedEntry = static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (m_file == FileState::Loading && m_startedEntry == m_wantedEntry)
            m_file = FileState::Starting;
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        ++m_restarts;
        if (m_file == FileState::Starting)
            m_file = FileState::Ready;
        break;
    case MPV_EVENT_END_FILE: {
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (end->playlist_entry_id != m_wantedEntry)
            break;
        if (end->reason == MPV_END_FILE_REASON_ERROR)
            qCDebug(lcMpv) << "file refused:" << m_api->error_string(end->error);
        m_file = FileState::None;
        m_wantedEntry = -1;
        // A playlist or a folder would go on with other files, possibly from the network: the
        // transport expects one file of one length.
        if (end->reason == MPV_END_FILE_REASON_REDIRECT)
            stopLoading();
        break;
    }
    case MPV_EVENT_COMMAND_REPLY:
    case MPV_EVENT_SET_PROPERTY_REPLY:
        if (event.reply_userdata != 0)
            m_replies.insert(event.reply_userdata, event.error);
        break;
    case MPV_EVENT_GET_PROPERTY_REPLY: {
        const auto *property = static_cast<const mpv_event_property *>(event.data);
        // A failed read counts as "not paused": the pause is then confirmed by its report.
        const bool isFlag = event.error >= 0 && property->format == MPV_FORMAT_FLAG;
        m_flagReplies.insert(event.reply_userdata, isFlag ? *static_cast<const int *>(property->data) : 0);
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto *property = static_cast<const mpv_event_property *>(event.data);
        if (event.reply_userdata == pauseObservation && property->format == MPV_FORMAT_FLAG) {
            ++m_pauseNotices;
            m_pausedNoticed = *static_cast<const int *>(property->data) != 0;
        }
        break;
    }
    case MPV_EVENT_SHUTDOWN:
        m_coreGone = true;
        m_file = FileState::None;
        break;
    default:
        break;
    }
}

// Waits on this thread for libmpv's answer; every event on the way is handled as usual.
bool MpvPlayer::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    bool reached = done();
    while (!reached && !m_coreGone) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        const mpv_event *event = m_api->wait_event(m_core, static_cast<double>(left) / 1000.0);
        if (event->event_id != MPV_EVENT_NONE)
            handleEvent(*event);
        reached = done();
    }
    // Answers to requests nobody waits for any more are not kept.
    m_replies.clear();
    m_flagReplies.clear();
    return reached;
}

bool MpvPlayer::takeReply(std::uint64_t id, int *error)
{
    const auto found = m_replies.constFind(id);
    if (found == m_replies.constEnd())
        return false;
    *error = found.value();
    return true;
}

bool MpvPlayer::takeFlagReply(std::uint64_t id, int *value)
{
    const auto found = m_flagReplies.constFind(id);
    if (found == m_flagReplies.constEnd())
        return false;
    *value = found.value();
    return true;
}

void MpvPlayer::stopLoading()
{
    // Synchronous: a stop still on its way would hit the next file opened.
    const char *args[] = { "stop", nullptr };
    const int rc = m_api->command(m_core, args);
    if (rc < 0)
        qCDebug(lcMpv) << "stop" << m_api->error_string(rc);
}

bool MpvPlayer::open(const QString &path)
{
    if (!ensureCore())
        return false;
    m_lastReadNs = -1;
    drainEvents();
    m_file = FileState::None;
    m_wantedEntry = -1;
    if (path.isEmpty()) {
        stopLoading();
        return false;
    }

    // Opened paused: the transport starts playback right after, from the position it reads.
    int paused = 1;
    int rc = m_api->set_property(m_core, "pause", MPV_FORMAT_FLAG, &paused);
    if (rc < 0) {
        qCDebug(lcMpv) << "pause" << m_api->error_string(rc);
        stopLoading();
        return false;
    }
    // An absolute path is always a local file to libmpv, never a protocol or an option.
    const QByteArray local = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const char *args[] = { "loadfile", local.constData(), "replace", nullptr };
    mpv_node result;
    rc = m_api->command_ret(m_core, args, &result);
    if (rc < 0) {
        qCDebug(lcMpv) << "loadfile" << m_api->error_string(rc);
        stopLoading();
        return false;
    }
    std::int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list *map = result.u.list;
        for (int i = 0; i < map->num; ++i) {
            if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
                entry = map->values[i].u.int64;
        }
    }
    m_api->free_node_contents(&result);
    if (entry < 0) {
        stopLoading();
        return false;
    }

    m_wantedEntry = entry;
    m_file = FileState::Loading;
    waitUntil([this] { return m_file == FileState::None || m_file == FileState::Ready; }, m_options.loadTimeoutMs);
    if (m_file == FileState::Loading) {
        qCDebug(lcMpv) << "no answer in time for" << path;
        stopLoading();
        m_file = FileState::None;
        m_wantedEntry = -1;
    }
    return fileOpen();
}

std::uint64_t MpvPlayer::requestPause(bool paused)
{
    int flag = paused ? 1 : 0;
    const std::uint64_t id = nextRequestId();
    const int rc = m_api->set_property_async(m_core, id, "pause", MPV_FORMAT_FLAG, &flag);
    if (rc >= 0)
        return id;
    qCDebug(lcMpv) << "pause" << paused << m_api->error_string(rc);
    return 0;
}

void MpvPlayer::play(int positionMs)
{
    if (!fileOpen())
        return;
    m_lastReadNs = -1;
    drainEvents();
    const std::uint64_t restartsBefore = m_restarts;

    std::uint64_t seekId = 0;
    if (positionMs >= 0) {
        const QByteArray seconds = QByteArray::number(positionMs / 1000.0, 'f', 3);
        const char *args[] = { "seek", seconds.constData(), "absolute+exact", nullptr };
        seekId = nextRequestId();
        const int rc = m_api->command_async(m_core, seekId, args);
        if (rc < 0) {
            qCDebug(lcMpv) << "seek" << m_api->error_string(rc);
            seekId = 0;
        }
    }
    // A known pause is lifted behind the seek, in the same turn, so no sound from the old position
    // slips out in between; while playing, the seek goes alone.
    std::uint64_t unpauseId = seekId == 0 || m_pausedNoticed ? requestPause(false) : 0;

    bool seekAnswered = seekId == 0;
    int seekError = 0;
    bool unpauseAnswered = unpauseId == 0;
    int unpauseError = 0;
    auto answered = [&] {
        if (!seekAnswered)
            seekAnswered = takeReply(seekId, &seekError);
        if (!unpauseAnswered)
            unpauseAnswered = takeReply(unpauseId, &unpauseError);
        // The seek has taken effect when playback restarts; a refused seek restarts nothing.
        const bool seekDone = seekAnswered && (seekId == 0 || seekError < 0 || m_restarts > restartsBefore);
        return (seekDone && unpauseAnswered) || !fileOpen();
    };
    if (!waitUntil(answered, m_options.seekTimeoutMs))
        qCDebug(lcMpv) << "seek to" << positionMs << "not confirmed in time";

    // Paused by libmpv itself meanwhile: the file had reached its end just before the seek. Its
    // report comes before the restart of the seek that follows it.
    if (unpauseId == 0 && m_pausedNoticed && fileOpen()) {
        unpauseId = requestPause(false);
        unpauseAnswered = unpauseId == 0;
        waitUntil(answered, m_options.seekTimeoutMs);
    }
    if (seekError < 0)
        qCDebug(lcMpv) << "seek" << m_api->error_string(seekError);
    if (unpauseError < 0)
        qCDebug(lcMpv) << "unpause" << m_api->error_string(unpauseError);
}

void MpvPlayer::pause()
{
    if (!fileOpen())
        return;
    m_lastReadNs = -1;
    const std::uint64_t noticesBefore = m_pauseNotices;
    // Asked together with the pause: when libmpv was paused already (the end of the file pauses it),
    // the pause changes nothing and no report would come.
    const std::uint64_t askId = nextRequestId();
    int rc = m_api->get_property_async(m_core, askId, "pause", MPV_FORMAT_FLAG);
    if (rc < 0) {
        qCDebug(lcMpv) << "pause state" << m_api->error_string(rc);
        return;
    }
    int paused = 1;
    rc = m_api->set_property(m_core, "pause", MPV_FORMAT_FLAG, &paused);
    if (rc < 0) {
        qCDebug(lcMpv) << "pause" << m_api->error_string(rc);
        return;
    }

    bool asked = false;
    int wasPaused = 0;
    // The position settles a moment after the pause, in the turn of libmpv's loop that reports the
    // change; waiting for the report makes the next reading the one that stays.
    waitUntil(
        [&] {
            if (!asked)
                asked = takeFlagReply(askId, &wasPaused);
            const bool settled = wasPaused != 0 || (m_pauseNotices > noticesBefore && m_pausedNoticed);
            return (asked && settled) || !fileOpen();
        },
        m_options.seekTimeoutMs);
}

double MpvPlayer::doubleProperty(const char *name, bool *ok)
{
    double value = 0;
    const int rc = m_api->get_property(m_core, name, MPV_FORMAT_DOUBLE, &value);
    *ok = rc >= 0;
    return value;
}

int MpvPlayer::getPositionMs()
{
    if (!fileOpen())
        return -1;
    // Every reading interrupts libmpv's loop. The position timer reads twice in a row (label, knob);
    // the second gets the first's answer, which is at most a millisecond or two old.
    const qint64 now = m_readClock.nsecsElapsed();
    if (m_lastReadNs >= 0 && now - m_lastReadNs < reuseReadingNs)
        return m_lastPosition;
    bool ok = false;
    const double seconds = doubleProperty("time-pos", &ok);
    m_lastPosition = ok ? toMilliseconds(seconds) : -1;
    m_lastReadNs = ok ? now : -1;
    return m_lastPosition;
}

int MpvPlayer::getLengthSeconds()
{
    if (!fileOpen())
        return 0;
    bool ok = false;
    const double seconds = doubleProperty("duration", &ok);
    return ok ? toMilliseconds(seconds) / 1000 : 0;
}

} // namespace transport
