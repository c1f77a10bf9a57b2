#include "tracesweep.h"

#include "meter/currentreading.h"
#include "platform/textcells.h"
#include "plotdrawing.h"
#include "plotvalue.h"
#include "tracebatches.h"

#include <QAbstractItemModel>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace
{

// Moves one trace to its next point at x, joining it to the previous one where there is one.
void AddPoint(QPainter& painter, TraceSweep& sweep, Trace trace, float x, float y)
{
    const int t = static_cast<int>(trace);
    if (sweep.PrevX != 0 && sweep.SweepX != 0 && sweep.HasPrevY[t]) {
        painter.setPen(TracePen(trace));
        painter.drawLine(QPointF(sweep.PrevX, sweep.PrevY[t]), QPointF(x, y));
    }
    sweep.PrevY[t] = y;
    sweep.HasPrevY[t] = true;
}

// The cells of one record, read through the model; a cell's text is not copied where the model
// holds text. Where the list keeps its rows as UTF-8 (TextCells), the row's bytes are split
// instead, with no string made but for the time labels.
class RecordCells
{
public:
    explicit RecordCells(const QAbstractItemModel& grid)
        : m_grid(grid)
    {
        const auto* text = dynamic_cast<const TextCells*>(&grid);
        if (text && grid.columnCount() > kLastColumn)
            m_text = text;
    }
    void moveTo(int row)
    {
        m_row = row;
        if (m_text)
            TextCells::split(m_text->rowBytes(row), m_bytes.data(), kLastColumn + 1);
    }
    // The height of the record's cell of a trace into h; false when the list has no such cell.
    bool height(
        Trace trace, const PlotRangeSettings& settings, float plotHeight, std::optional<double>& h)
    {
        if (m_text) {
            h = PlotCellValue(
                trace, m_bytes[static_cast<size_t>(FileColumnOf(trace))], settings, plotHeight);
            return true;
        }
        if (!read(FileColumnOf(trace)))
            return false;
        h = PlotCellValue(trace, text(), settings, plotHeight);
        return true;
    }
    // The record's time text into time; false when the list has no such cell.
    bool time(QString& time)
    {
        if (m_text) {
            time = QString::fromUtf8(m_bytes[kFileTimeColumn]);
            return true;
        }
        if (!read(kFileTimeColumn))
            return false;
        time = text();
        return true;
    }

private:
    // The last column the graph reads.
    static constexpr int kLastColumn = 6;

    bool read(int column)
    {
        const QModelIndex index = m_grid.index(m_row, column);
        if (!index.isValid())
            return false;
        m_data = m_grid.data(index, Qt::DisplayRole);
        return true;
    }
    const QString& text()
    {
        if (m_data.metaType() == QMetaType::fromType<QString>())
            return *static_cast<const QString*>(m_data.constData());
        m_converted = m_data.toString();
        return m_converted;
    }

    const QAbstractItemModel& m_grid;
    const TextCells* m_text = nullptr;
    int m_row = 0;
    QVariant m_data;
    QString m_converted;
    std::array<QByteArrayView, kLastColumn + 1> m_bytes {};
};

// The records of the file graph that get a time label or a mark, found once for the whole pass
// instead of working out the quarters and eighths at every record.
class MarkedRecords
{
public:
    explicit MarkedRecords(float pointCount)
        : m_pointCount(pointCount)
    {
        // Every k that FileMarkAt marks by the quarters and eighths; the last record is compared
        // in at(), as FileMarkAt compares it.
        const auto rounded = [](double v) { return static_cast<long long>(std::nearbyint(v)); };
        const long long n = rounded(pointCount);
        m_candidates = { 1, n / 4, n / 2, rounded(3.0 * static_cast<double>(pointCount)) / 4 };
        for (int m = 1; m <= 8; ++m)
            m_candidates.push_back(rounded(m * static_cast<double>(pointCount)) / 8);
        std::sort(m_candidates.begin(), m_candidates.end());
    }
    // The mark of record k; k grows by 1 from one call to the next.
    TimeMark at(qint64 k)
    {
        while (m_next < m_candidates.size() && m_candidates[m_next] < k)
            ++m_next;
        const bool candidate = m_next < m_candidates.size() && m_candidates[m_next] == k;
        if (!candidate && static_cast<float>(k) != m_pointCount)
            return TimeMark::None;
        return FileMarkAt(static_cast<int>(k), m_pointCount);
    }

private:
    float m_pointCount;
    std::vector<long long> m_candidates;
    size_t m_next = 0;
};

// The segments of the traces on a device that keeps lines as lines (a drawing, a document):
// each run of a trace becomes one path, drawn where the image's segments would be drawn.
class TracePaths
{
public:
    explicit TracePaths(QPainter& painter)
        : m_painter(painter)
    {
    }
    void add(Trace trace, const QLineF& segment)
    {
        QPolygonF& run = m_runs[static_cast<size_t>(trace)];
        if (!run.isEmpty() && run.constLast() != segment.p1())
            draw(trace);
        if (run.isEmpty())
            run << segment.p1();
        run << segment.p2();
    }
    void flush()
    {
        for (int t = 0; t < kTraceCount; ++t)
            draw(static_cast<Trace>(t));
    }

private:
    void draw(Trace trace)
    {
        QPolygonF& run = m_runs[static_cast<size_t>(trace)];
        if (run.size() > 1) {
            m_painter.setPen(TracePen(trace));
            m_painter.drawPolyline(run);
        }
        run.clear();
    }

    QPainter& m_painter;
    std::array<QPolygonF, kTraceCount> m_runs;
};

// Where the file graph's segments go: straight into an image, or as paths onto any other device.
class FileSegments
{
public:
    FileSegments(QPainter& painter, double clientWidth)
    {
        const QPaintEngine* engine = painter.paintEngine();
        if (engine && engine->type() != QPaintEngine::Raster)
            m_paths.emplace(painter);
        else
            m_batches.emplace(painter, clientWidth);
    }
    void add(Trace trace, const QLineF& segment)
    {
        if (m_paths)
            m_paths->add(trace, segment);
        else
            m_batches->add(trace, segment);
    }
    void flush()
    {
        if (m_paths)
            m_paths->flush();
        else
            m_batches->flush();
    }

private:
    std::optional<TraceBatches> m_batches;
    std::optional<TracePaths> m_paths;
};

struct TimeLabel {
    float x;
    QString text;
    bool first;
    QDate date; // where the list's records are dated
};

// The time labels under the plot, once the records are drawn: each centred on its record (the
// first moved 20 pixels left), kept inside the client area, and left out where it would run into
// a neighbour.
void DrawTimeLabels(QPainter& painter, const PlotGeometry& g, const std::vector<TimeLabel>& labels)
{
    QStringList times;
    std::vector<QDate> dates;
    for (const TimeLabel& label : labels) {
        times << label.text;
        dates.push_back(label.date);
    }
    // A label that shows its date is wider and may hide a neighbour, which may then have been
    // the one that named a day: the dates follow the labels shown until those stay the same.
    const QPaintDevice* device = painter.device();
    std::vector<bool> shown;
    std::vector<LabelSpan> spans;
    QStringList texts;
    for (size_t round = 0; round <= labels.size(); ++round) {
        texts = FileTimeLabels(times, dates, shown);
        spans.clear();
        for (size_t i = 0; i < labels.size(); ++i) {
            const double width = TextWidth(painter, texts[qsizetype(i)]);
            spans.push_back({ TimeLabelLeft(labels[i].x, width, labels[i].first), width, true });
        }
        FitTimeLabels(spans, device->width() / device->devicePixelRatioF());
        std::vector<bool> now;
        for (const LabelSpan& span : spans)
            now.push_back(span.shown);
        if (now == shown)
            break;
        shown = now;
    }
    for (size_t i = 0; i < labels.size(); ++i) {
        if (spans[i].shown)
            DrawTextAt(painter, texts[qsizetype(i)], spans[i].left, TimeLabelTop(g), Qt::black);
    }
}

} // namespace

int FileColumnOf(Trace trace)
{
    switch (trace) {
    case Trace::Co2:
        return 2;
    case Trace::Temperature:
        return 3;
    case Trace::DewPoint:
        return 4;
    case Trace::WetBulb:
        return 5;
    case Trace::Humidity:
        return 6;
    }
    return 2;
}

RealTimePoint RealTimePointOf(const PlotGeometry& g, const CurrentReading& reading,
    const RealTimeRangeSettings& settings, const QTime& now)
{
    RealTimePoint point;
    point.time = now;
    for (Trace trace : kRealTimeTraceOrder) {
        const std::optional<double> h = PlotValue(trace, reading, settings, g.PlotHeight);
        const auto t = static_cast<size_t>(trace);
        point.has[t] = h.has_value();
        if (h)
            point.y[t] = static_cast<float>(g.PlotBottom - *h);
    }
    return point;
}

TimeMark DrawRealTimePoint(QPainter& painter, const PlotGeometry& g, TraceSweep& sweep,
    const RealTimePoint& point, float sampleStep, int gridColour, TimeLabelSpan* labelSpan)
{
    sweep.SweepX = AdvanceSweep(sweep.SweepX, sampleStep, g.PlotWidth);
    if (sweep.SweepX == 0) {
        FillBox(painter, g.PlotLeft, g.PlotBottom + 3, g.PlotLeft + g.PlotWidth,
            g.PlotBottom - g.PlotHeight - 5, PaletteColour(15));
        DrawGrid(painter, g, gridColour);
    }

    const float x = g.PlotLeft + sweep.SweepX;
    for (Trace trace : kRealTimeTraceOrder) {
        const auto t = static_cast<size_t>(trace);
        if (!point.has[t]) {
            sweep.HasPrevY[t] = false;
            continue;
        }
        AddPoint(painter, sweep, trace, x, point.y[t]);
    }
    sweep.PrevX = x;

    const TimeMark mark = RealTimeMarkAt(sweep.SweepX);
    if (mark == TimeMark::Label) {
        DrawTimeLine(painter, g, x, gridColour);
        const QString label = point.time.toString(QStringLiteral("HH:mm:ss"));
        const double w = TextWidth(painter, label) / 2;
        const float top = TimeLabelTop(g);
        FillBox(painter, static_cast<float>(x - w), top, static_cast<float>(x + w), top + 10,
            PaletteColour(15));
        DrawTextAt(painter, label, x - w, top, Qt::black);
        if (labelSpan)
            *labelSpan = { x - w, x + w };
    } else if (mark == TimeMark::MidMark) {
        DrawMidMark(painter, g, x, gridColour);
    }
    return mark;
}

TimeMark DrawRealTimeTick(QPainter& painter, const PlotGeometry& g, TraceSweep& sweep,
    const CurrentReading& reading, const RealTimeRangeSettings& settings, int gridColour,
    const QTime& now)
{
    return DrawRealTimePoint(painter, g, sweep, RealTimePointOf(g, reading, settings, now),
        settings.SampleStep, gridColour);
}

bool DrawFileGraph(QPainter& painter, const PlotGeometry& g, TraceSweep& sweep,
    const PlotRangeSettings& settings, int gridColour, const QAbstractItemModel* grid,
    const std::function<void(qint64)>& progress, const RecordDays* days)
{
    DrawGrid(painter, g, gridColour);
    const QPaintDevice* device = painter.device();
    FileSegments batches(painter, device->width() / device->devicePixelRatioF());
    std::vector<TimeLabel> labels;
    const auto finish = [&](bool drawn) {
        batches.flush();
        DrawTimeLabels(painter, g, labels);
        return drawn;
    };

    const qint64 from = static_cast<qint64>(settings.FromRecord);
    const qint64 to = static_cast<qint64>(settings.ToRecord);
    const qint64 rows = grid ? grid->rowCount() : 0;
    std::optional<RecordCells> cells;
    if (grid)
        cells.emplace(*grid);
    MarkedRecords marked(settings.PointCount);
    for (qint64 i = from; i <= to; ++i) {
        if (progress)
            progress(i);
        const qint64 row = i - 1;
        if (!grid || row < 0 || row >= rows)
            return finish(false);
        sweep.SweepX += settings.PointStep;
        const float x = g.PlotLeft + sweep.SweepX;
        cells->moveTo(static_cast<int>(row));
        for (Trace trace : kFileTraceOrder) {
            std::optional<double> h;
            if (!cells->height(trace, settings, g.PlotHeight, h))
                return finish(false);
            const int t = static_cast<int>(trace);
            if (!h) {
                sweep.HasPrevY[t] = false;
                continue;
            }
            const float y = static_cast<float>(g.PlotBottom - *h);
            if (sweep.PrevX != 0 && sweep.SweepX != 0 && sweep.HasPrevY[t])
                batches.add(trace, QLineF(sweep.PrevX, sweep.PrevY[t], x, y));
            sweep.PrevY[t] = y;
            sweep.HasPrevY[t] = true;
        }
        sweep.PrevX = x;

        const TimeMark mark = marked.at(i - from + 1);
        if (mark == TimeMark::None)
            continue;
        batches.flush(); // the line or mark goes over the segments drawn so far
        if (mark == TimeMark::Label) {
            DrawTimeLine(painter, g, x, gridColour);
            QString time;
            if (!cells->time(time))
                return finish(false);
            labels.push_back({ x, time, i == from, days ? days->at(row) : QDate() });
        } else {
            DrawMidMark(painter, g, x, gridColour);
        }
    }
    return finish(true);
}
