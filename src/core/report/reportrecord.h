#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <array>
#include <limits>

// The five quantities of a report, in the order of its tables.
enum class Quantity { Co2, Temperature, Humidity, DewPoint, WetBulb };
constexpr int kQuantities = 5;

// A value read from a cell: CO2 in whole ppm, the others in tenths (23.4 is 234), or one of the
// markers below in place of a reading.
constexpr qint32 kNoReading = std::numeric_limits<qint32>::min(); // "----", "----.0"
constexpr qint32 kUnderRange = kNoReading + 1; // "-OL", "-OL.0"
constexpr qint32 kOverRange = std::numeric_limits<qint32>::max(); // "OL", "OL.0"
inline bool IsReading(qint32 value)
{
    return value != kNoReading && value != kUnderRange && value != kOverRange;
}

// One record of a data file or of a list's rows, with the temperatures of the unit the report
// shows.
struct ReportRecord {
    qint64 number = 0;
    int secondsOfDay = 0;
    std::array<qint32, kQuantities> value {};
    qint32 operator[](Quantity q) const { return value[static_cast<int>(q)]; }
};

// Reads the ten fields of a record line (number, time, ppm, °C, Dew°C, Wet°C, RH%, °F, Dew°F,
// Wet°F; more are ignored). False with a reason when the line is no record: fewer than ten
// fields, a number or a time that is not one, or a value cell that is neither a number with at
// most one decimal nor a marker. A record whose value cells are all empty (sampled before the
// meter's first reading) holds no reading in each quantity.
bool ReadRecordFields(
    QByteArrayView line, bool fahrenheit, ReportRecord* record, QString* reason = nullptr);

// A cell as a value: CO2 (whole ppm, a decimal part is cut) or tenths (the first decimal is
// kept, further ones are cut as the display cuts). Leading and trailing blanks are ignored.
bool ReadValueCell(QByteArrayView cell, bool tenths, qint32* value);

// "hh:mm:ss" (24-hour) as seconds since midnight.
bool ReadTimeCell(QByteArrayView cell, int* secondsOfDay);
