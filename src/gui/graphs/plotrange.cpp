#include "plotrange.h"

#include "graphsstate.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

PlotRange::PlotRange(GraphsState& state, Prompts& prompts, QWidget* parent)
    : RangeDialog(state.PlotRange, prompts, QStringLiteral("SSFrame4"), parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("PlotRange"));
    setWindowTitle(QStringLiteral("Plot Range"));
    celsiusOption()->setChecked(true);
    setFilter(box("TxtMaxR"), KeyFilter::UnsignedDecimal);
    setFilter(box("TxtMinR"), KeyFilter::UnsignedDecimal);
    setFilter(box("TxtMaxCO2"), KeyFilter::AnyKey);
    setFilter(box("TxtMinCO2"), KeyFilter::AnyKey);

    auto* records = new QGroupBox(QStringLiteral("Records"), this);
    records->setObjectName(QStringLiteral("Records"));
    auto* layout = new QGridLayout(records);
    layout->addWidget(new QLabel(QStringLiteral("From"), records), 0, 0);
    layout->addWidget(addBox(records, "TxtFrom", KeyFilter::Digits), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("To"), records), 1, 0);
    layout->addWidget(addBox(records, "TxtTo", KeyFilter::Digits), 1, 1);
    finishLayout(records);
}

void PlotRange::fill()
{
    RangeDialog::fill();
    box("TxtFrom")->setText(BoxText(m_state.PlotRange.FromRecord));
    box("TxtTo")->setText(BoxText(m_state.PlotRange.ToRecord));
}

QString PlotRange::apply(const RangeEntries& entries)
{
    RangeEntries withRecords = entries;
    withRecords.from = box("TxtFrom")->text();
    withRecords.to = box("TxtTo")->text();
    return ApplyPlotEntries(withRecords, m_state.PlotRange, m_state.FilePlotWidth);
}
