#pragma once

#include <QtGlobal>

#include <vector>

// How often each whole value occurred: CO2 in ppm and the other quantities in tenths are whole
// numbers, so the median and any percentile come out exact from these counts, in memory bounded
// by the range of the values rather than their number.
class ValueCounts
{
public:
    void add(qint32 value);
    qint64 total() const { return m_total; }
    // The value at a rank from 1 (the smallest) to total(), in ascending order.
    qint32 atRank(qint64 rank) const;
    // The nearest-rank percentile: the smallest value that at least percent % of the values do
    // not exceed. Needs total() > 0.
    qint32 percentile(int percent) const;

private:
    qint32 m_low = 0;
    std::vector<qint64> m_counts;
    qint64 m_total = 0;
};
