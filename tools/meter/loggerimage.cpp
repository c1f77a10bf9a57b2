#include "loggerimage.h"

#include "meter/framebytes.h"
#include "rawreading.h"
#include "readingdrift.h"

#include <QStringList>

namespace
{

std::uint8_t bcd(int value)
{
    return std::uint8_t((value / 10) * 16 + value % 10);
}

bool parseNumber(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok, 10);
    if (!ok || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

bool parseKind(const QString& text, LoggerSetKind* kind)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("normal"))
        *kind = LoggerSetKind::Normal;
    else if (name == QLatin1String("nodata"))
        *kind = LoggerSetKind::NoData;
    else if (name == QLatin1String("overload"))
        *kind = LoggerSetKind::Overload;
    else if (name == QLatin1String("co2over"))
        *kind = LoggerSetKind::Co2Over;
    else if (name == QLatin1String("mixed"))
        *kind = LoggerSetKind::Mixed;
    else
        return false;
    return true;
}

// The edge cases a "mixed" set cycles through, after a plain reading.
RawReading mixedRecord(int index, const RawReading& plain)
{
    RawReading r = plain;
    switch (index % 10) {
    case 0:
        break;
    case 1:
        r.status = RawReading::kNoDataStatus;
        break;
    case 2:
        r.temperatureWord = RawReading::kOverloadWord;
        break;
    case 3:
        r.temperatureWord = RawReading::kUnderloadWord;
        break;
    case 4:
        r.co2 = 6000;
        break;
    case 5:
        r.co2 = 6001;
        break;
    case 6:
        r.temperatureWord = 0x80EB;
        break; // -23.5 degrees
    case 7:
        r.humidityTenths = 1000;
        break; // 100.0 %
    case 8:
        r.temperatureWord = 230;
        break; // exactly 23.0 degrees
    case 9:
        r.humidityTenths = 0;
        break;
    }
    return r;
}

void appendRecords(QByteArray& bytes, const LoggerSetPlan& plan, std::uint64_t seed)
{
    ReadingDrift drift(seed);
    for (int i = 0; i < plan.records; ++i) {
        RawReading r = drift.next();
        switch (plan.kind) {
        case LoggerSetKind::Normal:
            break;
        case LoggerSetKind::NoData:
            r.status = RawReading::kNoDataStatus;
            break;
        case LoggerSetKind::Overload:
            r.temperatureWord
                = (i % 2 == 0) ? RawReading::kOverloadWord : RawReading::kUnderloadWord;
            break;
        case LoggerSetKind::Co2Over:
            r.co2 = std::uint16_t(RawReading::kCo2OverPpm + i % 4000);
            break;
        case LoggerSetKind::Mixed:
            r = mixedRecord(i, r);
            break;
        }
        bytes.append(r.loggedRecord());
    }
}

} // namespace

bool LoggerSetPlan::parse(const QString& text, LoggerSetPlan* plan, QString* error)
{
    LoggerSetPlan parsed;
    const QStringList parts = text.split(QLatin1Char(','));
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("set \"%1\": %2").arg(text, why);
        return false;
    };
    if (!parseNumber(parts.value(0), 0, 65535, &parsed.records))
        return fail(QStringLiteral("the record count must be a number from 0 to 65535"));
    for (int i = 1; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        const QString key = part.left(eq).trimmed().toUpper();
        const QString value = eq < 0 ? QString() : part.mid(eq + 1).trimmed();
        if (eq < 0)
            return fail(QStringLiteral("\"%1\" is not KEY=VALUE").arg(part));
        if (key == QLatin1String("START")) {
            const QStringList hms = value.split(QLatin1Char(':'));
            if (hms.size() != 3 || !parseNumber(hms[0], 0, 23, &parsed.startHour)
                || !parseNumber(hms[1], 0, 59, &parsed.startMinute)
                || !parseNumber(hms[2], 0, 59, &parsed.startSecond))
                return fail(QStringLiteral("START must be hh:mm:ss"));
        } else if (key == QLatin1String("INTERVAL")) {
            if (!parseNumber(value, 0, 65535, &parsed.intervalSeconds))
                return fail(QStringLiteral("INTERVAL must be a number of seconds from 0 to 65535"));
        } else if (key == QLatin1String("KIND")) {
            if (!parseKind(value, &parsed.kind))
                return fail(
                    QStringLiteral("KIND must be normal, nodata, overload, co2over or mixed"));
        } else if (key == QLatin1String("REPEAT")) {
            if (!parseNumber(value, 1, LoggerImage::kMaxSets, &parsed.repeat))
                return fail(QStringLiteral("REPEAT must be a number from 1 to 255"));
        } else {
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    *plan = parsed;
    return true;
}

QByteArray LoggerSetPlan::header() const
{
    QByteArray h;
    h.reserve(LoggerImage::kHeaderSize);
    h.append(char(records >> 8));
    h.append(char(records & 0xFF));
    h.append(char(0x00));
    h.append(char(bcd(startHour)));
    h.append(char(bcd(startMinute)));
    h.append(char(bcd(startSecond)));
    h.append(char(intervalSeconds >> 8));
    h.append(char(intervalSeconds & 0xFF));
    return h;
}

bool LoggerImage::build(const std::vector<LoggerSetPlan>& plans, std::uint64_t seed, QString* error)
{
    m_bytes.clear();
    m_setOffsets.clear();
    m_setRecords.clear();

    long long sets = 0;
    long long bytes = 0;
    for (const LoggerSetPlan& plan : plans) {
        sets += plan.repeat;
        bytes += (kHeaderSize + qint64(plan.records) * kRecordSize) * plan.repeat;
    }
    if (sets > kMaxSets) {
        if (error)
            *error = QStringLiteral("the logger holds at most %1 sets, not %2")
                         .arg(kMaxSets)
                         .arg(sets);
        return false;
    }
    if (bytes > kCapacity) {
        if (error)
            *error = QStringLiteral("the logger memory holds %1 bytes; these sets need %2")
                         .arg(kCapacity)
                         .arg(bytes);
        return false;
    }

    m_bytes.reserve(int(bytes));
    int setNumber = 0;
    for (const LoggerSetPlan& plan : plans) {
        for (int copy = 0; copy < plan.repeat; ++copy) {
            ++setNumber;
            m_setOffsets.push_back(int(m_bytes.size()));
            m_setRecords.push_back(plan.records);
            m_bytes.append(plan.header());
            appendRecords(m_bytes, plan, seed * 1000003u + std::uint64_t(setNumber));
        }
    }
    return true;
}

namespace
{
// One set of a built-in layout.
LoggerSetPlan set(int records, int h, int m, int s, int interval, LoggerSetKind kind)
{
    LoggerSetPlan plan;
    plan.records = records;
    plan.startHour = h;
    plan.startMinute = m;
    plan.startSecond = s;
    plan.intervalSeconds = interval;
    plan.kind = kind;
    return plan;
}
} // namespace

std::vector<LoggerSetPlan> LoggerImage::defaultLayout()
{
    return {
        set(70, 14, 5, 0, 60, LoggerSetKind::Normal),
        set(0, 15, 0, 0, 60, LoggerSetKind::Normal),
        set(5, 23, 59, 30, 60, LoggerSetKind::Normal),
        set(33, 8, 0, 0, 10, LoggerSetKind::Mixed),
    };
}

std::vector<LoggerSetPlan> LoggerImage::fullMemoryLayout()
{
    // 8 headers (64 bytes) and 16,184 records (129,472 bytes) fill the 129,536 bytes exactly.
    return {
        set(0, 8, 0, 0, 60, LoggerSetKind::Normal),
        set(32, 8, 30, 0, 10, LoggerSetKind::Normal),
        set(33, 9, 0, 0, 10, LoggerSetKind::Mixed),
        set(5, 23, 59, 30, 60, LoggerSetKind::Normal),
        set(70, 14, 5, 0, 60, LoggerSetKind::Mixed),
        set(50, 11, 0, 0, 2, LoggerSetKind::NoData),
        set(50, 12, 0, 0, 5, LoggerSetKind::Overload),
        set(15944, 18, 0, 0, 5, LoggerSetKind::Normal),
    };
}

QByteArray LoggerImage::signature() const
{
    return SignatureBytes(quint8(setCount()), quint32(writeAddress()));
}
