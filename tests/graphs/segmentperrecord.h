#pragma once

#include "graphs/graphsstate.h"
#include "graphs/plotdrawing.h"
#include "graphs/plotgeometry.h"
#include "graphs/plotvalue.h"
#include "graphs/tracebatches.h"
#include "graphs/tracesweep.h"

#include <QAbstractItemModel>
#include <QPainter>

// The traces as the file graph drew them before it gathered them into batches: one segment per
// record and trace, in record order, with the time lines and marks between the records (no time
// labels). Tests compare its pixels with the graph's; the benchmark times it beside the graph.
inline void DrawOneSegmentPerRecord(QPainter& painter, const PlotGeometry& g,
    const PlotRangeSettings& settings, const QAbstractItemModel& grid)
{
    DrawGrid(painter, g, 7);
    TraceSweep sweep;
    sweep.restart(settings.PointStep);
    for (int i = static_cast<int>(settings.FromRecord); i <= settings.ToRecord; ++i) {
        sweep.SweepX += settings.PointStep;
        const float x = g.PlotLeft + sweep.SweepX;
        for (Trace trace : kFileTraceOrder) {
            const int t = static_cast<int>(trace);
            const QString cell = grid.data(grid.index(i - 1, FileColumnOf(trace))).toString();
            const std::optional<double> h = PlotCellValue(trace, cell, settings, g.PlotHeight);
            if (!h) {
                sweep.HasPrevY[t] = false;
                continue;
            }
            const float y = static_cast<float>(g.PlotBottom - *h);
            if (sweep.PrevX != 0 && sweep.SweepX != 0 && sweep.HasPrevY[t]) {
                painter.setPen(TracePen(trace));
                painter.drawLine(QPointF(sweep.PrevX, sweep.PrevY[t]), QPointF(x, y));
            }
            sweep.PrevY[t] = y;
            sweep.HasPrevY[t] = true;
        }
        sweep.PrevX = x;
        const TimeMark mark
            = FileMarkAt(i - static_cast<int>(settings.FromRecord) + 1, settings.PointCount);
        if (mark == TimeMark::Label)
            DrawTimeLine(painter, g, x, 7);
        else if (mark == TimeMark::MidMark)
            DrawMidMark(painter, g, x, 7);
    }
}
