#include "realtime24.h"

#include "graphcanvas.h"
#include "graphsstate.h"
#include "platform/clock.h"
#include "plotdrawing.h"

#include <QAction>
#include <QCloseEvent>
#include <QPainter>
#include <QToolBar>
#include <QVBoxLayout>

RealTime24::RealTime24(const CurrentReading& reading, GraphsState& state, Clock& clock,
    PrinterProvider& printers, QWidget* parent)
    : QWidget(parent)
    , m_reading(reading)
    , m_state(state)
    , m_clock(clock)
    , m_printers(printers)
{
    setObjectName(QStringLiteral("RealTime24"));
    setWindowTitle(caption());
    setAttribute(Qt::WA_DeleteOnClose);

    m_font = QFont(QStringLiteral("Times New Roman"));
    m_font.setPointSizeF(8.25);
    m_font.setStyleHint(QFont::Serif);

    m_timer1 = m_clock.createTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(0);
    connect(m_timer1, &Timer::timeout, this, &RealTime24::tick);

    buildToolbar();
    m_canvas = new GraphCanvas(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_canvas, 1);
    connect(m_canvas, &GraphCanvas::resized, this, &RealTime24::layoutFrame);
    resize(sizeHint());

    m_state.GridColour = 7;
    m_sweep.restart(m_state.RealTimeRange.SampleStep);
}

void RealTime24::buildToolbar()
{
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    for (const QString& key : { QStringLiteral("Limit"), QStringLiteral("Print") }) {
        QAction* action = m_toolbar->addAction(key);
        action->setObjectName(key);
        action->setToolTip(key);
        connect(action, &QAction::triggered, this, [this, key] { onToolbar(key); });
    }
}

QAction* RealTime24::toolbarButton(const QString& key) const
{
    return m_toolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void RealTime24::onToolbar(const QString& key)
{
    if (key == QLatin1String("Limit"))
        Q_EMIT limitRequested();
    else if (key == QLatin1String("Print"))
        print();
}

void RealTime24::layoutFrame()
{
    m_geometry = PlotGeometryFor(m_canvas->width(), m_canvas->height());
    m_state.RealTimePlotWidth = m_geometry.PlotWidth;
    QPainter painter(&m_canvas->image());
    painter.setFont(m_font);
    DrawFrame(painter, m_geometry, m_state.RealTimeRange, true);
    m_sweep.restart(m_state.RealTimeRange.SampleStep);
    m_canvas->update();
}

void RealTime24::tick()
{
    QPainter painter(&m_canvas->image());
    painter.setFont(m_font);
    const QTime now = m_clock.timeOfDay();
    const TimeMark mark = DrawRealTimeTick(
        painter, m_geometry, m_sweep, m_reading, m_state.RealTimeRange, m_state.GridColour, now);
    if (mark == TimeMark::Label)
        m_timeLabel = now.toString(QStringLiteral("HH:mm:ss"));
    m_canvas->update();
}

void RealTime24::print()
{
    // The toolbar lies outside the drawn area, so the printout holds only the graph; hiding
    // it would re-lay the window out and so wipe the traces.
    m_canvas->print(m_printers, windowTitle());
}

void RealTime24::closeEvent(QCloseEvent* event)
{
    m_timer1->stop();
    QWidget::closeEvent(event);
}
