#include "chartaxes.h"

#include "reportfigures.h"
#include "reporttexts.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace
{
// How far inside the frame a value stays, as a share of the scale: clear of a trace's and the
// frame's half widths at the chart's size.
constexpr double kOffFrame = 0.01;

constexpr qint64 kTimeSteps[] = { 1, 2, 5, 10, 15, 30, 60, 300, 600, 900, 1800, 3600, 7200, 10800,
    21600, 43200, 86400, 2 * 86400, 7 * 86400, 14 * 86400, 28 * 86400 };
constexpr qint64 kMostTimeLabels = 7;

ChartScale NiceWithin(double low, double high, int divisions, double floor, double ceiling)
{
    ChartScale scale = NiceScale(std::max(low, floor), std::min(high, ceiling), divisions);
    if (scale.low < floor)
        scale.low = floor;
    if (scale.high() > ceiling)
        scale.low = ceiling - scale.step * divisions;
    if (scale.low < floor)
        scale = { floor, (ceiling - floor) / divisions, divisions };
    return scale;
}
} // namespace

ChartScale NiceScale(double low, double high, int divisions)
{
    if (!(high > low))
        high = low + 1;
    const double raw = (high - low) / divisions;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (;;) {
        for (const double factor : { 1.0, 2.0, 2.5, 5.0 }) {
            const double step = factor * power;
            const double start = std::floor(low / step + 1e-9) * step;
            if (start + step * divisions >= high - 1e-9)
                return { start, step, divisions };
        }
        power *= 10;
    }
}

ChartScale FittedScale(
    double low, double high, double minSpan, int divisions, double floor, double ceiling)
{
    const double dataLow = low;
    const double dataHigh = high;
    if (high - low < minSpan) {
        const double middle = (low + high) / 2;
        low = middle - minSpan / 2;
        high = middle + minSpan / 2;
        if (low < floor) {
            high += floor - low;
            low = floor;
        }
        if (high > ceiling) {
            low = std::max(floor, low - (high - ceiling));
            high = ceiling;
        }
    }
    ChartScale scale = NiceWithin(low, high, divisions, floor, ceiling);
    const double margin = kOffFrame * (scale.high() - scale.low);
    if ((dataLow > floor && dataLow - scale.low < margin)
        || (dataHigh < ceiling && scale.high() - dataHigh < margin))
        scale = NiceWithin(low - margin, high + margin, divisions, floor, ceiling);
    return scale;
}

QString ScaleText(double value, double step)
{
    int decimals = 0;
    while (decimals < 2) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::abs(scaled - std::round(scaled)) < 1e-6)
            break;
        ++decimals;
    }
    if (std::abs(value) < step * 1e-9)
        value = 0; // no "-0"
    return QString::number(value, 'f', decimals);
}

ChartTimeline ChartTimelineOf(const ReportFigures& figures)
{
    ChartTimeline timeline;
    const auto& samples = figures.samples;
    if (samples.empty())
        return timeline;
    qint64 shift = 0;
    size_t start = 0;
    for (size_t k = 0; k <= figures.steps.size(); ++k) {
        const size_t end = k < figures.steps.size() ? static_cast<size_t>(figures.steps[k].record)
                                                    : samples.size();
        timeline.stretches.push_back({ samples[start].seconds, samples[end - 1].seconds, shift });
        if (k < figures.steps.size())
            shift += figures.steps[k].seconds;
        start = end;
    }
    timeline.from = figures.first;
    timeline.to = figures.first + std::max<qint64>(figures.duration(), 0);
    if (timeline.to == timeline.from) {
        timeline.from -= 30;
        timeline.to += 30;
        timeline.stretches.front().from -= 30;
        timeline.stretches.back().to += 30;
    }
    return timeline;
}

void FitLabelRow(std::vector<ChartLabel>& row, double from, double to, double gap)
{
    for (ChartLabel& label : row) {
        label.left = std::max(from, std::min(label.left, to - label.width));
        label.shown = true;
    }
    if (row.size() < 2)
        return;
    const ChartLabel& first = row.front();
    const ChartLabel& last = row.back();
    if (last.left < first.left + first.width + gap) {
        for (size_t i = 1; i < row.size(); ++i)
            row[i].shown = false;
        return;
    }
    double clearFrom = first.left + first.width + gap;
    for (size_t i = 1; i + 1 < row.size(); ++i) {
        ChartLabel& label = row[i];
        label.shown = label.left >= clearFrom && label.left + label.width + gap <= last.left;
        if (label.shown)
            clearFrom = label.left + label.width + gap;
    }
}

ChartTimeAxis TimeAxisOf(const ReportFigures& figures, const ChartTimeline& timeline, double left,
    double width, double rowLeft, double rowRight, double gap,
    const std::function<double(const QString&)>& widthOf)
{
    ChartTimeAxis axis;
    const QDate date = figures.settings.firstDate;
    const qint64 span = std::max<qint64>(timeline.to - timeline.from, 1);
    qint64 step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (const qint64 candidate : kTimeSteps) {
        if (span / candidate <= kMostTimeLabels) {
            step = candidate;
            break;
        }
    }
    const bool wholeDays = step >= 86400;
    const auto xOf = [&](qint64 t) { return left + double(t - timeline.from) / span * width; };
    const auto label = [&widthOf](const QString& text, double x) {
        ChartLabel made;
        made.text = text;
        made.width = widthOf(text);
        made.left = x - made.width / 2;
        return made;
    };

    qint64 previousDay = -1;
    qint64 firstLabelDay = -1;
    for (size_t k = 0; k < timeline.stretches.size(); ++k) {
        const ChartTimeline::Stretch& stretch = timeline.stretches[k];
        if (k > 0)
            axis.clockSteps.push_back(xOf(stretch.from + stretch.shift));
        const qint64 start = std::max<qint64>(0, stretch.from);
        for (qint64 t = (start + step - 1) / step * step; t <= stretch.to; t += step) {
            const double x = xOf(t + stretch.shift);
            const qint64 day = t / 86400;
            axis.ticks.push_back(x);
            if (wholeDays) {
                axis.times.push_back(label(DateText(date, t), x));
            } else {
                axis.times.push_back(
                    label(step < 60 ? StampText(date, t).mid(11) : ClockText(t), x));
                if (day != previousDay)
                    axis.dates.push_back(label(DateText(date, t), x));
            }
            if (firstLabelDay < 0)
                firstLabelDay = day;
            previousDay = day;
        }
    }
    FitLabelRow(axis.times, rowLeft, rowRight, gap);
    FitLabelRow(axis.dates, rowLeft, rowRight, gap);

    const qint64 firstDay = figures.first / 86400;
    axis.firstDate.text = DateText(date, figures.first);
    axis.firstDate.width = widthOf(axis.firstDate.text);
    axis.firstDate.left = left;
    const auto next = std::find_if(
        axis.dates.begin(), axis.dates.end(), [](const ChartLabel& l) { return l.shown; });
    axis.firstDate.shown = firstLabelDay != firstDay
        && (next == axis.dates.end()
            || axis.firstDate.left + axis.firstDate.width + gap <= next->left);
    return axis;
}
