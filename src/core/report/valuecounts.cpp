#include "valuecounts.h"

#include <algorithm>

void ValueCounts::add(qint32 value)
{
    if (m_counts.empty()) {
        m_low = value;
        m_counts.assign(1, 0);
    }
    const qint64 size = static_cast<qint64>(m_counts.size());
    if (value < m_low) {
        // Grow by at least half the range, so that values arriving in falling order still cost
        // amortised constant time.
        const qint64 grow = std::max<qint64>(qint64(m_low) - value, size / 2 + 16);
        m_counts.insert(m_counts.begin(), static_cast<size_t>(grow), 0);
        m_low = static_cast<qint32>(m_low - grow);
    } else if (qint64(value) - m_low >= size) {
        const qint64 need = qint64(value) - m_low + 1;
        m_counts.resize(static_cast<size_t>(std::max<qint64>(need, size + size / 2 + 16)), 0);
    }
    ++m_counts[static_cast<size_t>(qint64(value) - m_low)];
    ++m_total;
}

qint32 ValueCounts::atRank(qint64 rank) const
{
    qint64 seen = 0;
    for (size_t i = 0; i < m_counts.size(); ++i) {
        seen += m_counts[i];
        if (seen >= rank)
            return static_cast<qint32>(m_low + static_cast<qint64>(i));
    }
    return static_cast<qint32>(m_low + static_cast<qint64>(m_counts.size()) - 1);
}

qint32 ValueCounts::percentile(int percent) const
{
    // The rank ceil(percent / 100 x total), at least 1, in whole numbers.
    const qint64 rank = std::max<qint64>(1, (m_total * percent + 99) / 100);
    return atRank(rank);
}
