// The listing of a logger set from arbitrary tables: set data of any length and content,
// headers that say anything, and GridSet cells that are the program's own or any text at all.

#include "fuzzinput.h"

#include "logger/setlisting.h"
#include "support/fakeclock.h"

#include <algorithm>

namespace
{

FUZZ_HELPER bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Digits from `at` on, at least one; where they end, or -1.
FUZZ_HELPER qsizetype AfterDigits(const QString& text, qsizetype at)
{
    const qsizetype from = at;
    while (at < text.size() && IsDigit(text.at(at)))
        ++at;
    return at > from ? at : -1;
}

// "hh:mm:ss", a time of day.
FUZZ_HELPER bool IsTime(const QString& t)
{
    if (t.size() != 8 || t.at(2) != QLatin1Char(':') || t.at(5) != QLatin1Char(':'))
        return false;
    for (const int k : { 0, 1, 3, 4, 6, 7 }) {
        if (!IsDigit(t.at(k)))
            return false;
    }
    const auto two
        = [&](int k) { return (t.at(k).unicode() - '0') * 10 + (t.at(k + 1).unicode() - '0'); };
    return two(0) <= 23 && two(3) <= 59 && two(6) <= 59;
}

// A number cell: a space or "-", digits, and (with decimals) "." and digits; with one decimal
// exactly when tenths.
FUZZ_HELPER bool IsNumberCell(const QString& cell, bool tenths)
{
    if (cell.isEmpty() || (cell.at(0) != QLatin1Char(' ') && cell.at(0) != QLatin1Char('-')))
        return false;
    const qsizetype point = AfterDigits(cell, 1);
    if (point < 0)
        return false;
    if (point == cell.size())
        return !tenths;
    if (cell.at(point) != QLatin1Char('.'))
        return false;
    const qsizetype end = AfterDigits(cell, point + 1);
    return end == cell.size() && (!tenths || end == point + 2);
}

// The ppm cell: a number ( 415, -3, with decimals or without) or a marker.
FUZZ_HELPER bool IsPpmCell(const QString& cell)
{
    return IsNumberCell(cell, false) || cell == QLatin1String("OL") || cell == QLatin1String("-OL")
        || cell == QLatin1String("----");
}

// Any other cell: a number with one decimal, or a marker followed by ".0".
FUZZ_HELPER bool IsTenthsCell(const QString& cell)
{
    return IsNumberCell(cell, true) || cell == QLatin1String("OL.0")
        || cell == QLatin1String("-OL.0") || cell == QLatin1String("----.0");
}

class CheckingSink final : public ListingSink
{
public:
    explicit CheckingSink(FakeClock& clock)
        : m_clock(clock)
    {
    }

    void appendRow(const QStringList& cells) override
    {
        FUZZ_CHECK(cells.size() == 10);
        ++rows;
        FUZZ_CHECK(cells.at(0) == QString::number(rows));
        FUZZ_CHECK(IsTime(cells.at(1)));
        FUZZ_CHECK(IsPpmCell(cells.at(2)));
        for (int c = 3; c < 10; ++c)
            FUZZ_CHECK(IsTenthsCell(cells.at(c)));
        m_clock.advance(7);
    }
    QString caption() const override { return current; }
    void setCaption(const QString& caption) override { current = caption; }

    QString current = QStringLiteral("Data List");
    int rows = 0;

private:
    FakeClock& m_clock;
};

QString TakeCell(FuzzedDataProvider& in)
{
    return QString::fromUtf8(TakeBytes(in, 24));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    static LoggerTables* tablesStore = new LoggerTables;
    LoggerTables& tables = *tablesStore;
    tables = LoggerTables {};

    // A few sets as a download leaves them: header bytes, then record bytes.
    const int sets = in.ConsumeIntegralInRange<int>(1, 4);
    QList<int> setNumbers;
    for (int k = 0; k < sets; ++k) {
        const int set = in.ConsumeBool() ? k + 1 : in.ConsumeIntegralInRange<int>(1, 255);
        const QByteArray header = TakeBytes(in, 8);
        QByteArray bytes = header;
        if (in.ConsumeBool()) {
            // Records as many as the header says, or a few fewer or more.
            const SetHeader h = DecodeSetHeader(header);
            const int records = std::max(0, h.recordCount + in.ConsumeIntegralInRange<int>(-3, 3));
            bytes = header.leftJustified(8, '\0');
            // Enough rows for the caption to refresh several times (a row takes 7 ms here); more
            // rows only repeat the same work.
            for (int r = 0; r < std::min(records, 120); ++r)
                bytes += TakeBytes(in, 8).leftJustified(8, char(r));
        } else {
            bytes += TakeBytes(in, 8 * 120);
        }
        const SetHeader h = DecodeSetHeader(bytes.left(8));
        tables.LoggerSetData[set] = bytes;
        tables.LoggerSetCounts[set] = h.recordCount;
        tables.LoggerSetStartTimes[set] = h.startTime;
        tables.LoggerSetIntervals[set] = h.intervalSeconds;
        setNumbers.append(set);
    }

    QStringList cells
        = SetRowCells(tables, setNumbers.at(in.ConsumeIntegralInRange<int>(0, sets - 1)));
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        break; // the row as the grid shows it
    case 1: // one cell edited
        cells[in.ConsumeIntegralInRange<int>(0, 3)] = TakeCell(in);
        break;
    default: // any row at all
        cells.clear();
        for (int c = in.ConsumeIntegralInRange<int>(0, 5); c > 0; --c)
            cells.append(TakeCell(in));
        break;
    }

    FakeClock clock;
    CheckingSink sink(clock);
    const ListingResult result = ListLoggerSet(tables, cells, sink, clock);

    FUZZ_CHECK(result.rowsListed == sink.rows);
    const SetRowRequest row = ReadSetRow(cells);
    int start = 0;
    if (!row.ok || !ParseStartTime(row.startTime, &start)) {
        FUZZ_CHECK(
            !result.completed && sink.rows == 0 && sink.current == QStringLiteral("Data List"));
        return 0;
    }
    // Record i (from 1) lies at bytes 8i to 8i+7, after the header.
    const qint64 whole = std::max<qint64>(0, tables.LoggerSetData[row.set].size() / 8 - 1);
    const qint64 expected = std::min<qint64>(row.recordCount, whole);
    FUZZ_CHECK(sink.rows == expected);
    FUZZ_CHECK(result.completed == (row.recordCount <= whole));
    if (result.completed)
        FUZZ_CHECK(sink.current == QStringLiteral("Data List"));
    else if (sink.rows > 0)
        FUZZ_CHECK(sink.current == RecordsCompletedCaption(sink.rows));
    return 0;
}
