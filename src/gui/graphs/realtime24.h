#pragma once

#include "graphwindow.h"
#include "plotgeometry.h"
#include "realtimetrail.h"
#include "tracesweep.h"

class Clock;
class PrinterProvider;
class Timer;
struct CurrentReading;
struct GraphsState;

// The real-time graph: five traces of the live reading sweep across the plot, one step per
// tick of the window's own Timer1, and start again at the left edge. Timer1 stays off until
// the opener gives it the acquisition interval; closing the window stops it.
class RealTime24 final : public GraphWindow
{
    Q_OBJECT
public:
    static QString caption() { return QStringLiteral("Real Time Graph - Voltage "); }

    RealTime24(const CurrentReading& reading, GraphsState& state, Clock& clock,
        PrinterProvider& printers, QWidget* parent = nullptr);

    Timer* timer1() const { return m_timer1; }
    const PlotGeometry& geometry() const { return m_geometry; }
    const TraceSweep& sweep() const { return m_sweep; }
    // The last time label drawn.
    const QString& timeLabel() const { return m_timeLabel; }

    // One Timer1 tick: a point on every trace.
    void tick();
    const RealTimeTrail& trail() const { return m_trail; }
    void paintGraph(QPainter& painter) const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The frame on a new client area; the traces start again.
    void layoutFrame();

    const CurrentReading& m_reading;
    GraphsState& m_state;
    Clock& m_clock;
    Timer* m_timer1 = nullptr;
    QFont m_font;
    PlotGeometry m_geometry;
    TraceSweep m_sweep;
    RealTimeTrail m_trail;
    QString m_timeLabel;
};
