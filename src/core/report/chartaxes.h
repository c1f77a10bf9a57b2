#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <limits>
#include <vector>

struct ReportFigures;

// The scale of one axis: from low in steps of step, divisions steps in all.
struct ChartScale {
    double low = 0;
    double step = 1;
    int divisions = 6;
    double high() const { return low + step * divisions; }
};
// The smallest scale of whole "nice" steps (1, 2, 2.5, 5 times a power of ten) that holds low
// to high in the given number of divisions.
ChartScale NiceScale(double low, double high, int divisions);

// The scale of values from low to high: widened about their middle to minSpan at least, kept
// within floor to ceiling, and with every value off the frame's top and bottom lines (a value
// at the floor or the ceiling, or a hair from it, stays there). Where no scale of nice steps
// fits between floor and ceiling, the scale runs from the one to the other.
ChartScale FittedScale(double low, double high, double minSpan, int divisions,
    double floor = -std::numeric_limits<double>::infinity(),
    double ceiling = std::numeric_limits<double>::infinity());

// A scale label: with as many decimals as the step needs, two at most ("1250", "37.5", "16.67").
QString ScaleText(double value, double step);

// The chart's time axis: the records' times of day running on over the days, and each step back
// of the clock taken out, so that what was recorded later lies further right. A stretch of
// records between two steps is drawn at its times plus its shift. A single time gets half a
// minute either side.
struct ChartTimeline {
    struct Stretch {
        qint64 from = 0; // the times of its first and last record (the ends of the axis for the
        qint64 to = 0; // first and the last stretch)
        qint64 shift = 0;
    };
    qint64 from = 0;
    qint64 to = 1;
    std::vector<Stretch> stretches;
};
ChartTimeline ChartTimelineOf(const ReportFigures& figures);

// A label on a line of labels: its text, left edge and width; hidden when it gave way.
struct ChartLabel {
    QString text;
    double left = 0;
    double width = 0;
    bool shown = true;
};
// A line of labels, left to right: each is moved inside from..to where it sticks out. The first
// and the last are shown (the last gives way to the first where the two would touch); one
// between them only where it keeps gap clear of the one shown before it and of the last.
void FitLabelRow(std::vector<ChartLabel>& row, double from, double to, double gap);

// What the time axis shows, in the units of left and width (the plot's left edge and width):
// the x of each whole step of clock time (grid lines) with its label in the first row, the date
// under the first label of each day in the second row, or the dates in the first row where the
// steps are whole days, and the first record's date at the left end of the second row where its
// day has no label (shown only where it keeps clear of the date after it). Each row fitted
// between rowLeft and rowRight; widthOf measures a text.
struct ChartTimeAxis {
    std::vector<double> ticks;
    std::vector<double> clockSteps; // the x of each step back of the clock
    std::vector<ChartLabel> times;
    std::vector<ChartLabel> dates;
    ChartLabel firstDate;
};
ChartTimeAxis TimeAxisOf(const ReportFigures& figures, const ChartTimeline& timeline, double left,
    double width, double rowLeft, double rowRight, double gap,
    const std::function<double(const QString&)>& widthOf);
