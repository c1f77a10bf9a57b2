#pragma once

#include "meter/protocol.h"
#include "recorddays.h"

#include <QObject>
#include <QPointer>

class Clock;
class ListPlot1;
class PlotRange;
class PrinterProvider;
class Prompts;
class QAbstractItemModel;
class QWidget;
class RealTime24;
class RealTimeRange;
struct CurrentReading;
struct GraphsState;

// Opens, reopens and closes the two graph windows and their range dialogs for the rest of the
// program: the main toolbar's "Graph", the no-data state, the lists' "Plot" and the dialogs'
// OK. Each graph window is created when opened and destroyed when closed; the graphs sit with
// their left edge at the anchor window's right edge and their top at 0.
class GraphWindows final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAcquisitionIntervalMs = kAcquisitionTickMs;

    GraphWindows(GraphsState& state, const CurrentReading& reading, Clock& clock, Prompts& prompts,
        PrinterProvider& printers, QWidget* anchor = nullptr, QObject* parent = nullptr);
    ~GraphWindows() override;

    // The interval of the main window's acquisition timer, given to the real-time graph.
    void setAcquisitionInterval(int ms) { m_intervalMs = ms; }

    // "Graph": closes a shown real-time graph, resets its ranges to the defaults, opens it and
    // starts its timer at the acquisition interval.
    void openRealTimeGraph();
    // The meter went silent: the real-time graph closes.
    void closeRealTimeGraph();
    // A list's "Plot": closes a shown file graph, notes the source, resets the ranges to the
    // records 1 to the grid's row count and opens the graph on the grid's rows.
    // days: the records' dates where the list's file has a dates file.
    void openFileGraph(QAbstractItemModel* grid, bool fromFileList, RecordDays days = {});

    // The open windows, or null.
    RealTime24* realTimeGraph() const;
    ListPlot1* fileGraph() const;
    RealTimeRange* realTimeRange() const;
    PlotRange* plotRange() const;

private:
    // Opens the graphs with the ranges as they stand (after a reset or a dialog's OK).
    void showRealTimeGraph();
    void showFileGraph();
    void showRealTimeRange();
    void showPlotRange();
    void saveGraph(class GraphWindow* window);
    // Without a printer, a print's PDF is named to the user.
    void tellWherePrintsGo(class GraphWindow* window);
    void place(QWidget* window) const;

    GraphsState& m_state;
    const CurrentReading& m_reading;
    Clock& m_clock;
    Prompts& m_prompts;
    PrinterProvider& m_printers;
    QPointer<QWidget> m_anchor;
    int m_intervalMs = kAcquisitionIntervalMs;
    QPointer<QAbstractItemModel> m_grid;
    QPointer<RealTime24> m_realTime;
    QPointer<ListPlot1> m_filePlot;
    RecordDays m_days;
    QPointer<RealTimeRange> m_realTimeRange;
    QPointer<PlotRange> m_plotRange;
};
