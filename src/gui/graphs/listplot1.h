#pragma once

#include "graphsstate.h"
#include "graphwindow.h"
#include "plotgeometry.h"
#include "tracesweep.h"

#include <QPointer>

class Clock;
class PrinterProvider;
class QAbstractItemModel;
class Timer;

// The file graph: the records FromRecord to ToRecord of a list, drawn in one pass 2 s after
// the window is laid out (Timer1), evenly spaced across the plot, with the time texts of five
// records under the axis. The list is read through its model: model row r is record r + 1,
// model column c is list column c.
class ListPlot1 final : public GraphWindow
{
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Plot Data/File "); }
    static constexpr int kDrawDelayMs = 2000;

    ListPlot1(const QAbstractItemModel* grid, GraphsState& state, Clock& clock,
        PrinterProvider& printers, QWidget* parent = nullptr);

    Timer* timer1() const { return m_timer1; }
    const PlotGeometry& geometry() const { return m_geometry; }
    // The records' dates, from the list file's dates file; none by default.
    void setRecordDays(RecordDays days) { m_days = std::move(days); }

    // Draws the records now; on a record or column the list does not hold it stops there,
    // keeps that record's progress caption and hides the window. False on such a failure.
    bool DrawFileGraph();

    // The frame and, once they are drawn, the records read again from the list; the image when
    // the list has gone meanwhile.
    void paintGraph(QPainter& painter) const override;

private:
    void layoutFrame();

    QPointer<const QAbstractItemModel> m_grid;
    GraphsState& m_state;
    Clock& m_clock;
    Timer* m_timer1 = nullptr;
    PlotGeometry m_geometry;
    TraceSweep m_sweep;
    // The ranges of the frame and of the records drawn on it.
    PlotRangeSettings m_range;
    RecordDays m_days;
    bool m_drawn = false;
};
