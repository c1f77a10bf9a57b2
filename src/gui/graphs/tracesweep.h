#pragma once

#include "graphsstate.h"
#include "plotgeometry.h"
#include "recorddays.h"

#include <QTime>

#include <array>
#include <functional>

class QAbstractItemModel;
class QPainter;
struct CurrentReading;

// Where the traces of a graph have got to: the offset of the newest point from the plot's
// left edge, the x of the previous point (0: none yet) and each trace's previous y. A trace
// without a previous point (after a gap) starts afresh at its next point.
struct TraceSweep {
    float SweepX = 0;
    float PrevX = 0;
    std::array<float, kTraceCount> PrevY {};
    std::array<bool, kTraceCount> HasPrevY {};

    // A fresh sweep whose first point lands at offset 0.
    void restart(float step)
    {
        SweepX = -step;
        PrevX = 0;
        HasPrevY.fill(false);
    }
};

// The traces in the order the real-time graph draws them, and in the order the file graph
// reads its columns.
inline constexpr Trace kRealTimeTraceOrder[]
    = { Trace::Temperature, Trace::Humidity, Trace::WetBulb, Trace::DewPoint, Trace::Co2 };
inline constexpr Trace kFileTraceOrder[]
    = { Trace::Co2, Trace::Temperature, Trace::Humidity, Trace::WetBulb, Trace::DewPoint };
// The list column a trace is read from; column 1 holds the time texts.
int FileColumnOf(Trace trace);
constexpr int kFileTimeColumn = 1;

// What one tick of the real-time graph adds: each trace's y (none where the reading has no
// value for it) and the time of day.
struct RealTimePoint {
    std::array<float, kTraceCount> y {};
    std::array<bool, kTraceCount> has {};
    QTime time;
};
RealTimePoint RealTimePointOf(const PlotGeometry& geometry, const CurrentReading& reading,
    const RealTimeRangeSettings& settings, const QTime& now);

// Where a tick's time label went on the axis, when it got one.
struct TimeLabelSpan {
    double left = 0;
    double right = 0;
};

// One tick of the real-time graph: advance the sweep (blanking the plot area and drawing the
// grid at the start of a new one), add the point to every trace, and draw a time label (the
// point's time) or a mid-line mark where the sweep has got to. Returns what the time axis got;
// a label's place goes to label when given.
TimeMark DrawRealTimePoint(QPainter& painter, const PlotGeometry& geometry, TraceSweep& sweep,
    const RealTimePoint& point, float sampleStep, int gridColour, TimeLabelSpan* label = nullptr);
// The same for the reading now.
TimeMark DrawRealTimeTick(QPainter& painter, const PlotGeometry& geometry, TraceSweep& sweep,
    const CurrentReading& reading, const RealTimeRangeSettings& settings, int gridColour,
    const QTime& now);

// The records FromRecord to ToRecord of a list (record r is model row r - 1), drawn in one pass
// over the grid, the traces as polylines (on an image with the pixels of one segment per record
// drawn in record order; on any other device, such as a drawing or a document, as one path per
// run of a trace) and the time labels last, those that would overlap left out. progress(r) is told
// each record before it is read. Returns false, having drawn the records before it, when a
// record or a column is missing from the model. Where days names the records' dates, the first
// label and each one on another day than the label before show their date.
bool DrawFileGraph(QPainter& painter, const PlotGeometry& geometry, TraceSweep& sweep,
    const PlotRangeSettings& settings, int gridColour, const QAbstractItemModel* grid,
    const std::function<void(qint64)>& progress, const RecordDays* days = nullptr);
