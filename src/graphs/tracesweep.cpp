#include "tracesweep.h"

#include "meter/currentreading.h"
#include "plotdrawing.h"
#include "plotvalue.h"

#include <QAbstractItemModel>
#include <QPainter>

#include <cmath>

namespace
{

const std::array<QPen, kTraceCount>& TracePens()
{
    static const std::array<QPen, kTraceCount> pens = [] {
        std::array<QPen, kTraceCount> made;
        for (int t = 0; t < kTraceCount; ++t)
            made[t] = QPen(TraceColour(static_cast<Trace>(t)), 1, Qt::SolidLine, Qt::FlatCap);
        return made;
    }();
    return pens;
}

// Moves one trace to its next point at x, joining it to the previous one where there is one.
void AddPoint(QPainter& painter, TraceSweep& sweep, Trace trace, float x, float y)
{
    const int t = static_cast<int>(trace);
    if (sweep.PrevX != 0 && sweep.SweepX != 0 && sweep.HasPrevY[t]) {
        painter.setPen(TracePens()[t]);
        painter.drawLine(QPointF(sweep.PrevX, sweep.PrevY[t]), QPointF(x, y));
    }
    sweep.PrevY[t] = y;
    sweep.HasPrevY[t] = true;
}

QString CellText(const QAbstractItemModel& grid, int row, int column, bool* ok)
{
    const QModelIndex index = grid.index(row, column);
    *ok = index.isValid();
    return *ok ? grid.data(index, Qt::DisplayRole).toString() : QString();
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

TimeMark DrawRealTimeTick(QPainter& painter, const PlotGeometry& g, TraceSweep& sweep,
    const CurrentReading& reading, const RealTimeRangeSettings& settings, int gridColour,
    const QTime& now)
{
    sweep.SweepX = AdvanceSweep(sweep.SweepX, settings.SampleStep, g.PlotWidth);
    if (sweep.SweepX == 0) {
        FillBox(painter, g.PlotLeft, g.PlotBottom + 3, g.PlotLeft + g.PlotWidth,
            g.PlotBottom - g.PlotHeight - 5, PaletteColour(15));
        DrawGrid(painter, g, gridColour);
    }

    const float x = g.PlotLeft + sweep.SweepX;
    for (Trace trace : kRealTimeTraceOrder) {
        const std::optional<double> h = PlotValue(trace, reading, settings, g.PlotHeight);
        if (!h) {
            sweep.HasPrevY[static_cast<int>(trace)] = false;
            continue;
        }
        AddPoint(painter, sweep, trace, x, static_cast<float>(g.PlotBottom - *h));
    }
    sweep.PrevX = x;

    const TimeMark mark = RealTimeMarkAt(sweep.SweepX);
    if (mark == TimeMark::Label) {
        DrawTimeLine(painter, g, x, gridColour);
        const QString label = now.toString(QStringLiteral("HH:mm:ss"));
        const double w = TextWidth(painter, label) / 2;
        const float top = TimeLabelTop(g);
        FillBox(painter, static_cast<float>(x - w), top, static_cast<float>(x + w), top + 10,
            PaletteColour(15));
        DrawTextAt(painter, label, x - w, top, Qt::black);
    } else if (mark == TimeMark::MidMark) {
        DrawMidMark(painter, g, x, gridColour);
    }
    return mark;
}

bool DrawFileGraph(QPainter& painter, const PlotGeometry& g, TraceSweep& sweep,
    const PlotRangeSettings& settings, int gridColour, const QAbstractItemModel* grid,
    const std::function<void(qint64)>& progress)
{
    DrawGrid(painter, g, gridColour);
    const qint64 from = static_cast<qint64>(settings.FromRecord);
    const qint64 to = static_cast<qint64>(settings.ToRecord);
    const qint64 rows = grid ? grid->rowCount() : 0;
    for (qint64 i = from; i <= to; ++i) {
        if (progress)
            progress(i);
        const qint64 row = i - 1;
        if (!grid || row < 0 || row >= rows)
            return false;
        sweep.SweepX += settings.PointStep;
        const float x = g.PlotLeft + sweep.SweepX;
        for (Trace trace : kFileTraceOrder) {
            bool ok = false;
            const QString cell = CellText(*grid, static_cast<int>(row), FileColumnOf(trace), &ok);
            if (!ok)
                return false;
            const double h = PlotCellValue(trace, cell, settings, g.PlotHeight);
            AddPoint(painter, sweep, trace, x, static_cast<float>(g.PlotBottom - h));
        }
        sweep.PrevX = x;

        const qint64 k = i - from + 1;
        const TimeMark mark = FileMarkAt(static_cast<int>(k), settings.PointCount);
        if (mark == TimeMark::Label) {
            DrawTimeLine(painter, g, x, gridColour);
            bool ok = false;
            const QString time = CellText(*grid, static_cast<int>(row), kFileTimeColumn, &ok);
            if (!ok)
                return false;
            const float left = TimeLabelLeft(x, TextWidth(painter, time), i == from);
            DrawTextAt(painter, time, left, TimeLabelTop(g), Qt::black);
        } else if (mark == TimeMark::MidMark) {
            DrawMidMark(painter, g, x, gridColour);
        }
    }
    return true;
}
