#pragma once

#include "rangedialog.h"

struct GraphsState;

// "Plot Range": the scales of the file graph and the records it plots ("From" and "To", 1 to
// RecordTotal). Celsius is chosen at first. The humidity boxes take no sign, the record boxes
// digits only, and the CO2 boxes any key.
class PlotRange final : public RangeDialog
{
    Q_OBJECT
public:
    PlotRange(GraphsState& state, Prompts& prompts, QWidget* parent = nullptr);

protected:
    void fill() override;
    QString apply(const RangeEntries& entries) override;

private:
    GraphsState& m_state;
};
