#include "countingcaption.h"

#include "clock.h"

CountingCaption::CountingCaption(const Clock& clock, QString suffix,
    std::function<void(const QString&)> setCaption, Pointer pointer)
    : m_clock(clock)
    , m_suffix(std::move(suffix))
    , m_setCaption(std::move(setCaption))
{
    if (pointer == Pointer::Busy)
        m_busy.emplace();
}

void CountingCaption::count(qint64 number)
{
    if (m_shown && m_clock.monotonicMs() - m_lastMs < kIntervalMs)
        return;
    showCount(number);
}

void CountingCaption::showCount(qint64 number)
{
    m_lastMs = m_clock.monotonicMs();
    m_shown = true;
    m_setCaption(QString::number(number) + m_suffix);
}

void CountingCaption::finish(const QString& caption)
{
    m_setCaption(caption);
    m_busy.reset();
}
