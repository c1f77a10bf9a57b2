#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTime>

// A timer whose ticks come from a Clock. Real clocks wrap QTimer; the fake clock of the tests
// fires it when the test moves time forward.
class Timer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Timer() override = default;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
    virtual bool isSingleShot() const = 0;

    void start(int ms)
    {
        setInterval(ms);
        start();
    }

Q_SIGNALS:
    void timeout();
};

// Time as the program sees it: a monotonic millisecond count for waits, the time of day and the
// date for stamps, the date-time with its UTC offset for the dates of a recording, and timers
// that fire on the same time base.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 monotonicMs() const = 0;
    virtual QTime timeOfDay() const = 0;
    virtual QDate date() const = 0;
    // The local date-time with the UTC offset it has now (daylight saving included).
    virtual QDateTime now() const = 0;
    // Milliseconds on a count that goes on while the computer sleeps and that setting the clock
    // does not move: the time that really passed between two moments.
    virtual qint64 passingMs() const = 0;
    // The timer belongs to parent (or to the caller when parent is null).
    virtual Timer* createTimer(QObject* parent) = 0;
};
