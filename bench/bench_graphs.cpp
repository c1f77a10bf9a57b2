// The graphs' costs: drawing a file graph of 34,800 records in one pass (from a plain list model
// and from the list windows' grid, beside the same traces drawn one segment per record, as the
// graph once did), and one tick of the real-time graph (with and without the repaint it causes),
// with the memory after 100,000 ticks.
#include "graphs/graphcanvas.h"
#include "graphs/graphsstate.h"
#include "graphs/plotgeometry.h"
#include "graphs/realtime24.h"
#include "graphs/segmentperrecord.h"
#include "graphs/tracesweep.h"
#include "lists/gridmodel.h"
#include "meter/currentreading.h"
#include "support/fakeclock.h"
#include "support/fakes.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QTime>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{

// A list of text rows, as the list windows hold them.
class TextRows final : public QAbstractTableModel
{
public:
    explicit TextRows(int count)
    {
        m_rows.reserve(count);
        for (int r = 0; r < count; ++r) {
            const double t = r / 50.0;
            m_rows.push_back({ QString::number(r + 1),
                QTime(0, 0).addSecs(r % 86400).toString(QStringLiteral("HH:mm:ss")),
                QString::number(qRound(900 + 600 * std::sin(t))),
                QString::number(22 + 5 * std::sin(t), 'f', 1),
                QString::number(10 + 2 * std::cos(t), 'f', 1),
                QString::number(15 + 3 * std::sin(t), 'f', 1),
                QString::number(50 + 20 * std::cos(t), 'f', 1), QString(), QString(), QString() });
        }
    }
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
        if (role != Qt::DisplayRole)
            return {};
        return m_rows[static_cast<size_t>(index.row())][index.column()];
    }

private:
    std::vector<QStringList> m_rows;
};

// The same records in the list windows' own grid, which keeps its rows as UTF-8 text and makes
// each cell's text when it is asked for.
std::unique_ptr<GridModel> ListGrid(int count)
{
    const TextRows rows(count);
    GridRows grid;
    for (int r = 0; r < count; ++r) {
        QStringList cells;
        for (int c = 0; c < rows.columnCount(); ++c)
            cells << rows.data(rows.index(r, c), Qt::DisplayRole).toString();
        grid.append(cells);
    }
    auto model = std::make_unique<GridModel>();
    model->appendRows(std::move(grid));
    return model;
}

void DrawFileGraphOf(benchmark::State& state, const QAbstractItemModel& rows)
{
    const qreal ratio = static_cast<qreal>(state.range(0));
    PlotRangeSettings settings;
    ResetPlotRange(settings, 34800);
    const PlotGeometry geometry = PlotGeometryFor(392, 383);
    settings.PointStep = geometry.PlotWidth / settings.PointCount;
    QImage image(QSize(392, 383) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        TraceSweep sweep;
        sweep.restart(settings.PointStep);
        qint64 last = 0;
        const bool drawn = DrawFileGraph(
            painter, geometry, sweep, settings, 7, &rows, [&](qint64 row) { last = row; });
        benchmark::DoNotOptimize(drawn);
        benchmark::DoNotOptimize(last);
    }
    state.counters["records"] = 34800;
}

void DrawFileGraph34800(benchmark::State& state)
{
    DrawFileGraphOf(state, TextRows(34800));
}

// From the list windows' grid: what a file list of 34,800 records costs the graph.
void DrawFileGraph34800FromListGrid(benchmark::State& state)
{
    DrawFileGraphOf(state, *ListGrid(34800));
}

// The traces, grid and time lines as they were drawn before, one segment per record and trace.
void DrawFileGraph34800OneSegmentPerRecord(benchmark::State& state)
{
    const qreal ratio = static_cast<qreal>(state.range(0));
    const TextRows rows(34800);
    PlotRangeSettings settings;
    ResetPlotRange(settings, 34800);
    const PlotGeometry geometry = PlotGeometryFor(392, 383);
    settings.PointStep = geometry.PlotWidth / settings.PointCount;
    QImage image(QSize(392, 383) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawOneSegmentPerRecord(painter, geometry, settings, rows);
    }
    state.counters["records"] = 34800;
}

long ResidentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

struct LiveGraph {
    CurrentReading reading;
    GraphsState graphs;
    FakeClock clock;
    FakePrinterProvider printers { QStringLiteral("/dev/null") };
    RealTime24 window { reading, graphs, clock, printers };

    LiveGraph()
    {
        reading.TempC = TaggedValue::number(22.5);
        reading.HumidityPct = TaggedValue::number(48);
        reading.Co2Ppm = TaggedValue::number(1200);
        reading.DewC = TaggedValue::number(11.0741);
        reading.WetC = TaggedValue::number(15.8);
        window.show();
        QCoreApplication::processEvents();
    }
};

void RealTimeTick(benchmark::State& state)
{
    LiveGraph live;
    for (auto _ : state)
        live.window.tick();
}

// The tick and the repaint of the window that follows it in the event loop.
void RealTimeTickAndRepaint(benchmark::State& state)
{
    LiveGraph live;
    for (auto _ : state) {
        live.window.tick();
        QCoreApplication::processEvents();
    }
}

void RealTimeMemoryOver100000Ticks(benchmark::State& state)
{
    LiveGraph live;
    for (int i = 0; i < 2000; ++i) { // settle caches first
        live.window.tick();
        QCoreApplication::processEvents();
    }
    const long before = ResidentKiB();
    for (auto _ : state) {
        for (int i = 0; i < 100000; ++i) {
            live.window.tick();
            if (i % 16 == 0)
                QCoreApplication::processEvents();
        }
    }
    state.counters["rss_growth_KiB"] = static_cast<double>(ResidentKiB() - before);
    state.counters["rss_KiB"] = static_cast<double>(ResidentKiB());
}

} // namespace

BENCHMARK(DrawFileGraph34800)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawFileGraph34800FromListGrid)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawFileGraph34800OneSegmentPerRecord)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(RealTimeTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(RealTimeTickAndRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(RealTimeMemoryOver100000Ticks)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
