#include "setlisting.h"

#include "meter/currentreading.h"
#include "meter/decoding.h"
#include "meter/numbertext.h"
#include "platform/clock.h"
#include "platform/countingcaption.h"
#include "recording/datafileformat.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kSecondsPerDay = 86400;

QString WithSign(const QString& numberText)
{
    return numberText.startsWith(QLatin1Char('-')) ? numberText : QLatin1Char(' ') + numberText;
}

QString WithDecimal(const QString& numberText)
{
    return numberText.contains(QLatin1Char('.')) ? numberText : numberText + QStringLiteral(".0");
}

// The cell of k tenths: " 3.4", "-3.5", " 23.0" (the plain text of k / 10 with ".0" added
// where it has no decimal, and the sign or a space in front).
QString TenthsText(double tenths)
{
    if (!(std::fabs(tenths) < 1e15)) // beyond any reading; never cast out of range
        return WithSign(WithDecimal(PlainText(tenths / 10.0)));
    const qint64 k = static_cast<qint64>(tenths);
    quint64 magnitude = static_cast<quint64>(k < 0 ? -k : k);
    // Written from the right: the tenth, the point, the whole digits, the sign.
    char16_t text[24];
    int at = 24;
    text[--at] = char16_t(u'0' + magnitude % 10);
    text[--at] = u'.';
    magnitude /= 10;
    do {
        text[--at] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    text[--at] = k < 0 ? u'-' : u' ';
    return QString(reinterpret_cast<const QChar*>(text + at), 24 - at);
}

bool IsMarker(const QString& text)
{
    return text == Marker::Over || text == Marker::Under || text == Marker::NoReading;
}

// A cell read as a whole number within [low, high]; false for anything else.
bool WholeNumberIn(const QString& cell, double low, double high, int* out)
{
    const double v = LeadingNumber(cell);
    if (v < low || v > high || v != std::floor(v))
        return false;
    *out = static_cast<int>(v);
    return true;
}
} // namespace

SetRowRequest ReadSetRow(const QStringList& cells)
{
    SetRowRequest request;
    if (cells.size() < 4)
        return request;
    if (!WholeNumberIn(cells.at(0), 1, LoggerTables::kEntries - 1, &request.set))
        return request;
    request.startTime = cells.at(1);
    request.recordCount = static_cast<int>(std::clamp(LeadingNumber(cells.at(2)), 0.0, 1e9));
    request.intervalSeconds = static_cast<int>(std::clamp(LeadingNumber(cells.at(3)), 0.0, 1e9));
    request.ok = true;
    return request;
}

bool ParseStartTime(const QString& text, int* secondsOfDay)
{
    return ReadTimeOfDay(QStringView(text), secondsOfDay);
}

QString ListedTime(int startSecondsOfDay, qint64 index, int intervalSeconds)
{
    qint64 t = (startSecondsOfDay + index * intervalSeconds) % kSecondsPerDay;
    if (t < 0)
        t += kSecondsPerDay;
    const int h = static_cast<int>(t / 3600);
    const int m = static_cast<int>(t / 60 % 60);
    const int s = static_cast<int>(t % 60);
    const QChar text[8]
        = { QChar('0' + h / 10), QChar('0' + h % 10), QChar(':'), QChar('0' + m / 10),
              QChar('0' + m % 10), QChar(':'), QChar('0' + s / 10), QChar('0' + s % 10) };
    return QString(text, 8);
}

bool DecodeLoggedRecord(const QByteArray& setData, int record, CurrentReading& reading)
{
    const qint64 at = static_cast<qint64>(kRecordBytes) * record;
    if (record < 1 || at + kRecordBytes > setData.size())
        return false;
    const auto byte = [&](int k) { return static_cast<uint8_t>(setData.at(at + k)); };
    ReadingFields fields;
    fields.status = byte(0);
    fields.co2High = byte(2);
    fields.co2Low = byte(3);
    fields.humidityHigh = byte(4);
    fields.humidityLow = byte(5);
    fields.temperatureHigh = byte(6);
    fields.temperatureLow = byte(7);
    DecodeReading(reading, fields);
    return true;
}

QString ListedCo2Text(const TaggedValue& co2)
{
    if (!co2.isNumber())
        return co2.markerText();
    const double v = co2.value();
    if (v == std::floor(v) && std::fabs(v) < 1e15) // a whole ppm count, as the meter sends
        return WithSign(QString::number(static_cast<qint64>(v)));
    return WithSign(co2.text());
}

QString ListedTempCText(const TaggedValue& tempC)
{
    if (!tempC.isNumber())
        return tempC.markerText() + QStringLiteral(".0");
    const double tenths = ExactTenths(tempC.value());
    if (!std::isnan(tenths))
        return TenthsText(tenths);
    return WithSign(WithDecimal(tempC.text()));
}

QString ListedTenthText(const QString& valueText)
{
    if (valueText.isEmpty())
        return Marker::NoReading + QStringLiteral(".0");
    if (IsMarker(valueText))
        return valueText + QStringLiteral(".0");
    // Rounded down from the value's 15-digit text, the same text the display and the data
    // files are cut from, so a conversion that lands a hair below a tenth (-12 °C gives
    // 10.399999999999999 °F) still lists as that tenth, not one tenth lower.
    return TenthsText(std::floor(LeadingNumber(valueText) * 10.0));
}

QString ListedTenthText(const TaggedValue& value)
{
    if (!value.isNumber())
        return (value.markerText().isEmpty() ? Marker::NoReading : value.markerText())
            + QStringLiteral(".0");
    return TenthsText(FlooredTenths(value.value()));
}

QStringList ListedRowCells(int number, const QString& time, const CurrentReading& r)
{
    return { QString::number(number), time, ListedCo2Text(r.Co2Ppm), ListedTempCText(r.TempC),
        ListedTenthText(r.DewC), ListedTenthText(r.WetC), ListedTenthText(r.HumidityPct),
        ListedTenthText(r.TempF), ListedTenthText(r.DewF), ListedTenthText(r.WetF) };
}

namespace
{
// The row of record `record` of a set's data; false when the data hold no whole record there.
bool ListedRecordRow(const QByteArray& setData, int record, const QString& time, QStringList* row)
{
    // A fresh reading per record: a value the decoding cannot work out must not show the
    // previous record's, and the live reading stays the meter's own.
    CurrentReading r;
    if (!DecodeLoggedRecord(setData, record, r))
        return false;
    *row = ListedRowCells(record, time, r);
    return true;
}
} // namespace

QString RecordsCompletedCaption(int records)
{
    return QString::number(records) + RecordsCompletedSuffix();
}

ListingResult ListLoggerSet(
    const LoggerTables& tables, const QStringList& rowCells, ListingSink& sink, const Clock& clock)
{
    ListingResult result;
    const QString normalCaption = sink.caption();
    const SetRowRequest row = ReadSetRow(rowCells);
    int startSeconds = 0;
    if (!row.ok || !ParseStartTime(row.startTime, &startSeconds))
        return result;
    const QByteArray& data = tables.LoggerSetData[row.set];

    QStringList cells;
    CountingCaption progress(
        clock, RecordsCompletedSuffix(), [&sink](const QString& text) { sink.setCaption(text); },
        CountingCaption::Pointer::Unchanged);
    for (int i = 1; i <= row.recordCount; ++i) {
        if (!ListedRecordRow(
                data, i, ListedTime(startSeconds, i - 1, row.intervalSeconds), &cells)) {
            if (result.rowsListed > 0)
                progress.showCount(result.rowsListed);
            return result;
        }
        sink.appendRow(cells);
        result.rowsListed = i;
        if (i == row.recordCount)
            progress.showCount(i);
        else
            progress.count(i);
    }
    progress.finish(normalCaption);
    result.completed = true;
    return result;
}
