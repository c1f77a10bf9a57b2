#pragma once

#include "meter/protocol.h"

#include <QObject>

#include <optional>

class Beeper;
class Clock;
class DisplayState;
class DownloadHook;
class SerialLink;
class Timer;
struct AlarmSettings;
struct CurrentReading;

// The acquisition tick as a state machine. Every 150 ms (Timer1) a tick empties the receive
// buffer and waits up to 2 s for 15 bytes, up to four times; then it decodes a live frame, hands
// a logger signature to the download, or, when the meter stays silent, blinks "No COM" until a
// byte arrives. Waits are timers and readyRead signals, never loops: other windows, timers and
// commands run meanwhile, and a tick that is still running makes Timer1 skip.
class AcquisitionCycle final : public QObject
{
    Q_OBJECT
public:
    enum class State { Idle, Waiting, OutOfStepPause, NoData, Downloading };

    static constexpr int kTickIntervalMs = kAcquisitionTickMs;
    static constexpr int kWaitMs = 2000;
    static constexpr int kRetryPauseMs = 200;
    static constexpr int kBlinkMs = 200;
    static constexpr int kMaxRetries = 3;

    AcquisitionCycle(
        SerialLink& link, Clock& clock, CurrentReading& reading, QObject* parent = nullptr);

    // The hook that runs a logger download; without one a signature frame just ends the tick.
    void setDownloadHook(DownloadHook* hook);
    // The display state each decoded reading and each silence of the meter updates, with the
    // alarm checks against the settings and their beeps.
    void showOn(DisplayState& display, const AlarmSettings& alarms, Beeper& beeper);

    // Timer1: enabled at load, paused while a list prints.
    Timer& timer1() { return *m_timer1; }
    State state() const { return m_state; }

Q_SIGNALS:
    // A live frame was decoded into the current reading.
    void readingDecoded();
    // The meter went silent: show "No COM" and close the live list and the real-time graph.
    void noDataStarted();
    // The "No COM" label blinks.
    void comLabelVisibilityChanged(bool visible);
    // A byte arrived after the silence: show "COM" and the port number again.
    void noDataEnded();

private:
    void tick();
    void startAttempt();
    void checkWait();
    void waitExpired();
    void takeFrame();
    void blink();
    void pauseElapsed();
    void endTick();
    void dropPending();

    SerialLink& m_link;
    CurrentReading& m_reading;
    DownloadHook* m_download = nullptr;
    // Where readings and silences show, what the alarms compare with and what beeps.
    struct Display {
        DisplayState& state;
        const AlarmSettings& alarms;
        Beeper& beeper;
    };
    std::optional<Display> m_display;
    Timer* m_timer1 = nullptr;
    Timer* m_deadline = nullptr;
    Timer* m_pause = nullptr;
    State m_state = State::Idle;
    int m_retryCount = 0;
    bool m_comVisible = true;
};
