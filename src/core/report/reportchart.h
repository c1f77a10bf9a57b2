#pragma once

#include "chartaxes.h"

#include <QRectF>

#include <vector>

class QPainter;
struct ReportFigures;

// One pixel column of the chart: the lowest and highest value of its records; empty when no
// record of the quantity falls in it. Two records in a row are joined by the trace when both
// have a reading and their spacing is no gap; joinsPrevious says that the first record of the
// column is joined to the last one of the nearest column before it that is not empty, and alone
// that no record of the column is joined to one of another column (it is drawn as a dot).
struct ChartColumn {
    bool empty = true;
    double low = 0;
    double high = 0;
    bool joinsPrevious = false;
    bool alone = true;
};
// The records' values of one quantity (0 CO2, 1 temperature, 2 humidity, in ppm or tenths)
// gathered into columns evenly over the timeline.
std::vector<ChartColumn> ChartColumns(
    const ReportFigures& figures, const ChartTimeline& timeline, int quantity, int columns);

// The time chart of the whole period in area (device pixels; mm gives pixels per millimetre):
// CO2 on the left axis, temperature and relative humidity on the right, the CO2 limits as
// faint bands, clock-time labels with the date at each day change. Each pixel column shows the
// lowest and the highest value of its records, so a short peak in a long period still shows;
// the columns are joined along the records, a record that stands alone is a dot, and a step
// back of the clock is a dashed line.
void DrawChart(QPainter& painter, const QRectF& area, double mm, const ReportFigures& figures);
