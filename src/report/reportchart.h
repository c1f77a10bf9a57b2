#pragma once

#include <QRectF>

#include <vector>

class QPainter;
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

// One pixel column of the chart: the lowest and highest value of its records; empty when no
// record of the quantity falls in it.
struct ChartColumn {
    bool empty = true;
    double low = 0;
    double high = 0;
};
// The records' values of one quantity (0 CO2, 1 temperature, 2 humidity, in ppm or tenths)
// gathered into columns evenly over the time from the first to the last record.
std::vector<ChartColumn> ChartColumns(const ReportFigures& figures, int quantity, int columns);

// The time chart of the whole period in area (device pixels; mm gives pixels per millimetre):
// CO2 on the left axis, temperature and relative humidity on the right, the CO2 limits as
// faint bands, clock-time labels with the date at each day change. Each pixel column shows the
// lowest and the highest value of its records, so a short peak in a long period still shows.
void DrawChart(QPainter& painter, const QRectF& area, double mm, const ReportFigures& figures);
