#pragma once

#include "clock.h"

#include <QElapsedTimer>

// The computer's clock and Qt's timers.
class SystemClock final : public Clock
{
public:
    SystemClock();
    qint64 monotonicMs() const override;
    QTime timeOfDay() const override;
    QDate date() const override;
    QDateTime now() const override;
    qint64 passingMs() const override;
    Timer* createTimer(QObject* parent) override;

private:
    QElapsedTimer m_elapsed;
};
