#include "fakeclock.h"

#include <algorithm>

namespace
{
quint64 g_startOrder = 0;
}

FakeClock::FakeClock(const QDateTime& start)
    : m_wallStart(start)
{
}

FakeClock::~FakeClock()
{
    for (FakeTimer* timer : m_timers)
        timer->m_clock = nullptr;
}

QDateTime FakeClock::wallClock() const
{
    return m_wallStart.addMSecs(m_now + m_wallOffsetMs);
}

QTime FakeClock::timeOfDay() const
{
    return wallClock().time();
}

QDate FakeClock::date() const
{
    return wallClock().date();
}

QDateTime FakeClock::now() const
{
    const QDateTime wall = wallClock();
    return QDateTime(wall.date(), wall.time(), Qt::OffsetFromUTC, m_utcOffset);
}

void FakeClock::sleep(qint64 ms)
{
    m_now += ms;
    for (FakeTimer* timer : m_timers) {
        if (timer->m_active && timer->m_due < m_now)
            timer->m_due = m_now;
    }
}

void FakeClock::setWallClock(const QDateTime& when)
{
    m_wallOffsetMs = m_wallStart.msecsTo(when) - m_now;
}

Timer* FakeClock::createTimer(QObject* parent)
{
    auto* timer = new FakeTimer(*this, parent);
    m_timers.push_back(timer);
    return timer;
}

void FakeClock::advance(qint64 ms)
{
    const qint64 end = m_now + ms;
    for (;;) {
        // The earliest due timer (started first among equals), if it falls within the step. A
        // timer that fires may create or destroy timers: the list is looked at afresh each time.
        FakeTimer* next = nullptr;
        for (FakeTimer* timer : m_timers) {
            if (!timer->m_active || timer->m_due > end)
                continue;
            if (!next || timer->m_due < next->m_due
                || (timer->m_due == next->m_due && timer->m_order < next->m_order))
                next = timer;
        }
        if (!next)
            break;
        m_now = std::max(m_now, next->m_due);
        next->fire();
    }
    m_now = end;
}

FakeTimer::FakeTimer(FakeClock& clock, QObject* parent)
    : Timer(parent)
    , m_clock(&clock)
{
}

FakeTimer::~FakeTimer()
{
    if (m_clock) {
        auto& timers = m_clock->m_timers;
        timers.erase(std::find(timers.begin(), timers.end(), this));
    }
}

void FakeTimer::start()
{
    m_active = true;
    if (!m_clock)
        return;
    // A zero interval still waits for the next step of time, as a Qt timer waits for the loop.
    m_due = m_clock->m_now + std::max(m_interval, 0);
    m_order = ++g_startOrder;
}

void FakeTimer::fire()
{
    if (m_singleShot) {
        m_active = false;
    } else {
        m_due += std::max(m_interval, 1);
        m_order = ++g_startOrder;
    }
    Q_EMIT timeout();
}
