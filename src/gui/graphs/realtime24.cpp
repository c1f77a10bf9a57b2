#include "realtime24.h"

#include "graphcanvas.h"
#include "graphsstate.h"
#include "platform/clock.h"
#include "plotdrawing.h"

#include <QCloseEvent>
#include <QPainter>

RealTime24::RealTime24(const CurrentReading& reading, GraphsState& state, Clock& clock,
    PrinterProvider& printers, QWidget* parent)
    : GraphWindow(printers, parent)
    , m_reading(reading)
    , m_state(state)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("RealTime24"));
    setWindowTitle(caption());

    m_font = QFont(QStringLiteral("Times New Roman"));
    m_font.setPointSizeF(8.25);
    m_font.setStyleHint(QFont::Serif);

    m_timer1 = m_clock.createTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(0);
    connect(m_timer1, &Timer::timeout, this, &RealTime24::tick);

    connect(canvas(), &GraphCanvas::resized, this, &RealTime24::layoutFrame);
    resize(sizeHint());

    m_state.GridColour = 7;
    m_sweep.restart(m_state.RealTimeRange.SampleStep);
}

void RealTime24::layoutFrame()
{
    m_geometry = PlotGeometryFor(canvas()->width(), canvas()->height());
    m_state.RealTimePlotWidth = m_geometry.PlotWidth;
    QPainter painter(&canvas()->image());
    painter.setFont(m_font);
    DrawFrame(painter, m_geometry, m_state.RealTimeRange, true);
    m_sweep.restart(m_state.RealTimeRange.SampleStep);
    m_trail.clear();
    canvas()->update();
}

void RealTime24::tick()
{
    QPainter painter(&canvas()->image());
    painter.setFont(m_font);
    const QTime now = m_clock.timeOfDay();
    const RealTimePoint point = RealTimePointOf(m_geometry, m_reading, m_state.RealTimeRange, now);
    TimeLabelSpan label;
    const TimeMark mark = DrawRealTimePoint(painter, m_geometry, m_sweep, point,
        m_state.RealTimeRange.SampleStep, m_state.GridColour, &label);
    m_trail.add(point, m_sweep.SweepX, mark, label);
    if (mark == TimeMark::Label)
        m_timeLabel = now.toString(QStringLiteral("HH:mm:ss"));
    canvas()->update();
}

void RealTime24::paintGraph(QPainter& painter) const
{
    if (!m_trail.complete()) {
        GraphWindow::paintGraph(painter);
        return;
    }
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(canvas()->size())), Qt::white);
    painter.setFont(m_font);
    DrawFrame(painter, m_geometry, m_state.RealTimeRange, true);
    m_trail.paint(painter, m_geometry, m_state.RealTimeRange.SampleStep, m_state.GridColour);
}

void RealTime24::closeEvent(QCloseEvent* event)
{
    m_timer1->stop();
    QWidget::closeEvent(event);
}
