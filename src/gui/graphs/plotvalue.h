#pragma once

#include "graphsstate.h"
#include "plotgeometry.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

struct CurrentReading;

// Height above the baseline of a value that lies below its scale or is under range: inside the
// band blanked at each new sweep.
constexpr double kBelowScale = -3;
// Height of a value above its scale or over range, plotHeight + kAboveScale.
constexpr double kAboveScale = 5;

// Height of one trace of the live reading above the baseline (PlotValue). No height (a gap in
// the trace) when the field holds no reading ("----") or nothing that reads as a number.
std::optional<double> PlotValue(
    Trace trace, const CurrentReading& reading, const ScaleLimits& limits, float plotHeight);

// Height of one cell of a list above the baseline (the file graph's PlotValue). Lists hold the
// display texts, so a temperature overload reads "OL.0" or "-OL.0": a temperature, dew-point or
// wet-bulb cell that starts with "OL" is at the top and one that starts with "-OL" at the bottom,
// as the real-time graph draws them. A cell without a reading ("----", "----.0") has no height
// (a gap in the trace); any other cell is read as its leading number, an empty one as 0.
std::optional<double> PlotCellValue(
    Trace trace, const QString& cell, const ScaleLimits& limits, float plotHeight);
// The same from the cell's UTF-8 bytes, reading a plain decimal without making a string of it.
std::optional<double> PlotCellValue(
    Trace trace, QByteArrayView utf8, const ScaleLimits& limits, float plotHeight);

// The leading number of a cell, exactly as LeadingNumber reads it, read quicker where the cell is
// a plain decimal (blanks, a sign, at most 15 digits with or without a point, nothing after):
// such a number divided by its power of ten is already the nearest double to the text.
double CellNumber(const QString& cell);

// plotHeight x (v - min) / (max - min) in double precision; a scale without span (max = min)
// puts its value on the baseline instead of dividing by zero.
double ScaledHeight(double v, float min, float max, float plotHeight);
