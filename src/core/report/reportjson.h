#pragma once

#include <QByteArray>

struct ReportFigures;

// The figures of a report as JSON: title, sources, where the dates came from, the parts with
// their record ranges, period (gaps, records of a silent meter, steps of the clock), readings
// missing, statistics, band times, the longest stretch, the category and comfort. Values in
// ppm, in the unit of the temperatures and in %RH; times as "yyyy-MM-ddTHH:mm:ss" (followed by
// the UTC offset where the dates name it) and seconds; shares from 0 to 1 (null where there is
// nothing to share).
QByteArray ReportJson(const ReportFigures& figures);
