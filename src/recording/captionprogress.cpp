#include "captionprogress.h"

#include "platform/clock.h"

CaptionProgress::CaptionProgress(Clock& clock, std::function<void(const QString&)> setCaption)
    : m_clock(clock)
    , m_setCaption(std::move(setCaption))
{
}

bool CaptionProgress::due() const
{
    return !m_shown || m_clock.monotonicMs() - m_lastMs >= kIntervalMs;
}

void CaptionProgress::show(const QString& caption)
{
    m_lastMs = m_clock.monotonicMs();
    m_shown = true;
    m_setCaption(caption);
}

void CaptionProgress::update(qint64 count, const QString& suffix)
{
    if (due())
        show(QString::number(count) + suffix);
}

void CaptionProgress::finish(const QString& caption)
{
    m_setCaption(caption);
}
