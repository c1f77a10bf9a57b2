#pragma once

// The scale limits both graphs share in form: temperature in Celsius and Fahrenheit side by
// side, relative humidity and CO2. Single precision, as the ranges are kept.
struct ScaleLimits {
    float TempMaxC = 60;
    float TempMinC = -20;
    float TempMaxF = 140;
    float TempMinF = -4;
    float RHMax = 100;
    float RHMin = 0;
    float CO2Max = 6000;
    float CO2Min = 0;
};

// The real-time graph's ranges and the pixels between two successive samples.
struct RealTimeRangeSettings : ScaleLimits {
    float SampleStep = 1;
};

// The file graph's ranges and the records it plots, counted from 1.
struct PlotRangeSettings : ScaleLimits {
    float RecordTotal = 0;
    float FromRecord = 1;
    float ToRecord = 0;
    float PointCount = 0;
    float PointStep = 0;
};

// The graphs' share of the program-wide state. The plot widths are the last ones each graph
// laid out; the range dialogs divide them into steps, also while the graph is closed.
struct GraphsState {
    RealTimeRangeSettings RealTimeRange;
    PlotRangeSettings PlotRange;
    int GridColour = 7;
    bool PlotFromFileList = true;
    float RealTimePlotWidth = 210;
    float FilePlotWidth = 210;
};

// Back to the defaults, as "Graph" does before it opens the real-time graph.
inline void ResetRealTimeRange(RealTimeRangeSettings& settings)
{
    settings = RealTimeRangeSettings {};
}

// Back to the default limits with the records 1 to recordTotal, as a list's "Plot" does.
inline void ResetPlotRange(PlotRangeSettings& settings, int recordTotal)
{
    static_cast<ScaleLimits&>(settings) = ScaleLimits {};
    settings.RecordTotal = static_cast<float>(recordTotal);
    settings.FromRecord = 1;
    settings.ToRecord = settings.RecordTotal;
    settings.PointCount = settings.RecordTotal;
}
