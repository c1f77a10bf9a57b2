#include "systemclock.h"

#include <QTimer>

#include <ctime>

namespace
{

class QtTimer final : public Timer
{
public:
    explicit QtTimer(QObject* parent)
        : Timer(parent)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
    }
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    void setSingleShot(bool singleShot) override { m_timer.setSingleShot(singleShot); }
    bool isSingleShot() const override { return m_timer.isSingleShot(); }

private:
    QTimer m_timer;
};

} // namespace

SystemClock::SystemClock()
{
    m_elapsed.start();
}

qint64 SystemClock::monotonicMs() const
{
    return m_elapsed.elapsed();
}

QTime SystemClock::timeOfDay() const
{
    return QTime::currentTime();
}

QDate SystemClock::date() const
{
    return QDate::currentDate();
}

QDateTime SystemClock::now() const
{
    const QDateTime local = QDateTime::currentDateTime();
    return local.toOffsetFromUtc(local.offsetFromUtc());
}

qint64 SystemClock::passingMs() const
{
#ifdef CLOCK_BOOTTIME
    // The monotonic count stops while the computer sleeps; this one goes on.
    timespec t {};
    if (clock_gettime(CLOCK_BOOTTIME, &t) == 0)
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
#endif
    return m_elapsed.elapsed();
}

Timer* SystemClock::createTimer(QObject* parent)
{
    return new QtTimer(parent);
}
