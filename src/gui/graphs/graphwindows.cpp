#include "graphwindows.h"

#include "desktop/printer.h"
#include "desktop/prompts.h"
#include "graphcanvas.h"
#include "graphsave.h"
#include "graphsstate.h"
#include "listplot1.h"
#include "platform/clock.h"
#include "plotrange.h"
#include "realtime24.h"
#include "realtimerange.h"

#include <QAbstractItemModel>
#include <QPainter>

namespace
{

// Closes a graph window, shown or hidden, so that a fresh one takes its place.
template <typename Window> void Discard(QPointer<Window>& window)
{
    if (window) {
        window->close();
        window.clear();
    }
}

} // namespace

GraphWindows::GraphWindows(GraphsState& state, const CurrentReading& reading, Clock& clock,
    Prompts& prompts, PrinterProvider& printers, QWidget* anchor, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_reading(reading)
    , m_clock(clock)
    , m_prompts(prompts)
    , m_printers(printers)
    , m_anchor(anchor)
{
}

GraphWindows::~GraphWindows()
{
    delete m_realTimeRange.data();
    delete m_plotRange.data();
    delete m_realTime.data();
    delete m_filePlot.data();
}

RealTime24* GraphWindows::realTimeGraph() const
{
    return m_realTime;
}

ListPlot1* GraphWindows::fileGraph() const
{
    return m_filePlot;
}

RealTimeRange* GraphWindows::realTimeRange() const
{
    return m_realTimeRange;
}

PlotRange* GraphWindows::plotRange() const
{
    return m_plotRange;
}

void GraphWindows::place(QWidget* window) const
{
    int left = 0;
    if (m_anchor) {
        const QRect frame = m_anchor->frameGeometry();
        left = frame.x() + frame.width();
    }
    window->move(left, 0);
}

void GraphWindows::openRealTimeGraph()
{
    Discard(m_realTime);
    ResetRealTimeRange(m_state.RealTimeRange);
    showRealTimeGraph();
}

void GraphWindows::closeRealTimeGraph()
{
    Discard(m_realTime);
}

void GraphWindows::showRealTimeGraph()
{
    Discard(m_realTime);
    m_realTime = new RealTime24(m_reading, m_state, m_clock, m_printers);
    connect(m_realTime, &RealTime24::limitRequested, this, &GraphWindows::showRealTimeRange);
    connect(m_realTime, &RealTime24::saveRequested, this, [this] { saveGraph(m_realTime); });
    tellWherePrintsGo(m_realTime);
    place(m_realTime);
    m_realTime->show();
    m_realTime->timer1()->start(m_intervalMs);
}

void GraphWindows::openFileGraph(QAbstractItemModel* grid, bool fromFileList, RecordDays days)
{
    Discard(m_filePlot);
    m_grid = grid;
    m_days = std::move(days);
    m_state.PlotFromFileList = fromFileList;
    ResetPlotRange(m_state.PlotRange, grid ? grid->rowCount() : 0);
    showFileGraph();
}

void GraphWindows::showFileGraph()
{
    Discard(m_filePlot);
    m_filePlot = new ListPlot1(m_grid, m_state, m_clock, m_printers);
    m_filePlot->setRecordDays(m_days);
    connect(m_filePlot, &ListPlot1::limitRequested, this, &GraphWindows::showPlotRange);
    connect(m_filePlot, &ListPlot1::saveRequested, this, [this] { saveGraph(m_filePlot); });
    tellWherePrintsGo(m_filePlot);
    place(m_filePlot);
    m_filePlot->show();
}

void GraphWindows::showRealTimeRange()
{
    if (!m_realTimeRange) {
        m_realTimeRange = new RealTimeRange(m_state, m_prompts);
        connect(m_realTimeRange, &RealTimeRange::applied, this, &GraphWindows::showRealTimeGraph);
    }
    m_realTimeRange->show();
    m_realTimeRange->raise();
}

void GraphWindows::showPlotRange()
{
    if (!m_plotRange) {
        m_plotRange = new PlotRange(m_state, m_prompts);
        connect(m_plotRange, &PlotRange::applied, this, [this] {
            // The list was closed meanwhile: there is nothing to plot, so the graph goes.
            if (!m_grid) {
                if (m_filePlot)
                    m_filePlot->hide();
                return;
            }
            showFileGraph();
        });
    }
    m_plotRange->show();
    m_plotRange->raise();
}

void GraphWindows::tellWherePrintsGo(GraphWindow* window)
{
    connect(window, &GraphWindow::printedToPdf, this, [this, window](const QString& path) {
        m_prompts.message(window, Prompts::Icon::Information, FallbackPdfMessage(path));
    });
}

void GraphWindows::saveGraph(GraphWindow* window)
{
    if (!window)
        return;
    QString chosenFilter;
    QString path = m_prompts.saveFileName(window, GraphFileFilter(), &chosenFilter);
    if (path.isEmpty())
        return;
    // A name without an extension is saved as the type chosen.
    path = WithFilterSuffix(path, chosenFilter);
    QString error;
    const QPointer<GraphWindow> graph(window);
    const bool saved = SaveGraph(
        window->canvas()->image(),
        [graph](QPainter& painter) {
            if (graph)
                graph->paintGraph(painter);
        },
        path, &error);
    if (!saved)
        m_prompts.message(window, Prompts::Icon::Critical, error);
}
