#pragma once

#include "reportrecord.h"
#include "reportsettings.h"

#include <QStringList>

#include <array>
#include <limits>
#include <vector>

// What the chart needs of one record: its time since midnight of the first record's day and
// the values it plots (markers as in reportrecord.h).
struct ChartSample {
    qint32 seconds;
    qint32 co2;
    qint32 temperature;
    qint32 humidity;
};

// The statistics of one quantity over the records that hold a reading of it. Values in ppm or
// tenths; times in seconds since midnight of the first record's day.
struct QuantityFigures {
    qint64 readings = 0;
    qint64 missing = 0; // "----"
    qint64 overRange = 0; // "OL"
    qint64 underRange = 0; // "-OL"
    qint32 min = 0;
    qint64 minAt = 0;
    qint32 max = 0;
    qint64 maxAt = 0;
    qint32 mean = 0; // in ppm or tenths, rounded (halves away from zero)
    qint32 median = 0;
    qint32 percentile95 = 0;
};

// Time in seconds, and its share of the time it is a part of (0 to 1; negative when that time
// is nothing).
struct TimeShare {
    qint64 seconds = 0;
    double share = -1;
};

// The clock set back between two records (by 12 hours or less; a longer fall is the next day):
// the record after it is record `record` (from 0), from and to are the two records' times, and
// seconds is the time the clock repeats: from - to plus one interval, which the record before
// the step stands for. Where the dates file names the step (a clock set, a change of UTC
// offset) seconds is the step itself, and negative where the clock skips forward.
struct ClockStep {
    enum class Kind { SetBack, ClockSet, DaylightSaving };
    qint64 record = 0;
    qint64 from = 0;
    qint64 to = 0;
    qint64 seconds = 0;
    Kind kind = Kind::SetBack;
};

// Where the dates of one source (a file, a list) came from: carried on from the record before
// by the time of day (no dates file), or a dates file's.
enum class SourceDates { CarriedOn, Recorded, WorkedOut };
// A UTC offset that is not known (the dates were not recorded).
constexpr int kNoOffset = std::numeric_limits<int>::min();

// One source of the records, the samples it gave (indices into samples; none when first is -1)
// and its first and last record numbers.
struct ReportPart {
    QString name;
    SourceDates dates = SourceDates::CarriedOn;
    qint64 firstSample = -1;
    qint64 lastSample = -1;
    qint64 firstNumber = -1;
    qint64 lastNumber = -1;
};

// A gap between the samples record - 1 and record: their times and the time between them (the
// wall-clock difference less a known step of the clock). outage: records of a silent meter lie
// in it.
struct ReportGap {
    qint64 record = 0;
    qint64 from = 0;
    qint64 to = 0;
    qint64 seconds = 0;
    bool outage = false;
};

// Records of a silent meter, left out of every figure: the first one's number, how many, the
// time of the first and the time of the record after them (of the last, when none follows).
struct ReportOutage {
    qint64 firstNumber = 0;
    qint64 records = 0;
    qint64 from = 0;
    qint64 to = 0;
    qint64 sample = 0; // the sample after them (the count of samples when none follows)
};

// A spacing between two records in a row that is a gap: more than twice the interval.
inline bool IsGap(qint64 spacing, qint64 interval)
{
    return interval > 0 && spacing > 2 * interval;
}

// Everything a report states, worked out from the records.
struct ReportFigures {
    ReportSettings settings;
    QStringList sources;
    QStringList warnings;
    qint64 records = 0;

    // Period: seconds since midnight of the first record's day (settings.firstDate).
    qint64 first = 0;
    qint64 last = 0;
    qint64 interval = 0; // the median spacing; 0 with a single record
    qint64 gapCount = 0;
    qint64 gapSeconds = 0;
    // Each step back of the clock, in order; the time they repeat in all.
    std::vector<ClockStep> steps;
    qint64 steppedBack = 0;
    // Each gap, the records of a silent meter left out, and where the dates came from: each
    // source's part of the samples, the UTC offset from a sample on (kNoOffset: not known), and
    // the first record's date as its dates file names it (invalid without one).
    std::vector<ReportGap> gaps;
    std::vector<ReportOutage> outages;
    std::vector<ReportPart> parts;
    std::vector<std::pair<qint64, int>> offsets;
    QDate datedFirstDate;
    // With no spacing to weigh by (a single record, or all at one time) every record counts
    // once, and the shares are shares of records.
    bool sharesOfRecords = false;

    std::array<QuantityFigures, kQuantities> quantities;

    // CO2: the time with a reading (an "OL" counts, it lies above every limit), the four bands
    // (below the first limit, between the limits, from the last limit up), the longest stretch
    // from the middle limit up, the shares within 550, 800 and 1350 ppm above outdoor air and
    // the category they give ("I" to "IV"; empty without CO2 readings).
    qint64 co2Seconds = 0;
    std::array<TimeShare, 4> bands;
    qint64 longestAboveSeconds = 0;
    qint64 longestAboveFrom = 0;
    std::array<double, 3> categoryShares { -1, -1, -1 };
    QString category;

    // Comfort: in range, of the time with a reading of that quantity (both: with both).
    TimeShare comfortTemp;
    TimeShare comfortHumidity;
    TimeShare comfortBoth;

    std::vector<ChartSample> samples;

    // The time the records cover, from the first to the last: with the clock set back, the
    // times it repeats count again, so this is longer than last - first.
    qint64 duration() const { return last - first + steppedBack; }

    const QuantityFigures& operator[](Quantity q) const { return quantities[static_cast<int>(q)]; }
};

// The EN 16798-1 limits above outdoor air of categories I, II and III.
constexpr std::array<qint32, 3> kCategoryLimits { 550, 800, 1350 };
