#pragma once

#include "reportfigures.h"
#include "valuecounts.h"

#include <map>

// Works out a report's figures from records handed to it one at a time, in the order of the
// recording. Sources (files, a list) are named before their records, so that record numbers
// that do not carry on from one source to the next give a warning.
class ReportBuilder
{
public:
    explicit ReportBuilder(const ReportSettings& settings);

    void beginSource(const QString& name);
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
    qint64 m_day = 0;
    int m_previousTime = -1;
    qint64 m_previousNumber = -1;
    QString m_previousSource;
    bool m_sourceStarts = false;
};
