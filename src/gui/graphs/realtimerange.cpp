#include "realtimerange.h"

#include "graphsstate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

RealTimeRange::RealTimeRange(GraphsState& state, Prompts& prompts, QWidget* parent)
    : RangeDialog(state.RealTimeRange, prompts, QStringLiteral("SSFrame3"), parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("RealTimeRange"));
    setWindowTitle(QStringLiteral("Real Time Range"));

    auto* counts = new QWidget(this);
    auto* row = new QHBoxLayout(counts);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Counts"), counts));
    row->addWidget(addBox(counts, "TxtCounts", KeyFilter::SignedDecimal));
    finishLayout(counts);
}

void RealTimeRange::fill()
{
    RangeDialog::fill();
    const RealTimeRangeSettings& settings = m_state.RealTimeRange;
    box("TxtCounts")->setText(CountsText(m_state.RealTimePlotWidth, settings.SampleStep));
}

QString RealTimeRange::apply(const RangeEntries& entries)
{
    RangeEntries withCounts = entries;
    withCounts.counts = box("TxtCounts")->text();
    return ApplyRealTimeEntries(withCounts, m_state.RealTimeRange, m_state.RealTimePlotWidth);
}
