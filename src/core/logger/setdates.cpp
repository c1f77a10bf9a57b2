#include "setdates.h"

#include "loggertables.h"
#include "setlisting.h"

#include <QFile>

#include <algorithm>

namespace
{
constexpr qint64 kMeterAheadSeconds = 3600;
constexpr qint64 kDay = 86400;
} // namespace

void WorkOutSetDates(LoggerTables& tables, int setCount, const QDateTime& downloadEnd)
{
    const int last = std::min(setCount, LoggerTables::kEntries - 1);
    const int offset = downloadEnd.offsetFromUtc();
    const QDateTime end = downloadEnd.toOffsetFromUtc(offset);
    // The bound the set's end keeps within, as wall-clock seconds from the download's day.
    qint64 bound = end.time().msecsSinceStartOfDay() / 1000 + kMeterAheadSeconds;
    for (int set = last; set >= 1; --set) {
        QDateTime& date = tables.LoggerSetDates[set];
        date = QDateTime();
        int start = 0;
        if (!ParseStartTime(tables.LoggerSetStartTimes[set], &start))
            continue;
        const qint64 records = tables.LoggerSetCounts[set];
        const qint64 span = records > 1 ? (records - 1) * tables.LoggerSetIntervals[set] : 0;
        // The latest day whose start time keeps the end within the bound.
        qint64 day = (bound - span - start) / kDay;
        if (bound - span - start < 0 && (bound - span - start) % kDay != 0)
            --day;
        const qint64 startSeconds = day * kDay + start;
        date = QDateTime(end.date().addDays(day), QTime::fromMSecsSinceStartOfDay(start * 1000),
            Qt::OffsetFromUTC, offset);
        bound = startSeconds;
    }
}

bool SetDates(const LoggerTables& tables, int set, RecordingDates* dates)
{
    if (set < 1 || set >= LoggerTables::kEntries || !tables.LoggerSetDates[set].isValid())
        return false;
    *dates = RecordingDates {};
    dates->source = DatesSource::WorkedOut;
    dates->firstRecord = 1;
    dates->firstAt = tables.LoggerSetDates[set];
    const int interval = tables.LoggerSetIntervals[set];
    dates->interval = interval >= 1 && interval <= 86400 ? interval : 0;
    return true;
}

bool WriteSetDatesFile(
    const QString& dataFilePath, const LoggerTables& tables, int set, QString* error)
{
    RecordingDates dates;
    if (!SetDates(tables, set, &dates)) {
        QFile::remove(DatesFilePath(dataFilePath));
        return true;
    }
    return WriteDatesFile(dataFilePath, dates, error);
}
