#include "loggerstore.h"

#include "setdates.h"

#include <algorithm>

LoggerStore::LoggerStore(LoggerTables& tables, QObject* parent)
    : QObject(parent)
    , m_tables(tables)
{
}

void LoggerStore::BeginLoggerDownload(int setCount, quint32 writeAddress)
{
    m_setCount = setCount;
    m_expected = ExpectedRecordBytes(setCount, writeAddress);
    m_received = 0;
    m_progress = 0;
    Q_EMIT downloadBegun(MemoryGaugePercent(setCount, writeAddress));
}

int LoggerStore::StoreSetHeader(int set, const QByteArray& header)
{
    if (!holdsSet(set))
        return 0;
    const SetHeader h = DecodeSetHeader(header);
    m_tables.LoggerSetData[set] = header;
    m_tables.LoggerSetCounts[set] = h.recordCount;
    m_tables.LoggerSetStartTimes[set] = h.startTime;
    m_tables.LoggerSetIntervals[set] = h.intervalSeconds;
    return kRecordBytes * h.recordCount;
}

void LoggerStore::AppendSetBytes(int set, const QByteArray& bytes)
{
    if (!holdsSet(set))
        return;
    QByteArray& data = m_tables.LoggerSetData[set];
    // The record bytes come piece by piece: with the first, room for all of them (a header that
    // claims more than the memory holds ends the download, so that much at most).
    if (data.size() <= kSetHeaderBytes) {
        data.reserve(kSetHeaderBytes
            + std::min(qint64(kRecordBytes) * m_tables.LoggerSetCounts[set], kLoggerCapacityBytes));
    }
    data += bytes;
    // Past the expected total the count stops, so the bar never passes 100.
    m_received = m_expected > 0 ? std::min(m_received + bytes.size(), m_expected)
                                : m_received + bytes.size();
    const int percent = DownloadProgressPercent(m_received, m_expected);
    if (percent == m_progress)
        return;
    m_progress = percent;
    Q_EMIT progressChanged(percent);
}

void LoggerStore::AddLoggerSet(int set)
{
    if (!holdsSet(set))
        return;
    Q_EMIT setAdded(SetRowCells(m_tables, set));
}

void LoggerStore::downloadEnded(const QDateTime& now)
{
    WorkOutSetDates(m_tables, m_setCount, now);
}

void LoggerStore::downloadBroken(int)
{
    // Nothing is kept of a set the meter stopped sending; the download itself reports the stop.
}
