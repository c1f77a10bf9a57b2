#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// The dates of a recording part, kept beside its data file: the data file stamps each record
// with a time of day only, and cannot change, so "run.nblg" gets "run.nblg.dates.json" (UTF-8
// JSON) with the date-time of its first record and of each event since. The file is written
// whole at each event, never at each record, so the data file usually holds records beyond
// those its dates file names.
//
// Every date-time carries the UTC offset it was taken with ("2026-12-08T07:00:00+01:00"); its
// time of day is the wall-clock time of that offset, the time a record stamped then shows.

// Where the dates came from: taken while recording, or worked out after the fact (a logger
// set: the computer's date-time when the download ended, less the set's span).
enum class DatesSource { Recorded, WorkedOut };

// One event of a recording. `record` is the number of the first record the event applies to:
// the first record taken after it.
//   started        the recording started; `at` is when its first record was taken.
//   meter silent   the meter stopped answering; `at` is the moment of its last reading. The
//                  display keeps its last values, so from `record` on the recorder repeats
//                  them (also in the few seconds before "No COM" shows): those records, up to
//                  the one before the next "reconnected", are no readings.
//   reconnected    the meter answers again; `record` is the first record of fresh readings.
//   clock step     the stamps jumped against the records counted (the drift check found the
//                  computer's clock that far from them); `at` is the true date-time of
//                  `record`. `seconds` is the part of the jump that is the clock being set
//                  (forward positive; the wall clock moved without time passing), 0 when the
//                  time passed without records (the computer slept).
//   offset change  the UTC offset changed (daylight saving); `at` carries the new offset.
//   interval change  the sampling interval was changed while recording: from `record` on the
//                  records come `interval` seconds apart (`record` itself comes with the first
//                  tick after the change); `at` is the date-time of `record`.
//   part started   `record` is the first record of this part file.
//   stopped        the recording stopped; `record` is its last record (the one exception: no
//                  record follows a stop).
struct DatesEvent {
    enum class Kind {
        Started,
        MeterSilent,
        Reconnected,
        ClockStep,
        OffsetChange,
        IntervalChange,
        PartStarted,
        Stopped
    };
    Kind kind = Kind::Started;
    qint64 record = 1;
    QDateTime at;
    qint64 seconds = 0; // a clock step only
    int interval = 0; // an interval change only: the new interval in seconds
};

// What a dates file holds.
struct RecordingDates {
    QString program = QStringLiteral("nimbrel");
    QString version; // empty: the running program's version when written
    QString file; // the data file's name, without its folder
    DatesSource source = DatesSource::Recorded;
    qint64 firstRecord = 1;
    QDateTime firstAt; // with its UTC offset
    int interval = 0; // seconds between records; 0 when not known
    QString port; // "COM1", as far as known
    QString device; // "/dev/ttyUSB0"
    QString usbSerial;
    std::vector<DatesEvent> events; // in record order
};

// The dates file of a data file: dataFilePath followed by ".dates.json".
QString DatesFilePath(const QString& dataFilePath);

// The event's name in the file ("meter silent"); false from DatesEventKind for a name that is
// none.
QString DatesEventName(DatesEvent::Kind kind);
bool DatesEventKind(const QString& name, DatesEvent::Kind* kind);
// "recorded", "worked out".
QString DatesSourceName(DatesSource source);

// A date-time with its offset as ISO 8601: "2026-12-08T07:00:00+01:00" ("Z" is never written).
QString OffsetDateTimeText(const QDateTime& at);
// Reads that form; an offset must be given ("Z" is +00:00). Invalid when it is not one.
QDateTime ReadOffsetDateTime(const QString& text);

// The dates as the file holds them, and back. Parsing fails, with the reason, on what is no
// dates file: not JSON, no first record with a date-time and offset, an event without a known
// name, a record number or a date-time, events out of record order.
QByteArray DatesJson(const RecordingDates& dates);
bool ParseDatesJson(const QByteArray& json, RecordingDates* dates, QString* error);

// Writes the dates file of a data file whole: a new file, then renamed over the old one, so a
// reader finds the old dates or the new, never a part. The file's name is filled in from
// dataFilePath when empty. False with the reason when it cannot be written.
bool WriteDatesFile(const QString& dataFilePath, const RecordingDates& dates, QString* error);

// Reads the dates file of a data file. Missing: there is none; Damaged: it cannot be read or
// is no dates file (error says why).
enum class DatesRead { Read, Missing, Damaged };
DatesRead ReadDatesFile(const QString& dataFilePath, RecordingDates* dates, QString* error);

// Why the dates do not belong to a data file whose first record is firstRecord stamped
// firstSecondsOfDay and whose last record is lastRecord; empty when they fit: the first
// record's number and time of day match, and no event names a record beyond the last.
QString DatesMisfit(
    const RecordingDates& dates, qint64 firstRecord, int firstSecondsOfDay, qint64 lastRecord);
