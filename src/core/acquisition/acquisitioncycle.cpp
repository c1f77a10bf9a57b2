#include "acquisitioncycle.h"

#include "displaystate.h"
#include "meter/decoding.h"
#include "meter/downloadhook.h"
#include "meter/frames.h"
#include "platform/clock.h"
#include "platform/seriallink.h"

AcquisitionCycle::AcquisitionCycle(
    SerialLink& link, Clock& clock, CurrentReading& reading, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_reading(reading)
{
    m_timer1 = clock.createTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTickIntervalMs);
    m_deadline = clock.createTimer(this);
    m_deadline->setSingleShot(true);
    m_pause = clock.createTimer(this);
    m_pause->setSingleShot(true);

    connect(m_timer1, &Timer::timeout, this, &AcquisitionCycle::tick);
    connect(m_deadline, &Timer::timeout, this, &AcquisitionCycle::waitExpired);
    connect(&m_link, &SerialLink::readyRead, this, &AcquisitionCycle::checkWait);
    connect(m_pause, &Timer::timeout, this, &AcquisitionCycle::pauseElapsed);
}

void AcquisitionCycle::setDownloadHook(DownloadHook* hook)
{
    if (m_download)
        disconnect(m_download, nullptr, this, nullptr);
    m_download = hook;
    if (m_download) {
        connect(m_download, &DownloadHook::finished, this, [this] {
            if (m_state == State::Downloading)
                endTick();
        });
    }
}

void AcquisitionCycle::showOn(DisplayState& display, const AlarmSettings& alarms, Beeper& beeper)
{
    m_display.emplace(Display { display, alarms, beeper });
}

void AcquisitionCycle::tick()
{
    if (m_state != State::Idle)
        return; // the previous tick is still waiting, blinking or downloading
    m_retryCount = 0;
    startAttempt();
}

void AcquisitionCycle::startAttempt()
{
    dropPending();
    m_state = State::Waiting;
    m_deadline->start(kWaitMs);
    checkWait();
}

void AcquisitionCycle::checkWait()
{
    if (m_state != State::Waiting)
        return;
    if (m_link.bytesAvailable() >= kBytesForAFrame)
        takeFrame();
}

void AcquisitionCycle::waitExpired()
{
    if (m_state != State::Waiting)
        return;
    if (m_link.bytesAvailable() >= kBytesForAFrame) {
        takeFrame();
        return;
    }
    if (m_retryCount < kMaxRetries) {
        ++m_retryCount;
        startAttempt(); // drops what did arrive
        return;
    }
    // Four waits without a frame: the meter is silent.
    m_state = State::NoData;
    if (m_display)
        m_display->state.showNoCom();
    Q_EMIT noDataStarted();
    m_comVisible = true;
    blink();
}

void AcquisitionCycle::pauseElapsed()
{
    if (m_state == State::OutOfStepPause) {
        startAttempt();
        return;
    }
    if (m_state != State::NoData)
        return;
    // The blinking ends with the first byte that arrives, looked for after each pause.
    if (m_link.bytesAvailable() > 0) {
        m_comVisible = true;
        if (m_display) {
            m_display->state.showPortText();
            m_display->state.setPortVisible(true);
        }
        Q_EMIT noDataEnded();
        endTick();
        return;
    }
    blink();
}

void AcquisitionCycle::blink()
{
    m_comVisible = !m_comVisible;
    if (m_display)
        m_display->state.setPortVisible(m_comVisible);
    Q_EMIT comLabelVisibilityChanged(m_comVisible);
    m_pause->start(kBlinkMs);
}

void AcquisitionCycle::takeFrame()
{
    m_deadline->stop();
    const QByteArray frame = m_link.readAll();
    m_retryCount = 0;
    switch (ClassifyFrame(frame)) {
    case FrameKind::Signature: {
        const SignatureInfo info = ParseSignature(frame);
        if (!m_download) {
            endTick();
            return;
        }
        m_state = State::Downloading;
        m_download->begin(info.setCount, info.writeAddress);
        return;
    }
    case FrameKind::OutOfStep:
        m_state = State::OutOfStepPause;
        m_pause->start(kRetryPauseMs);
        return;
    case FrameKind::LiveReading:
        DecodeReading(m_reading, LiveFrameFields(frame));
        m_state = State::Idle;
        if (m_display)
            m_display->state.showReading(m_reading, m_display->alarms, m_display->beeper);
        Q_EMIT readingDecoded();
        return;
    }
}

void AcquisitionCycle::endTick()
{
    if (m_state == State::NoData)
        dropPending();
    m_deadline->stop();
    m_pause->stop();
    m_state = State::Idle;
}

void AcquisitionCycle::dropPending()
{
    m_link.readAll();
}
