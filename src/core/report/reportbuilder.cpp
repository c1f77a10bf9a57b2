#include "reportbuilder.h"

#include <algorithm>

namespace
{

// The band of a CO2 value: a value at a limit belongs to the band above it.
int BandOf(qint32 co2, const std::array<qint32, 3>& limits)
{
    if (co2 == kOverRange)
        return 3;
    int band = 0;
    while (band < 3 && co2 >= limits[band])
        ++band;
    return band;
}

bool HasCo2(qint32 co2)
{
    return IsReading(co2) || co2 == kOverRange;
}

// At least 95 % of the whole, in whole numbers so that exactly 95 % counts.
bool AtLeast95Percent(qint64 part, qint64 whole)
{
    return whole > 0 && part * 100 >= whole * 95;
}

TimeShare ShareOf(qint64 part, qint64 whole)
{
    return { part, whole > 0 ? double(part) / double(whole) : -1.0 };
}

// sum / count rounded to a whole number, halves away from zero, in whole numbers so that a mean
// of 219.5 tenths is 220 and never 219 by a binary fraction.
qint32 RoundedMean(qint64 sum, qint64 count)
{
    const qint64 magnitude = (2 * (sum < 0 ? -sum : sum) + count) / (2 * count);
    return static_cast<qint32>(sum < 0 ? -magnitude : magnitude);
}
} // namespace

ReportBuilder::ReportBuilder(const ReportSettings& settings)
{
    m_figures.settings = settings;
}

void ReportBuilder::beginSource(const QString& name, const RecordingDates* dates)
{
    m_figures.sources.append(name);
    m_sourceStarts = true;
    ReportPart part;
    part.name = name;
    if (dates)
        part.dates = dates->source == DatesSource::WorkedOut ? SourceDates::WorkedOut
                                                             : SourceDates::Recorded;
    m_figures.parts.push_back(part);
    m_dater.beginSource(dates);
    m_inOutage = false;
}

void ReportBuilder::add(const ReportRecord& record)
{
    ReportFigures& f = m_figures;
    if (m_sourceStarts) {
        m_sourceStarts = false;
        if (m_previousNumber >= 0 && record.number != m_previousNumber + 1)
            warn(QStringLiteral("%1 starts at record %2, which does not follow record %3 of %4")
                     .arg(f.sources.back())
                     .arg(record.number)
                     .arg(m_previousNumber)
                     .arg(m_previousSource));
        m_previousSource = f.sources.isEmpty() ? QString() : f.sources.back();
    }
    m_previousNumber = record.number;
    if (f.parts.empty())
        f.parts.push_back({});
    ReportPart& part = f.parts.back();
    if (part.firstNumber < 0)
        part.firstNumber = record.number;
    part.lastNumber = record.number;

    const RecordStamp stamp = m_dater.date(record.number, record.secondsOfDay);
    const qint64 at = stamp.at;
    if (stamp.silent) {
        if (!m_inOutage)
            f.outages.push_back(
                { record.number, 0, at, at, static_cast<qint64>(f.samples.size()) });
        m_inOutage = true;
        ++f.outages.back().records;
        f.outages.back().to = at;
        return;
    }
    const qint64 index = static_cast<qint64>(f.samples.size());
    if (m_inOutage) {
        m_inOutage = false;
        f.outages.back().to = at;
        if (index > 0)
            m_afterOutages.push_back(index);
    }
    if (f.offsets.empty() ? stamp.offset != kNoOffset : f.offsets.back().second != stamp.offset)
        f.offsets.emplace_back(index, stamp.offset);
    if (part.firstSample < 0)
        part.firstSample = index;
    part.lastSample = index;
    if (index > 0) {
        const qint64 wall = at - f.samples.back().seconds;
        const qint64 spacing = wall - stamp.shift;
        if (stamp.shift != 0 && spacing >= 0) {
            m_knownSteps.push_back({ index, stamp.shift, stamp.daylightSaving });
            ++m_spacings[spacing];
        } else if (wall < 0) {
            m_stepsBack.push_back(index);
        } else {
            ++m_spacings[wall];
        }
    }

    for (int q = 0; q < kQuantities; ++q) {
        const qint32 value = record.value[q];
        QuantityFigures& figures = f.quantities[q];
        if (value == kNoReading) {
            ++figures.missing;
        } else if (value == kOverRange) {
            ++figures.overRange;
        } else if (value == kUnderRange) {
            ++figures.underRange;
        } else {
            if (figures.readings == 0 || value < figures.min) {
                figures.min = value;
                figures.minAt = at;
            }
            if (figures.readings == 0 || value > figures.max) {
                figures.max = value;
                figures.maxAt = at;
            }
            ++figures.readings;
            m_running[q].sum += value;
            m_running[q].counts.add(value);
        }
    }
    f.samples.push_back({ static_cast<qint32>(at), record[Quantity::Co2],
        record[Quantity::Temperature], record[Quantity::Humidity] });
}

ReportFigures ReportBuilder::finish()
{
    ReportFigures& f = m_figures;
    const auto& samples = f.samples;
    const qint64 n = static_cast<qint64>(samples.size());
    f.records = n;
    for (int q = 0; q < kQuantities; ++q) {
        QuantityFigures& figures = f.quantities[q];
        if (figures.readings == 0)
            continue;
        figures.mean = RoundedMean(m_running[q].sum, figures.readings);
        figures.median = m_running[q].counts.percentile(50);
        figures.percentile95 = m_running[q].counts.percentile(95);
    }
    f.datedFirstDate = m_dater.firstDate();
    if (n == 0)
        return std::move(f);
    f.first = samples.front().seconds;
    f.last = samples.back().seconds;

    // The sampling interval is the median spacing (the lower one of an even count); a step back
    // of the clock is no spacing.
    const qint64 spacings = n - 1 - static_cast<qint64>(m_stepsBack.size());
    if (spacings > 0) {
        const qint64 rank = (spacings + 1) / 2;
        qint64 seen = 0;
        for (const auto& [spacing, count] : m_spacings) {
            seen += count;
            if (seen >= rank) {
                f.interval = std::max<qint64>(spacing, 0);
                break;
            }
        }
    }
    const qint64 cap = 2 * f.interval;
    // The clock's steps in record order: set back (from the times of day alone), or named by
    // the dates. The times the clock repeats count again; the times it skips do not count.
    size_t known = 0;
    size_t back = 0;
    while (known < m_knownSteps.size() || back < m_stepsBack.size()) {
        const bool isKnown = back == m_stepsBack.size()
            || (known < m_knownSteps.size() && m_knownSteps[known].record < m_stepsBack[back]);
        const qint64 record = isKnown ? m_knownSteps[known].record : m_stepsBack[back];
        const qint64 from = samples[static_cast<size_t>(record - 1)].seconds;
        const qint64 to = samples[static_cast<size_t>(record)].seconds;
        if (isKnown) {
            const KnownStep& step = m_knownSteps[known++];
            f.steps.push_back({ record, from, to, -step.shift,
                step.daylightSaving ? ClockStep::Kind::DaylightSaving
                                    : ClockStep::Kind::ClockSet });
        } else {
            ++back;
            f.steps.push_back({ record, from, to, from - to + f.interval });
        }
        f.steppedBack += f.steps.back().seconds;
    }

    // A record weighs its spacing to the next one, at most twice the interval, so that a gap
    // is no time in any band; the last record, the one before a step back of the clock and the
    // one before a silent meter's records weigh one interval. So no time counts twice, and the
    // weights add up to the duration and one interval at most. A step the dates name is no
    // spacing: the time between the two records is their difference less the step.
    std::vector<qint64> weights(static_cast<size_t>(n));
    std::vector<bool> afterGaps(static_cast<size_t>(n));
    qint64 total = 0;
    size_t nextKnown = 0;
    size_t nextOutage = 0;
    for (qint64 i = 0; i < n; ++i) {
        qint64 spacing = f.interval;
        bool outage = false;
        if (i + 1 < n) {
            qint64 shift = 0;
            if (nextKnown < m_knownSteps.size() && m_knownSteps[nextKnown].record == i + 1)
                shift = m_knownSteps[nextKnown++].shift;
            if (nextOutage < m_afterOutages.size() && m_afterOutages[nextOutage] == i + 1) {
                outage = true;
                ++nextOutage;
            }
            spacing = qint64(samples[i + 1].seconds) - samples[i].seconds - shift;
            if (spacing >= 0 && (outage || IsGap(spacing, f.interval))) {
                f.gaps.push_back(
                    { i + 1, samples[i].seconds, samples[i + 1].seconds, spacing, outage });
                ++f.gapCount;
                f.gapSeconds += spacing;
                afterGaps[static_cast<size_t>(i + 1)] = true;
            }
        }
        if (spacing < 0)
            spacing = f.interval;
        weights[i] = std::clamp<qint64>(outage ? std::min(spacing, f.interval) : spacing, 0, cap);
        total += weights[i];
    }
    if (total == 0) {
        f.sharesOfRecords = true;
        std::fill(weights.begin(), weights.end(), 1);
    }

    const auto& limits = f.settings.co2Limits;
    std::array<qint64, 4> bandTime {};
    std::array<qint64, 3> withinCategory {};
    qint64 co2Time = 0;
    qint64 stretch = 0;
    qint64 stretchFrom = 0;
    qint64 tempTime = 0, tempIn = 0, rhTime = 0, rhIn = 0, bothTime = 0, bothIn = 0;
    const auto& comfortT = f.settings.comfortTemp;
    const auto& comfortH = f.settings.comfortHumidity;
    for (qint64 i = 0; i < n; ++i) {
        const ChartSample& s = samples[i];
        const qint64 w = weights[i];
        const bool afterGap = afterGaps[static_cast<size_t>(i)];
        if (HasCo2(s.co2)) {
            co2Time += w;
            const int band = BandOf(s.co2, limits);
            bandTime[band] += w;
            for (int c = 0; c < 3; ++c) {
                if (s.co2 != kOverRange && s.co2 - f.settings.outdoorPpm <= kCategoryLimits[c])
                    withinCategory[c] += w;
            }
            if (band >= 2) {
                if (stretch == 0 || afterGap) {
                    stretch = 0;
                    stretchFrom = s.seconds;
                }
                stretch += w;
                if (stretch > f.longestAboveSeconds) {
                    f.longestAboveSeconds = stretch;
                    f.longestAboveFrom = stretchFrom;
                }
            } else {
                stretch = 0;
            }
        } else {
            stretch = 0;
        }
        const bool hasT = IsReading(s.temperature);
        const bool hasH = IsReading(s.humidity);
        const bool inT = hasT && s.temperature >= comfortT[0] && s.temperature <= comfortT[1];
        const bool inH = hasH && s.humidity >= comfortH[0] && s.humidity <= comfortH[1];
        tempTime += hasT ? w : 0;
        tempIn += inT ? w : 0;
        rhTime += hasH ? w : 0;
        rhIn += inH ? w : 0;
        bothTime += hasT && hasH ? w : 0;
        bothIn += inT && inH ? w : 0;
    }
    const qint64 secondsPerWeight = f.sharesOfRecords ? 0 : 1;
    f.co2Seconds = co2Time * secondsPerWeight;
    for (int b = 0; b < 4; ++b) {
        f.bands[b] = ShareOf(bandTime[b], co2Time);
        f.bands[b].seconds *= secondsPerWeight;
    }
    f.longestAboveSeconds *= secondsPerWeight;
    if (co2Time > 0) {
        static const char* const names[] = { "I", "II", "III" };
        f.category = QStringLiteral("IV");
        for (int c = 2; c >= 0; --c) {
            f.categoryShares[c] = double(withinCategory[c]) / double(co2Time);
            if (AtLeast95Percent(withinCategory[c], co2Time))
                f.category = QString::fromLatin1(names[c]);
        }
    }
    f.comfortTemp = ShareOf(tempIn * secondsPerWeight, tempTime * secondsPerWeight);
    f.comfortHumidity = ShareOf(rhIn * secondsPerWeight, rhTime * secondsPerWeight);
    f.comfortBoth = ShareOf(bothIn * secondsPerWeight, bothTime * secondsPerWeight);
    if (f.sharesOfRecords) {
        // Shares of records: recompute the shares, the seconds stay 0.
        f.comfortTemp.share = tempTime > 0 ? double(tempIn) / double(tempTime) : -1;
        f.comfortHumidity.share = rhTime > 0 ? double(rhIn) / double(rhTime) : -1;
        f.comfortBoth.share = bothTime > 0 ? double(bothIn) / double(bothTime) : -1;
    }
    return std::move(f);
}
