#include "microtimer.h"

#include <QSocketNotifier>

#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

// The system's time setting of a timerfd: when it runs out, and no repeat.
using TimerSetting = struct itimerspec;

MicroTimer::MicroTimer(QObject* parent)
    : QObject(parent)
    , m_fd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC))
{
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MicroTimer::expired);
}

MicroTimer::~MicroTimer()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void MicroTimer::start(qint64 delayUs)
{
    if (m_fd < 0)
        return;
    // A zero time disarms a timerfd: the soonest is one nanosecond.
    const qint64 ns = delayUs > 0 ? delayUs * 1000 : 1;
    TimerSetting due {};
    due.it_value.tv_sec = time_t(ns / 1000000000);
    due.it_value.tv_nsec = long(ns % 1000000000);
    m_active = ::timerfd_settime(m_fd, 0, &due, nullptr) == 0;
}

void MicroTimer::stop()
{
    if (m_fd < 0)
        return;
    const TimerSetting disarmed {};
    ::timerfd_settime(m_fd, 0, &disarmed, nullptr);
    m_active = false;
}

void MicroTimer::expired()
{
    std::uint64_t expirations = 0;
    // Nothing to read means the timer was set again meanwhile and has not run out yet.
    if (::read(m_fd, &expirations, sizeof expirations) != ssize_t(sizeof expirations))
        return;
    m_active = false;
    Q_EMIT timeout();
}
