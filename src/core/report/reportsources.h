#pragma once

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include "recording/recordingdates.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class GridRows;
class ReportBuilder;

// Reads data files, in the order given, into a report as one recording. False at the first
// file that cannot be read or holds a line that is no record; error then names the file and
// the line. progress, when given, hears the bytes read so far of all the files' bytes.
bool ReadDataFiles(const QStringList& paths, bool fahrenheit, ReportBuilder& builder,
    QString* error, const std::function<void(qint64 done, qint64 total)>& progress = {});

// Reads the rows of a list window. False with the row number when a row is no record.
bool ReadGridRows(const GridRows& rows, bool fahrenheit, ReportBuilder& builder, QString* error);
// The fitting dates file of rows opened from the data file at sourcePath (none when empty);
// warning tells of one that does not fit.
std::optional<RecordingDates> RowsDates(
    const GridRows& rows, const QString& sourcePath, QString* warning);
// The row (from 0) at which each day of those rows begins and that day, dated by the fitting
// dates file; none without one.
std::vector<std::pair<qint64, QDate>> RowDays(const GridRows& rows, const QString& sourcePath);

// The date of the first record, from the moment the last record was written (a file's
// last-write time): the last record's date is the one that puts its time of day nearest that
// moment, and lastSeconds (its time from midnight of the first record's day) walks back to the
// first day.
QDate FirstDateFromLastWrite(const QDateTime& lastWrite, qint64 lastSeconds);
