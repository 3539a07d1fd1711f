#include "transport.h"

#include "common/dialogs.h"
#include "transport/mediaplayer.h"
#include "transport/timetext.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace transport {

Transport::Transport(TransportState &state, MediaPlayer *player, common::Dialogs *dialogs, TransportControls controls)
    : m_state(state)
    , m_player(player)
    , m_dialogs(dialogs)
    , m_controls(std::move(controls))
{
}

int Transport::playerPosition() const
{
    return m_player ? m_player->getPositionMs() : -1;
}

int Transport::playerLength() const
{
    return m_player ? m_player->getLengthSeconds() : 0;
}

void Transport::play(int positionMs)
{
    if (m_player)
        m_player->play(positionMs);
}

void Transport::startTimer()
{
    if (m_controls.timer)
        m_controls.timer->start(TimerPeriodMs);
}

void Transport::stopTimer()
{
    if (m_controls.timer)
        m_controls.timer->stop();
}

void Transport::showPositionMs(int positionMs)
{
    showSeconds(positionMs < 0 ? 0 : positionMs / 1000);
}

void Transport::showSeconds(int seconds)
{
    if (seconds == m_shownSeconds || !m_controls.positionLabel)
        return;
    m_shownSeconds = seconds;
    m_controls.positionLabel->setText(formatTimeText(seconds));
}

int Transport::knobLeft() const
{
    return m_controls.knob ? m_controls.knob->x() : KnobOrigin;
}

void Transport::setKnobLeft(int left)
{
    if (m_controls.knob && m_controls.knob->x() != left)
        m_controls.knob->move(left, m_controls.knob->y());
}

void Transport::openMedia()
{
    if (!m_dialogs)
        return;
    common::FileRequest request;
    request.title = QStringLiteral("选择要打开的音频文件");
    request.filters = QStringList{QStringLiteral("所有文件(*.*)")};
    request.fileName = m_lastChosenPath;
    const common::FileChoice choice = m_dialogs->openFile(request);
    if (choice.cancelled())
        return;
    m_lastChosenPath = choice.path;
    startMedia(choice.path);
}

void Transport::startMedia(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return;
    if (m_controls.showFileName)
        m_controls.showFileName(path.mid(slash + 1));
    if (m_player) {
        m_player->open(path);
        m_player->play(m_player->getPositionMs());
    }
    if (m_controls.showPlaying)
        m_controls.showPlaying(true);
    m_state.playing = 1;
    m_state.mediaLoaded = 1;
    m_state.lengthSeconds = playerLength();
    if (m_controls.lengthLabel)
        m_controls.lengthLabel->setText(formatTimeText(m_state.lengthSeconds));
    startTimer();
}

void Transport::togglePlayPause()
{
    if (m_state.mediaLoaded != 1)
        return;
    if (m_state.playing == 1) {
        if (m_controls.showPlaying)
            m_controls.showPlaying(false);
        if (m_player)
            m_player->pause();
        // The timer keeps running and keeps showing the frozen position.
        m_state.savedPositionMs = playerPosition();
        m_state.playing = 0;
        return;
    }
    play(m_state.savedPositionMs);
    if (m_controls.showPlaying)
        m_controls.showPlaying(true);
    m_state.playing = 1;
    startTimer();
}

void Transport::jumpBack()
{
    if (m_state.mediaLoaded != 1)
        return;
    if (m_state.playing == 1) {
        const int p = playerPosition();
        play(p < JumpMs ? 0 : p - JumpMs);
        // The knob follows at the next tick.
        showPositionMs(playerPosition());
        return;
    }
    // Paused: only the resume point moves; the timer would overwrite the label with the frozen position.
    m_state.savedPositionMs -= JumpMs;
    stopTimer();
    if (m_state.savedPositionMs < 0)
        m_state.savedPositionMs = 0;
    showPositionMs(m_state.savedPositionMs);
    setKnobLeft(knobLeftForPosition(m_state.savedPositionMs, m_state.lengthSeconds));
}

void Transport::jumpForward()
{
    if (m_state.mediaLoaded == 0)
        return;
    if (m_state.playing == 1) {
        const int p = playerPosition();
        // No upper bound while playing: the player gets the target past the end as it is.
        play(p < 0 ? 0 : p + JumpMs);
        showPositionMs(playerPosition());
        return;
    }
    m_state.savedPositionMs += JumpMs;
    stopTimer();
    // The end is the whole-second length; the real media may run up to 999 ms beyond it.
    const double end = double(m_state.lengthSeconds) * 1000.0;
    if (double(m_state.savedPositionMs) - end > 0.0000001)
        m_state.savedPositionMs = m_state.lengthSeconds * 1000;
    showPositionMs(m_state.savedPositionMs);
    setKnobLeft(knobLeftForPosition(m_state.savedPositionMs, m_state.lengthSeconds));
}

void Transport::onPositionTimer()
{
    showPositionMs(playerPosition());
    setKnobLeft(knobLeftForPosition(playerPosition(), m_state.lengthSeconds));
}

void Transport::onKnobPressed(int x, int, Qt::KeyboardModifiers)
{
    m_state.dragging = 1;
    // No tick may move the knob or rewrite the label while it is held.
    stopTimer();
    m_state.grabX = x;
    m_movedSincePress = false;
    // The knob holds the pointer until the button is released: Qt grabs it for the widget that took the press.
}

void Transport::onKnobMoved(int x, int, Qt::KeyboardModifiers)
{
    if (m_state.dragging == 0)
        return;
    // Also drops every report from left of the knob, which arrives as 65536 minus the distance.
    if (x >= KnobRightLimit)
        return;
    const int left = knobLeft();
    if (x < m_state.grabX && left > KnobLeftLimit)
        setKnobLeft(left - 1);
    else if (x > KnobLeftLimit && x > m_state.grabX && left < KnobRightLimit)
        setKnobLeft(left + 1);
    m_movedSincePress = true;

    // Lets the knob repaint; reports queued meanwhile re-enter here, so the edge is read afresh below.
    QCoreApplication::processEvents();

    m_state.knobSeconds = secondsForKnobLeft(knobLeft(), m_state.lengthSeconds);
    showSeconds(m_state.knobSeconds);
    m_state.savedPositionMs = m_state.knobSeconds * 1000;
}

void Transport::onKnobReleased(int, int, Qt::KeyboardModifiers)
{
    m_state.dragging = 0;
    if (m_state.playing != 1)
        return;
    startTimer();
    // A click without a drag only lets the knob follow again; seeking to a stale time would lose the place.
    if (!m_movedSincePress)
        return;
    // A release handled inside a move's nested event run comes before that move stored its time.
    m_state.knobSeconds = secondsForKnobLeft(knobLeft(), m_state.lengthSeconds);
    m_state.savedPositionMs = m_state.knobSeconds * 1000;
    play(m_state.knobSeconds * 1000);
}

QString Transport::positionInsertion() const
{
    const QString shown = m_controls.positionLabel ? m_controls.positionLabel->text() : QString();
    return QStringLiteral("【") + shown + QStringLiteral("】");
}

} // namespace transport
