#pragma once

#include "graphsstate.h"
#include "plotgeometry.h"

#include <QString>

class QColor;
class QPainter;

// The drawing steps both graphs share. Each draws with the painter's font in logical pixels,
// so the same routine draws to a window's back buffer or to any other paint device.

// The frame on a blank client area: the two axes, the tick marks, the four scale columns and
// the legend; the plot area is filled white when fillPlotArea is set.
void DrawFrame(
    QPainter& painter, const PlotGeometry& geometry, const ScaleLimits& limits, bool fillPlotArea);

// The grid in palette colour gridColour: the solid middle line and seven dotted lines at the
// eighths (none on the baseline). Leaves the pen dotted; callers set it back to solid.
void DrawGrid(QPainter& painter, const PlotGeometry& geometry, int gridColour);

// A dotted vertical line at x from the baseline to 10 pixels above the plot area.
void DrawTimeLine(QPainter& painter, const PlotGeometry& geometry, float x, int gridColour);
// The short vertical mark at x across the middle grid line.
void DrawMidMark(QPainter& painter, const PlotGeometry& geometry, float x, int gridColour);

// A box filled with colour, both corners included.
void FillBox(QPainter& painter, float x1, float y1, float x2, float y2, const QColor& colour);
// text in colour with its top-left corner at (left, top).
void DrawTextAt(
    QPainter& painter, const QString& text, double left, double top, const QColor& colour);
// Measures of the painter's font on its device.
double TextWidth(const QPainter& painter, const QString& text);
double TextHeight(const QPainter& painter);
