#pragma once

#include "transport/transportstate.h"

#include <QString>
#include <Qt>

#include <functional>

class QLabel;
class QTimer;
class QWidget;

namespace common {
class Dialogs;
}

namespace transport {

class MediaPlayer;

// The window parts the transport drives; the window keeps ownership.
struct TransportControls
{
    QLabel *positionLabel = nullptr;
    QLabel *lengthLabel = nullptr;
    QWidget *knob = nullptr;
    QTimer *timer = nullptr;
    // 播放 checked and 暂停 unchecked while playing, the other way round while paused.
    std::function<void(bool playing)> showPlaying;
    // The name of the file that now plays, for the window caption.
    std::function<void(const QString &fileName)> showFileName;
};

// Play, pause, the 5-second jumps, the position display and the seek-bar drag over one player.
// The player may be missing (tests that do not care): it then reads as nothing open.
class Transport
{
public:
    static constexpr int JumpMs = 5000;
    static constexpr int TimerPeriodMs = 200;

    Transport(TransportState &state, MediaPlayer *player, common::Dialogs *dialogs, TransportControls controls);

    void openMedia();
    void startMedia(const QString &path);
    void togglePlayPause();
    void jumpBack();
    void jumpForward();
    void onPositionTimer();

    void onKnobPressed(int x, int y, Qt::KeyboardModifiers keys);
    void onKnobMoved(int x, int y, Qt::KeyboardModifiers keys);
    void onKnobReleased(int x, int y, Qt::KeyboardModifiers keys);

    // 【, the position label's text, 】: what the typist sees is what goes into the transcript.
    QString positionInsertion() const;

    // The open dialog starts with the path chosen last.
    QString lastChosenPath() const { return m_lastChosenPath; }
    void setLastChosenPath(const QString &path) { m_lastChosenPath = path; }

    const TransportState &state() const { return m_state; }

private:
    int playerPosition() const;
    int playerLength() const;
    void play(int positionMs);
    void startTimer();
    void stopTimer();
    void showPositionMs(int positionMs);
    void showSeconds(int seconds);
    int knobLeft() const;
    void setKnobLeft(int left);

    TransportState &m_state;
    MediaPlayer *m_player;
    common::Dialogs *m_dialogs;
    TransportControls m_controls;
    QString m_lastChosenPath;
    // The seconds the position label shows, so a tick that changes nothing writes nothing.
    int m_shownSeconds = -1;
    // Whether the knob was moved since it was pressed; a plain click does not seek.
    bool m_movedSincePress = false;
};

} // namespace transport
