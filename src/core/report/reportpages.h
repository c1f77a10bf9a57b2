#pragma once

#include <QString>

class QPagedPaintDevice;
struct ReportFigures;

// The report on A4 portrait pages, vector text and lines, two pages whatever the length of the
// data: the first with the period and the chart, the second with the tables. The device's page
// size and margins are set here.
bool PaintReport(QPagedPaintDevice& device, const ReportFigures& figures);

// The report as a PDF file. False with the reason when the file cannot be written.
bool WriteReportPdf(const ReportFigures& figures, const QString& path, QString* error);

// The footnote: how dew point and wet bulb are computed and where the default limits come from.
QString MethodsNote();
