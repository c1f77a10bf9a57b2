#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class Clock;

// Progress shown in a window caption ("5 Records Completed") at most every kIntervalMs, since a
// caption costs tens of microseconds under X11; a person still sees the count go up. The first
// update is always shown, and finish() always shows the final caption.
class CaptionProgress
{
public:
    static constexpr qint64 kIntervalMs = 50;

    CaptionProgress(Clock& clock, std::function<void(const QString&)> setCaption);

    // True when an update would be shown now; build the text only then.
    bool due() const;
    void show(const QString& caption);
    // Shows the update when it is due.
    void update(qint64 count, const QString& suffix);
    void finish(const QString& caption);

private:
    Clock& m_clock;
    std::function<void(const QString&)> m_setCaption;
    qint64 m_lastMs = 0;
    bool m_shown = false;
};
