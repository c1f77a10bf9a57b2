#pragma once

#include "recording/recordingdates.h"

#include <QDateTime>
#include <QString>

struct LoggerTables;

// The dates of the sets of a download. The meter stamps a set with its start time of day only,
// so the date is worked out from the computer's date-time when the download ended, less the
// set's span, set by set from the last: the last set's records end by the download's end, and
// each earlier set's end by the start of the set after it. Each set starts at its own time of
// day (the one its listed rows count from) on the latest date that keeps its end within that
// bound. The meter's clock may run a little ahead of the computer's: the last set may end up to
// an hour after the download's end and still be of that day.
//
// Fills LoggerSetDates[1..setCount] (the sets of this download; a set whose start time is no
// time of day gets none, and the chain goes on from the set after it).
void WorkOutSetDates(LoggerTables& tables, int setCount, const QDateTime& downloadEnd);

// The dates file of set `set` as worked out at the download: its first record and when it was
// taken, the interval. False when the set has no worked-out date.
bool SetDates(const LoggerTables& tables, int set, RecordingDates* dates);

// Writes the dates of set `set` beside the file its rows were saved to (set-3.nblg, a data
// list's "Save"); without a worked-out date, a dates file left there by another file goes. False
// with the reason when it cannot be written.
bool WriteSetDatesFile(
    const QString& dataFilePath, const LoggerTables& tables, int set, QString* error);
