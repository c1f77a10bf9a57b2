#pragma once

#include "busypointer.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

class Clock;

// The count of records listed, loaded or drawn: "5 Records Completed".
inline QString RecordsCompletedSuffix()
{
    return QStringLiteral(" Records Completed");
}

// The data list's "Save" writes its count without the space: "5Records Completed".
inline QString SaveRecordsCompletedSuffix()
{
    return QStringLiteral("Records Completed");
}

// The caption of a window that counts a long operation's records ("5 Records Completed").
// A caption costs tens of microseconds under X11, so counts are shown at most every
// kIntervalMs; a person still sees the count go up. The first count is always shown, and so are
// showCount() and finish(). The busy mouse pointer, when asked for, shows until finish() or
// the end of the caption's life (where the program has a pointer: see BusyPointer).
class CountingCaption
{
public:
    static constexpr qint64 kIntervalMs = 50;
    enum class Pointer { Busy, Unchanged };

    // suffix follows the number: RecordsCompletedSuffix(), SaveRecordsCompletedSuffix(),
    // " record(s) completed".
    CountingCaption(const Clock& clock, QString suffix,
        std::function<void(const QString&)> setCaption, Pointer pointer = Pointer::Busy);

    // The number and the suffix, when a count is due.
    void count(qint64 number);
    // The number and the suffix, at once.
    void showCount(qint64 number);
    // The caption the window ends with, at once; the normal pointer again.
    void finish(const QString& caption);

private:
    const Clock& m_clock;
    QString m_suffix;
    std::function<void(const QString&)> m_setCaption;
    std::optional<BusyPointer> m_busy;
    qint64 m_lastMs = 0;
    bool m_shown = false;
};
