#pragma once

#include "transport/mediaplayer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>

struct mpv_handle;
struct mpv_event;

namespace transport {

struct MpvApi;

// The media player on libmpv, audio only. libmpv works on its own threads; the calls here wait for
// it (bounded) so that they keep the synchronous contract of MediaPlayer. Nothing of libmpv is
// loaded or created before the first open().
class MpvPlayer final : public QObject, public MediaPlayer
{
    Q_OBJECT

public:
    struct Options
    {
        // libmpv's audio output list; empty for its default. The null output is always the fallback,
        // so a machine without a working sound device still plays (silently) and the position moves.
        QByteArray audioOutput;
        int loadTimeoutMs = 5000;
        int seekTimeoutMs = 2000;
    };

    explicit MpvPlayer(QObject *parent = nullptr);
    explicit MpvPlayer(Options options, QObject *parent = nullptr);
    ~MpvPlayer() override;

    bool open(const QString &path) override;
    void play(int positionMs) override;
    void pause() override;
    int getPositionMs() override;
    int getLengthSeconds() override;

private:
    enum class FileState { None, Loading, Starting, Ready };

    bool ensureCore();
    void destroyCore();
    void drainEvents();
    void handleEvent(const mpv_event &event);
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    bool takeReply(std::uint64_t id, int *error);
    bool takeFlagReply(std::uint64_t id, int *value);
    std::uint64_t requestPause(bool paused);
    std::uint64_t nextRequestId() { return ++m_lastRequestId; }
    bool fileOpen() const { return m_core && (m_file == FileState::Starting || m_file == FileState::Ready); }
    double doubleProperty(const char *name, bool *ok);
    void stopLoading();

    static void wakeup(void *context);

    const Options m_options;
    const MpvApi *m_api = nullptr;
    mpv_handle *m_core = nullptr;
    bool m_coreGone = false;
    std::atomic<bool> m_drainQueued { false };

    FileState m_file = FileState::None;
    std::int64_t m_wantedEntry = -1;
    std::int64_t m_startedEntry = -1;
    std::uint64_t m_restarts = 0;
    std::uint64_t m_pauseNotices = 0;
    bool m_pausedNoticed = false;
    std::uint64_t m_lastRequestId = 0;
    QHash<std::uint64_t, int> m_replies;
    QHash<std::uint64_t, int> m_flagReplies;

    QElapsedTimer m_readClock;
    qint64 m_lastReadNs = -1;
    int m_lastPosition = -1;
};

} // namespace transport
