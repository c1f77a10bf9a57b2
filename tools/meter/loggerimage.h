#pragma once

#include "meter/protocol.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

enum class LoggerSetKind { Normal, NoData, Overload, Co2Over, Mixed };

// One recording session to put in the logger: how many records, when it started, how often it
// logged and what kind of readings it holds. `repeat` stores the same set several times.
struct LoggerSetPlan {
    int records = 0;
    int startHour = 12;
    int startMinute = 0;
    int startSecond = 0;
    int intervalSeconds = 60;
    LoggerSetKind kind = LoggerSetKind::Normal;
    int repeat = 1;

    // "RECORDS[,START=hh:mm:ss][,INTERVAL=s][,KIND=normal|nodata|overload|co2over|mixed][,REPEAT=n]"
    static bool parse(const QString& text, LoggerSetPlan* plan, QString* error);
    // The 8-byte set header: record count, an unused byte, start time in BCD, interval.
    QByteArray header() const;
};

// The meter's logger memory from its base address upward: sets back to back, each an 8-byte
// header followed by 8-byte records.
class LoggerImage
{
public:
    static constexpr int kBaseAddress = kLoggerFirstAddress;
    static constexpr int kCapacity = kLoggerCapacityBytes;
    static constexpr int kMaxSets = 255;
    static constexpr int kHeaderSize = kSetHeaderBytes;
    static constexpr int kRecordSize = kRecordBytes;

    // Fills the memory with these sets; record contents follow from the seed. Returns false,
    // leaving the image empty, when the sets do not fit (too many, or too many bytes).
    bool build(const std::vector<LoggerSetPlan>& plans, std::uint64_t seed, QString* error);

    // A few small sets: 70 records (two full pieces and a remainder), an empty set, a set
    // across midnight and a set of marked and edge-case records.
    static std::vector<LoggerSetPlan> defaultLayout();
    // Eight sets filling the whole memory exactly (see README.md).
    static std::vector<LoggerSetPlan> fullMemoryLayout();

    int setCount() const { return int(m_setOffsets.size()); }
    int usedBytes() const { return int(m_bytes.size()); }
    int writeAddress() const { return kBaseAddress + usedBytes(); }
    // All sets back to back, as the dump sends them.
    const QByteArray& bytes() const { return m_bytes; }
    int setOffset(int index) const { return m_setOffsets.at(std::size_t(index)); }
    int setRecords(int index) const { return m_setRecords.at(std::size_t(index)); }

    // The 15-byte frame that opens a dump: AA 55 ... AA, set count, write address (24-bit).
    QByteArray signature() const;

private:
    QByteArray m_bytes;
    std::vector<int> m_setOffsets;
    std::vector<int> m_setRecords;
};
