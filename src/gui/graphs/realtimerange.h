#pragma once

#include "rangedialog.h"

struct GraphsState;

// "Real Time Range": the scales of the real-time graph and the number of samples across its
// plot ("Counts", 10 to 864000). Neither unit option is chosen at first, so the boxes show
// and take Fahrenheit until "Celsius" is clicked.
class RealTimeRange final : public RangeDialog
{
    Q_OBJECT
public:
    RealTimeRange(GraphsState& state, Prompts& prompts, QWidget* parent = nullptr);

protected:
    void fill() override;
    QString apply(const RangeEntries& entries) override;

private:
    GraphsState& m_state;
};
