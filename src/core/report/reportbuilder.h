#pragma once

#include "reportdates.h"
#include "reportfigures.h"
#include "valuecounts.h"

#include <map>

// Works out a report's figures from records handed to it one at a time, in the order of the
// recording. Sources (files, a list) are named before their records, so that record numbers
// that do not carry on from one source to the next give a warning. A source with a fitting
// dates file dates its records by it (reportdates.h) and leaves out those of a silent meter.
class ReportBuilder
{
public:
    explicit ReportBuilder(const ReportSettings& settings);

    void beginSource(const QString& name, const RecordingDates* dates = nullptr);
    void add(const ReportRecord& record);
    void warn(const QString& text) { m_figures.warnings.append(text); }
    qint64 records() const { return static_cast<qint64>(m_figures.samples.size()); }

    // The figures; the builder is spent.
    ReportFigures finish();

private:
    struct Running {
        ValueCounts counts;
        qint64 sum = 0;
    };

    ReportFigures m_figures;
    std::array<Running, kQuantities> m_running;
    std::map<qint64, qint64> m_spacings;
    std::vector<qint64> m_stepsBack; // the records that come after a step back of the clock
    // The records at a step of the clock the dates name, with the step.
    struct KnownStep {
        qint64 record;
        qint64 shift;
        bool daylightSaving;
    };
    std::vector<KnownStep> m_knownSteps;
    std::vector<qint64> m_afterOutages; // the records that come after a silent meter's
    bool m_inOutage = false;
    RecordDater m_dater;
    qint64 m_previousNumber = -1;
    QString m_previousSource;
    bool m_sourceStarts = false;
};
