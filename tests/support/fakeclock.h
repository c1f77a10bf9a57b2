#pragma once

#include "platform/clock.h"

#include <QDateTime>

#include <vector>

// A clock that stands still until the test moves it. Timers made by it fire, in time order,
// while advance() passes their due times; the time of day follows the same count.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(14, 30, 0)));
    ~FakeClock() override;
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    qint64 monotonicMs() const override { return m_now; }
    QTime timeOfDay() const override;
    QDate date() const override;
    QDateTime now() const override;
    qint64 passingMs() const override { return m_now; }
    Timer* createTimer(QObject* parent) override;

    // Moves time forward by ms, firing every timer that falls due on the way.
    void advance(qint64 ms);
    // The computer sleeps for ms: time passes (the wall clock too) but no timer fires meanwhile;
    // the timers that fell due fire once at the next advance(), late, as after a real sleep.
    void sleep(qint64 ms);
    // The UTC offset now() gives with the wall clock, in seconds (0 until set). A change of
    // daylight saving moves the wall clock too: setWallClock() with it.
    void setUtcOffset(int seconds) { m_utcOffset = seconds; }
    // Moves the wall clock (time of day and date) without moving the monotonic count.
    void setWallClock(const QDateTime& when);
    QDateTime wallClock() const;

private:
    friend class FakeTimer;
    qint64 m_now = 0;
    qint64 m_wallOffsetMs = 0; // wall clock = m_wallStart + m_now + offset
    int m_utcOffset = 0;
    QDateTime m_wallStart;
    // The live timers made by this clock; a timer takes itself off when it is destroyed, and the
    // clock tells its timers when it goes first.
    std::vector<class FakeTimer*> m_timers;
};

class FakeTimer final : public Timer
{
    Q_OBJECT
public:
    FakeTimer(FakeClock& clock, QObject* parent);
    ~FakeTimer() override;
    void start() override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    void setInterval(int ms) override { m_interval = ms; }
    int interval() const override { return m_interval; }
    void setSingleShot(bool singleShot) override { m_singleShot = singleShot; }
    bool isSingleShot() const override { return m_singleShot; }

    qint64 due() const { return m_due; }
    void fire();

private:
    FakeClock* m_clock; // null once the clock is gone: the timer never fires again
    int m_interval = 0;
    bool m_singleShot = false;
    bool m_active = false;
    qint64 m_due = 0;
    quint64 m_order = 0;
    friend class FakeClock;
};
