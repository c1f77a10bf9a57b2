#pragma once

#include "recording/recordingdates.h"
#include "reportfigures.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// How the records of a report get their dates. A data file stamps its records with a time of
// day only; a dates file beside it (recording/recordingdates.h) names the date-time of its
// first record and of its events. Without one the old rule holds: a fall of the time of day by
// more than 12 hours is the next day, and the first date is walked back from the file's
// last-write time.

// The fitting dates file of a data file, if there is one. A missing one gives nothing; one that
// is damaged or belongs to another recording (the first record's number or time of day differ,
// an event names a record the file does not hold) gives nothing and a warning naming it.
std::optional<RecordingDates> FittingDates(const QString& dataFilePath, QString* warning);
// The same for a list's rows that came from a data file, given their first and last record.
std::optional<RecordingDates> FittingDates(const QString& dataFilePath, qint64 firstRecord,
    int firstSecondsOfDay, qint64 lastRecord, QString* warning);

// The date and time one record gets.
struct RecordStamp {
    qint64 at = 0; // wall-clock seconds from midnight of the first record's day
    // The wall clock moved this far at this record without the time passing (a daylight-saving
    // change, a clock set), from the dates; 0 when none is known.
    qint64 shift = 0;
    bool daylightSaving = false; // the shift is a change of UTC offset
    int offset = kNoOffset; // the UTC offset in seconds, where the dates name it
    bool silent = false; // a record of a silent meter: left out of every figure
};

// Dates the records of a recording, source after source, in record order.
class RecordDater
{
public:
    // The next source, with the dates of its records when a fitting dates file names them.
    void beginSource(const RecordingDates* dates);
    RecordStamp date(qint64 number, int secondsOfDay);

    // The date of the first record, once a dates file has named one; invalid before.
    QDate firstDate() const { return m_firstDate; }

private:
    void anchorAt(const DatesEvent& anchor, qint64 number, int secondsOfDay, RecordStamp* stamp);

    // The first record as a start, then the events: each dates the record it names.
    std::vector<DatesEvent> m_anchors;
    size_t m_next = 0;
    int m_interval = 0;
    bool m_dated = false;
    // Where dating stands: the day of the record before and its time of day.
    qint64 m_day = 0;
    int m_previousTime = -1;
    QDate m_firstDate;
    // The last anchor passed: its record and wall-clock seconds, and its offset.
    bool m_anchored = false;
    qint64 m_anchorNumber = 0;
    qint64 m_anchorAt = 0;
    int m_offset = kNoOffset;
    bool m_silent = false;
};

// The first record's date of a report of data files read in order, when none is given: the
// one the dates files name, else walked back from the last file's last-write time.
void DateFromFiles(ReportFigures* figures, const QStringList& files);

// What the report's first page says of where its dates came from: "recorded", "worked out from
// the download", "walked back from the file's time", or for sources of more than one kind each
// with its files.
QString DatesFromText(const ReportFigures& figures);

// A moment of a report as ISO 8601: "2026-12-08T07:00:00+01:00", without the offset where it
// is not known. seconds counts from midnight of the first record's day.
QString ReportDateTimeText(const QDate& firstDate, qint64 seconds, int offset);
