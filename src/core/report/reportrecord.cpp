#include "reportrecord.h"

#include "meter/currentreading.h"
#include "recording/datafileformat.h"

#include <QLatin1String>

#include <algorithm>

namespace
{
// Values beyond these are no reading of an indoor-air meter, and keep the value counts small.
constexpr qint32 kMaxPpm = 99999;
constexpr qint32 kMaxTenths = 99999;

QByteArrayView Trimmed(QByteArrayView cell)
{
    while (!cell.isEmpty() && (cell.front() == ' ' || cell.front() == '\r'))
        cell = cell.sliced(1);
    while (!cell.isEmpty() && (cell.back() == ' ' || cell.back() == '\r'))
        cell.chop(1);
    return cell;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

bool ReadValueCell(QByteArrayView cell, bool tenths, qint32* value)
{
    cell = Trimmed(cell);
    // A marker, with the ".0" the display adds to it outside the ppm column.
    QByteArrayView word = cell;
    if (word.endsWith(".0"))
        word.chop(2);
    const QLatin1String wordText(word.data(), word.size());
    if (wordText == Marker::NoReading) {
        *value = kNoReading;
        return true;
    }
    if (wordText == Marker::Over) {
        *value = kOverRange;
        return true;
    }
    if (wordText == Marker::Under) {
        *value = kUnderRange;
        return true;
    }

    bool negative = false;
    if (!cell.isEmpty() && (cell.front() == '-' || cell.front() == '+')) {
        negative = cell.front() == '-';
        cell = cell.sliced(1);
    }
    qint64 whole = 0;
    int digits = 0;
    qsizetype i = 0;
    for (; i < cell.size() && IsDigit(cell[i]); ++i, ++digits) {
        whole = whole * 10 + (cell[i] - '0');
        if (whole > kMaxTenths)
            return false;
    }
    int tenth = 0;
    int decimals = 0;
    if (i < cell.size() && cell[i] == '.') {
        for (++i; i < cell.size() && IsDigit(cell[i]); ++i, ++decimals) {
            if (decimals == 0)
                tenth = cell[i] - '0';
        }
    }
    if (i != cell.size() || digits + decimals == 0)
        return false;
    qint64 result = tenths ? whole * 10 + tenth : whole;
    if (result > (tenths ? kMaxTenths : kMaxPpm))
        return false;
    *value = static_cast<qint32>(negative ? -result : result);
    return true;
}

bool ReadTimeCell(QByteArrayView cell, int* secondsOfDay)
{
    // Blanks and a CR around the cell are no part of it here, as around every cell.
    return ReadTimeOfDay(Trimmed(cell), secondsOfDay);
}

bool ReadRecordFields(QByteArrayView line, bool fahrenheit, ReportRecord* record, QString* reason)
{
    QByteArrayView fields[10];
    int count = 0;
    qsizetype start = 0;
    while (count < 10) {
        const qsizetype tab = line.indexOf('\t', start);
        fields[count++] = line.sliced(start, (tab < 0 ? line.size() : tab) - start);
        if (tab < 0)
            break;
        start = tab + 1;
    }
    const auto fail = [reason](const QString& text) {
        if (reason)
            *reason = text;
        return false;
    };
    if (count < 10)
        return fail(QStringLiteral("%1 %2 where a record has 10")
                        .arg(count)
                        .arg(count == 1 ? QStringLiteral("field") : QStringLiteral("fields")));

    const QByteArrayView numberCell = Trimmed(fields[0]);
    qint64 number = 0;
    if (numberCell.isEmpty() || numberCell.size() > 12)
        return fail(QStringLiteral("the record number is not a number"));
    for (const char c : numberCell) {
        if (!IsDigit(c))
            return fail(QStringLiteral("the record number is not a number"));
        number = number * 10 + (c - '0');
    }
    record->number = number;
    if (!ReadTimeCell(fields[1], &record->secondsOfDay))
        return fail(QStringLiteral("\"%1\" is not a time of day")
                        .arg(QString::fromLatin1(Trimmed(fields[1]).first(
                            std::min<qsizetype>(20, Trimmed(fields[1]).size())))));

    // Sampled before the meter's first reading, the display shows nothing: every value cell is
    // empty, and the record holds no reading.
    if (std::all_of(
            fields + 2, fields + 10, [](QByteArrayView cell) { return Trimmed(cell).isEmpty(); })) {
        record->value.fill(kNoReading);
        return true;
    }
    // The columns of each quantity: ppm, then the temperature, RH, dew point and wet bulb of
    // the unit shown.
    const int columns[kQuantities]
        = { 2, fahrenheit ? 7 : 3, 6, fahrenheit ? 8 : 4, fahrenheit ? 9 : 5 };
    for (int q = 0; q < kQuantities; ++q) {
        if (!ReadValueCell(fields[columns[q]], q != 0, &record->value[q]))
            return fail(QStringLiteral("\"%1\" in column %2 is neither a reading nor a marker")
                            .arg(QString::fromLatin1(Trimmed(fields[columns[q]])
                                                         .first(std::min<qsizetype>(20,
                                                             Trimmed(fields[columns[q]]).size()))))
                            .arg(columns[q] + 1));
    }
    return true;
}
