#pragma once

#include "loggertables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Clock;
class TaggedValue;
struct CurrentReading;

// Where a listed set goes: the data list's rows and its caption.
class ListingSink
{
public:
    virtual ~ListingSink() = default;
    // One row of ten cells: number, time, ppm, °C, Dew°C, Wet°C, RH%, °F, Dew°F, Wet°F.
    virtual void appendRow(const QStringList& cells) = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;
};

// The cells of a GridSet row, read as the listing reads them.
struct SetRowRequest {
    bool ok = false; // four cells and a set number from 1 to 255
    int set = 0;
    QString startTime;
    int recordCount = 0;
    int intervalSeconds = 0;
};
SetRowRequest ReadSetRow(const QStringList& cells);

// "hh:mm:ss" as seconds since midnight; false for a text that is no time of day.
bool ParseStartTime(const QString& text, int* secondsOfDay);

// The time of record index (0 for the first) of a set: start + index x interval, as a time of
// day "hh:mm:ss" that carries on from 00:00:00 past midnight.
QString ListedTime(int startSecondsOfDay, qint64 index, int intervalSeconds);

// Decodes record `record` (from 1) of a set's data as a live frame is decoded, into a reading
// that starts out empty. False when the data hold no whole record there.
bool DecodeLoggedRecord(const QByteArray& setData, int record, CurrentReading& reading);

// The cell texts of a listed record. Numbers get a leading space when not negative; markers
// stay as they are in the ppm cell and get ".0" elsewhere; a value the decoding could not work
// out (dew point or wet bulb at 0 % RH) lists as "----.0".
QString ListedCo2Text(const TaggedValue& co2);
// TempC: the decoded value as it is, with ".0" when it has no decimal.
QString ListedTempCText(const TaggedValue& tempC);
// The other temperatures and the humidity: the value's text rounded down to one decimal.
QString ListedTenthText(const QString& valueText);
// The same for a number or marker: the same text as ListedTenthText(value.text()), faster.
QString ListedTenthText(const TaggedValue& value);
QStringList ListedRowCells(int number, const QString& time, const CurrentReading& reading);

// "57 Records Completed".
QString RecordsCompletedCaption(int records);

struct ListingResult {
    bool completed = false;
    int rowsListed = 0;
};

// Lists the set named by a GridSet row into the sink, record by record: the caption counts
// "i Records Completed" (refreshed at most every CountingCaption::kIntervalMs by the clock, always
// ending on the exact count) and returns to the caption the sink had at the start. A row that
// names no set, a start time that is no time of day or record bytes missing from the set's
// data abandon the listing; the rows already listed stay and the caption shows their count.
ListingResult ListLoggerSet(
    const LoggerTables& tables, const QStringList& rowCells, ListingSink& sink, const Clock& clock);
