#pragma once

#include <QColor>
#include <QPointF>
#include <QString>

#include <vector>

// Where the plot area lies in the client area of a graph window, in logical pixels with y
// growing downwards. The baseline is value 0 of every scale.
struct PlotGeometry {
    float PlotLeft = 170;
    float PlotBottom = 0;
    float PlotHeight = 0;
    float PlotWidth = 0;
};

// The plot area of a client area of scaleWidth x scaleHeight. The width is cut down to a
// multiple of 30: d - (r mod 30), r being d rounded half to even and the remainder taking the
// sign of r, so a window narrower than the left margin gives a negative width.
PlotGeometry PlotGeometryFor(double scaleWidth, double scaleHeight);

// y of tick i (0 to 16) on the vertical axis.
float TickY(const PlotGeometry& geometry, int i);

// The four scale columns, left of the plot area.
enum class ScaleColumn { Celsius, Humidity, Fahrenheit, Co2 };
float ScaleColumnX(const PlotGeometry& geometry, ScaleColumn column);
QColor ScaleColumnColour(ScaleColumn column);

// The value at long tick j (0 to 8) of a scale from min to max.
double ScaleLabelValue(float min, float max, int j);
// A scale label: the value rounded to two decimals, in its shortest form, with a leading blank
// when it is not negative (" 60", "-20", " 7.5").
QString ScaleLabelText(double value);
// Top-left corner of scale label j of a column, centred vertically on its long tick.
QPointF ScaleLabelTopLeft(
    const PlotGeometry& geometry, float columnX, int j, double textWidth, double textHeight);

// The legend above the plot area: six texts with their x and colour, in drawing order.
struct LegendEntry {
    QString text;
    float x;
    QColor colour;
};
constexpr int kLegendCount = 6;
LegendEntry LegendEntryAt(const PlotGeometry& geometry, int index);
float LegendTop(const PlotGeometry& geometry);

// The five traces. Temperature, wet bulb and dew point are scaled on the Celsius pair.
enum class Trace { Temperature, Humidity, WetBulb, DewPoint, Co2 };
constexpr int kTraceCount = 5;
QColor TraceColour(Trace trace);

// The colours of the 16-colour palette of the classic text modes (7 light grey, 15 white).
QColor PaletteColour(int index);

// What the time axis shows at a sample.
enum class TimeMark { None, Label, MidMark };

// The real-time sweep: the next offset from the plot's left edge, back to 0 when it would reach
// the right edge.
float AdvanceSweep(float sweepX, float sampleStep, float plotWidth);
// A time label where the sweep offset rounds (half to even) to a multiple of 60, else a mark
// across the middle grid line where it rounds to a multiple of 30.
TimeMark RealTimeMarkAt(float sweepX);

// The file graph: record k (from 1) of pointCount plotted records is labelled when it is the
// first, the last, or at a quarter, half or three quarters; else marked at an eighth.
TimeMark FileMarkAt(int k, float pointCount);

// The short mark across the middle grid line: from yTop down to yBottom.
float MidMarkTop(const PlotGeometry& geometry);
float MidMarkBottom(const PlotGeometry& geometry);

// Left edge of a time label centred on x; the first record's label of the file graph is moved
// 20 pixels further left so it stays clear of the axis.
float TimeLabelLeft(float x, double textWidth, bool firstRecord);
// Top of the time labels and of the band blanked under them.
float TimeLabelTop(const PlotGeometry& geometry);

// A text on a line of labels: its left edge and width; hidden when it gave way to a neighbour.
struct LabelSpan {
    double left = 0;
    double width = 0;
    bool shown = true;
};
// The room kept between two labels on a line.
constexpr double kLabelGap = 3;

// The file graph's time labels, left to right: each is moved inside 0..clientWidth where it
// sticks out. The first and the last are always shown (the last given way to the first only if
// the two would overlap). One between them may slide by up to a third of its width to keep
// clear of its neighbours, and is left out only where even that would not keep it clear.
void FitTimeLabels(std::vector<LabelSpan>& labels, double clientWidth);
// One row of scale labels, left to right, against the tick marks at rightBound: a label keeps its
// place where there is room, else moves left to keep clear of the ticks and of its right
// neighbour; one that then sticks out left of 0 moves right, and gives way (hidden) where that
// would run it into its right neighbour.
void FitScaleLabelRow(std::vector<LabelSpan>& row, double rightBound);
