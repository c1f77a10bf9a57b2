// Listing a set that fills the whole logger memory (16,192 records) into a table model of the
// kind the data list uses: decoding, dew point and wet bulb, the cell texts and one appended
// row per record. Target: at most 25 ms.
#include "logger/loggertables.h"
#include "logger/setlisting.h"
#include "platform/systemclock.h"

#include <QAbstractTableModel>

#include <benchmark/benchmark.h>

namespace
{

constexpr int kFullMemoryRecords = 16192;

// Ten text columns, rows appended one at a time.
class RowModel final : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : 10;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_rows.at(index.row()).value(index.column());
    }
    void appendRow(const QStringList& cells)
    {
        const int row = static_cast<int>(m_rows.size());
        beginInsertRows({}, row, row);
        m_rows.append(cells);
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }

private:
    QList<QStringList> m_rows;
};

class ModelSink final : public ListingSink
{
public:
    explicit ModelSink(RowModel& model)
        : m_model(model)
    {
    }
    void appendRow(const QStringList& cells) override { m_model.appendRow(cells); }
    QString caption() const override { return m_caption; }
    void setCaption(const QString& caption) override { m_caption = caption; }

private:
    RowModel& m_model;
    QString m_caption = QStringLiteral("Data List");
};

// Readings that wander over the meter's range, so every record computes its own dew point and
// wet bulb.
QByteArray FullMemorySet()
{
    QByteArray data(8, '\0');
    data[0] = char(kFullMemoryRecords >> 8);
    data[1] = char(kFullMemoryRecords & 0xFF);
    for (int i = 0; i < kFullMemoryRecords; ++i) {
        const int co2 = 400 + i % 3000;
        const int humidity = 50 + (i * 7) % 900; // 5.0 to 94.9 %
        const int temperature = (i * 13) % 500; // 0.0 to 49.9 °C
        const char record[8] = { 0, 0, char(co2 >> 8), char(co2 & 0xFF), char(humidity >> 8),
            char(humidity & 0xFF), char(temperature >> 8), char(temperature & 0xFF) };
        data.append(record, 8);
    }
    return data;
}

void ListFullMemorySet(benchmark::State& state)
{
    LoggerTables tables;
    tables.LoggerSetData[1] = FullMemorySet();
    const QStringList row { "1", "08:00:00", QString::number(kFullMemoryRecords), "2" };
    SystemClock clock;
    RowModel model;
    ModelSink sink(model);
    for (auto _ : state) {
        state.PauseTiming();
        model.clear();
        state.ResumeTiming();
        const ListingResult result = ListLoggerSet(tables, row, sink, clock);
        benchmark::DoNotOptimize(result);
        if (!result.completed || model.rowCount() != kFullMemoryRecords)
            state.SkipWithError("the listing did not complete");
    }
    state.SetItemsProcessed(state.iterations() * kFullMemoryRecords);
}

} // namespace

BENCHMARK(ListFullMemorySet)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
