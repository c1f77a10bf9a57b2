#pragma once

#include "graphsstate.h"

#include <QChar>
#include <QString>

// The rules of the two range dialogs, apart from their windows: which keys a box takes, what
// the boxes show, and how OK checks and stores the groups with the messages it gives.

// The characters a numeric box lets through as they are typed.
enum class KeyFilter {
    SignedDecimal, // digits, "-", ".", Backspace
    UnsignedDecimal, // digits, ".", Backspace
    Digits, // digits, Backspace
    AnyKey,
};
bool KeyAccepted(KeyFilter filter, QChar key);

// A setting as a box shows it: its shortest decimal form, no leading blank (60, -20, 15.5).
QString BoxText(double value);
// The "Counts" box: plotWidth / sampleStep rounded half to even; "0" when that is no number.
QString CountsText(float plotWidth, float sampleStep);

// The texts of the boxes at the moment OK is pressed.
struct RangeEntries {
    bool celsius = false; // COpt selected; otherwise the boxes hold Fahrenheit
    QString max, min; // TxtMax, TxtMin
    QString maxR, minR; // TxtMaxR, TxtMinR
    QString maxCo2, minCo2; // TxtMaxCO2, TxtMinCO2
    QString counts; // TxtCounts (real-time dialog)
    QString from, to; // TxtFrom, TxtTo (file dialog)
};

// The message of a refused group: lower bound, middle text, upper bound, ", try again!".
QString RangeMessage(const QString& lower, const QString& middle, const QString& upper);

// OK of "Real Time Range": temperature, humidity, CO2 and counts in that order. Each group
// that passes is stored before the next is checked; the first that fails gives its message
// (empty when all pass) and nothing after it is stored. On success SampleStep becomes
// plotWidth divided by the counts.
QString ApplyRealTimeEntries(
    const RangeEntries& entries, RealTimeRangeSettings& settings, float plotWidth);

// OK of "Plot Range": temperature, humidity, CO2 and the records From..To (1 to RecordTotal),
// stored as they pass. On success PointCount and PointStep (plotWidth / PointCount) follow.
QString ApplyPlotEntries(const RangeEntries& entries, PlotRangeSettings& settings, float plotWidth);
