#pragma once

#include "meter/protocol.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

// A set count from which the memory counts as full whatever the write address says.
constexpr int kLoggerFullSetCount = 99;

// The downloaded sets, indexed by set number 1 to 255 (entry 0 stays empty). They live for the
// whole run; a download overwrites sets 1 to N and leaves higher entries of an earlier one.
struct LoggerTables {
    static constexpr int kEntries = 256;
    // Each set's 8-byte header followed by its record bytes, as received.
    std::array<QByteArray, kEntries> LoggerSetData;
    // Records in the set (header bytes 1-2).
    std::array<int, kEntries> LoggerSetCounts {};
    // Start time as hours:minutes:seconds (header bytes 4-6).
    std::array<QString, kEntries> LoggerSetStartTimes;
    // Interval in seconds (header bytes 7-8), 0 to 65535 as the meter sent it.
    std::array<int, kEntries> LoggerSetIntervals {};
    // The date-time of the set's first record as worked out when the download ended (with the
    // computer's UTC offset then); invalid when it could not be (setdates.h).
    std::array<QDateTime, kEntries> LoggerSetDates;
};

// What a set header says.
struct SetHeader {
    int recordCount = 0;
    QString startTime;
    int intervalSeconds = 0;
};

// Decodes the 8 header bytes (missing bytes count as 0): the record count and the interval
// big-endian, the start time as the two hexadecimal digits of each of bytes 4, 5 and 6 joined
// with ":" (BCD 0x09 gives "09"; a byte that is not BCD gives letters, e.g. "1A").
SetHeader DecodeSetHeader(const QByteArray& header);

// The share of the logger memory in use, 0 to 100, for the MSize gauge.
int MemoryGaugePercent(int setCount, quint32 writeAddress);

// E: the record bytes the whole download should bring, (A - 1280) - 8 x N (may be 0 or less
// when the signature is odd).
qint64 ExpectedRecordBytes(int setCount, quint32 writeAddress);

// The MBar value, 0 to 100: received / expected, with received never taken above expected,
// rounded down so the bar reaches 100 exactly when the last expected byte is in. With nothing
// expected, any byte fills the bar.
int DownloadProgressPercent(qint64 received, qint64 expected);

// The four GridSet cells of set s: number, start time, records, interval.
QStringList SetRowCells(const LoggerTables& tables, int set);
