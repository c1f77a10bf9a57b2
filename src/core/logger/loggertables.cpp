#include "loggertables.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace
{
int Byte(const QByteArray& bytes, int index)
{
    return index < bytes.size() ? static_cast<quint8>(bytes.at(index)) : 0;
}

// The two upper-case hexadecimal digits of a byte: 0x09 gives "09", 0x1A gives "1A".
void PutHexDigits(QChar* at, int value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    at[0] = QLatin1Char(kDigits[(value >> 4) & 0xF]);
    at[1] = QLatin1Char(kDigits[value & 0xF]);
}
} // namespace

SetHeader DecodeSetHeader(const QByteArray& header)
{
    SetHeader h;
    h.recordCount = Byte(header, 0) * 256 + Byte(header, 1);
    QChar time[8] = { {}, {}, QLatin1Char(':'), {}, {}, QLatin1Char(':'), {}, {} };
    PutHexDigits(time, Byte(header, 3));
    PutHexDigits(time + 3, Byte(header, 4));
    PutHexDigits(time + 6, Byte(header, 5));
    h.startTime = QString(time, 8);
    h.intervalSeconds = Byte(header, 6) * 256 + Byte(header, 7);
    return h;
}

int MemoryGaugePercent(int setCount, quint32 writeAddress)
{
    if (setCount >= kLoggerFullSetCount)
        return 100;
    const double used = static_cast<double>(writeAddress) - kLoggerFirstAddress;
    const double percent = std::nearbyint(used / kLoggerCapacityBytes * 100.0);
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

qint64 ExpectedRecordBytes(int setCount, quint32 writeAddress)
{
    return static_cast<qint64>(writeAddress) - kLoggerFirstAddress
        - static_cast<qint64>(kSetHeaderBytes) * setCount;
}

int DownloadProgressPercent(qint64 received, qint64 expected)
{
    if (received <= 0)
        return 0;
    if (expected <= 0 || received >= expected)
        return 100;
    return static_cast<int>(received * 100 / expected);
}

QStringList SetRowCells(const LoggerTables& tables, int set)
{
    if (set < 1 || set >= LoggerTables::kEntries)
        return {};
    return { QString::number(set), tables.LoggerSetStartTimes[set],
        QString::number(tables.LoggerSetCounts[set]),
        QString::number(tables.LoggerSetIntervals[set]) };
}
