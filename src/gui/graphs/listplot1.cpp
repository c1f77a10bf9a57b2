#include "listplot1.h"

#include "graphcanvas.h"
#include "graphsstate.h"
#include "platform/clock.h"
#include "platform/countingcaption.h"
#include "plotdrawing.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QPainter>
#include <QToolBar>

ListPlot1::ListPlot1(const QAbstractItemModel* grid, GraphsState& state, Clock& clock,
    PrinterProvider& printers, QWidget* parent)
    : GraphWindow(printers, parent)
    , m_grid(grid)
    , m_state(state)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("ListPlot1"));
    setWindowTitle(caption());

    // The graph's texts in the window's font at the real-time graph's size, so that the five
    // time labels and two-decimal scale labels have room; the toolbar keeps the usual size.
    QFont labels = font();
    labels.setPointSizeF(8.25);
    setFont(labels);
    toolbar()->setFont(QApplication::font(toolbar()));

    m_timer1 = m_clock.createTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kDrawDelayMs);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &Timer::timeout, this, [this] {
        m_timer1->stop();
        DrawFileGraph();
    });

    connect(canvas(), &GraphCanvas::resized, this, &ListPlot1::layoutFrame);
    resize(sizeHint());

    m_state.GridColour = 7;
}

void ListPlot1::layoutFrame()
{
    PlotRangeSettings& range = m_state.PlotRange;
    m_geometry = PlotGeometryFor(canvas()->width(), canvas()->height());
    m_state.FilePlotWidth = m_geometry.PlotWidth;
    QPainter painter(&canvas()->image());
    painter.setFont(font());
    DrawFrame(painter, m_geometry, range, false);
    // An empty list plots nothing; its step stays 0 rather than a division by zero.
    range.PointStep = range.PointCount > 0 ? m_geometry.PlotWidth / range.PointCount : 0;
    m_sweep.restart(range.PointStep);
    m_range = range;
    m_drawn = false;
    canvas()->update();
    m_timer1->start();
}

bool ListPlot1::DrawFileGraph()
{
    const QString kept = windowTitle();
    CountingCaption progress(
        m_clock, RecordsCompletedSuffix(), [this](const QString& text) { setWindowTitle(text); },
        CountingCaption::Pointer::Unchanged);
    qint64 current = 0;
    bool drawn = false;
    m_range = m_state.PlotRange;
    {
        QPainter painter(&canvas()->image());
        painter.setFont(font());
        drawn = ::DrawFileGraph(painter, m_geometry, m_sweep, m_state.PlotRange, m_state.GridColour,
            m_grid.data(), [&](qint64 record) {
                current = record;
                progress.count(record);
            });
    }
    m_drawn = true;
    canvas()->update();
    if (!drawn) {
        progress.showCount(current);
        if (isVisible())
            hide();
        return false;
    }
    progress.finish(kept);
    return true;
}

void ListPlot1::paintGraph(QPainter& painter) const
{
    if (m_drawn && !m_grid) {
        GraphWindow::paintGraph(painter);
        return;
    }
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(canvas()->size())), Qt::white);
    painter.setFont(font());
    DrawFrame(painter, m_geometry, m_range, false);
    if (!m_drawn)
        return;
    TraceSweep sweep;
    sweep.restart(m_range.PointStep);
    ::DrawFileGraph(painter, m_geometry, sweep, m_range, m_state.GridColour, m_grid.data(), {});
}
