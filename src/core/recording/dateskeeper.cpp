#include "dateskeeper.h"

#include "platform/clock.h"
#include "recordingstate.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace
{
// The drift check pulls the stamps back by a few seconds now and then, and the ticks run a
// little short of the interval (960 ms a second): within this much, and a twentieth of the
// records' own span, the clock is where the records say.
constexpr double kStepSlackSeconds = 10;
constexpr qint64 kHalfDay = 12 * 3600;

QDateTime WholeSeconds(const QDateTime& at)
{
    return at.addMSecs(-(at.time().msec()));
}
} // namespace

QDateTime StampDateTime(const QTime& stamp, const QDateTime& now)
{
    const QDateTime local = now.toOffsetFromUtc(now.offsetFromUtc());
    QDateTime at(local.date(), QTime(stamp.hour(), stamp.minute(), stamp.second()),
        Qt::OffsetFromUTC, now.offsetFromUtc());
    const qint64 apart = local.secsTo(at);
    if (apart > kHalfDay)
        at = at.addDays(-1);
    else if (apart < -kHalfDay)
        at = at.addDays(1);
    return at;
}

DatesKeeper::DatesKeeper(const RecordingState& state, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_clock(clock)
{
}

void DatesKeeper::setPort(const QString& port, const QString& device, const QString& usbSerial)
{
    m_port = port;
    m_device = device;
    m_usbSerial = usbSerial;
}

void DatesKeeper::recordingStarted(const QString& path)
{
    m_active = true;
    m_partPending = true;
    m_firstPart = true;
    m_path = path;
    m_dirty = false;
    m_dueRecord = 0;
    m_lastRecord = 0;
    m_failureTold = false;
    m_repeatFrom = 0;
    m_reconnecting = false;
    // The data file was just created or emptied: dates beside it are of what it held before.
    if (!path.isEmpty())
        QFile::remove(DatesFilePath(path));
}

void DatesKeeper::partStarted(const QString& path)
{
    if (!m_active)
        return;
    // The old part keeps what its records hold; what comes next is the new part's.
    if (m_dirty) {
        auto& events = m_dates.events;
        events.erase(std::remove_if(events.begin(), events.end(),
                         [this](const DatesEvent& e) { return e.record > m_lastRecord; }),
            events.end());
        write();
    }
    m_path = path;
    m_partPending = true;
    m_firstPart = false;
    if (!path.isEmpty())
        QFile::remove(DatesFilePath(path));
}

void DatesKeeper::recordingStopped()
{
    if (!m_active)
        return;
    m_active = false;
    // A part without a record has nothing to date.
    if (m_partPending)
        return;
    auto& events = m_dates.events;
    events.erase(std::remove_if(events.begin(), events.end(),
                     [this](const DatesEvent& e) { return e.record > m_lastRecord; }),
        events.end());
    addEvent(DatesEvent::Kind::Stopped, m_lastRecord, WholeSeconds(m_clock.now()));
    write();
}

void DatesKeeper::readingTaken()
{
    m_heard = true;
    m_freshReading = true;
    m_lastReadingMs = m_clock.passingMs();
}

void DatesKeeper::meterSilent()
{
    m_silent = true;
    m_reconnecting = false;
    // A part still to start says so with its first record.
    if (!m_active || m_partPending)
        return;
    const qint64 record
        = m_repeatFrom > 0 ? std::max(m_repeatFrom, m_dates.firstRecord) : m_lastRecord + 1;
    addEvent(DatesEvent::Kind::MeterSilent, record, lastReadingAt(m_clock.now()));
    if (record <= m_lastRecord)
        write();
}

void DatesKeeper::meterAnswering()
{
    m_silent = false;
    if (!m_active)
        return;
    // Silent and back before a record repeated the last reading: nothing was missed.
    auto& events = m_dates.events;
    if (!m_partPending && !events.empty() && events.back().kind == DatesEvent::Kind::MeterSilent
        && events.back().record > m_lastRecord) {
        events.pop_back();
        return;
    }
    m_reconnecting = true;
}

void DatesKeeper::recorded(qint64 number, const QTime& stamp, bool resynchronised)
{
    if (!m_active)
        return;
    const bool fresh = m_freshReading;
    m_freshReading = false;
    if (fresh)
        m_repeatFrom = 0;
    else if (m_repeatFrom == 0)
        m_repeatFrom = number;
    m_lastRecord = number;
    if (m_partPending)
        firstRecordOfPart(number, stamp);
    else if (resynchronised || m_state.SamplingSeconds != m_interval)
        checkClock(number, stamp);
    if (m_reconnecting && fresh) {
        m_reconnecting = false;
        addEvent(DatesEvent::Kind::Reconnected, number, StampDateTime(stamp, m_clock.now()));
    }
    if (m_dirty && number >= m_dueRecord)
        write();
}

void DatesKeeper::firstRecordOfPart(qint64 number, const QTime& stamp)
{
    m_partPending = false;
    const QDateTime now = m_clock.now();
    const QDateTime at = StampDateTime(stamp, now);
    m_dates = RecordingDates {};
    m_dates.firstRecord = number;
    m_dates.firstAt = at;
    m_dates.interval = m_state.SamplingSeconds;
    m_interval = m_state.SamplingSeconds;
    m_dates.port = m_port;
    m_dates.device = m_device;
    m_dates.usbSerial = m_usbSerial;
    m_dueRecord = 0;
    if (m_firstPart) {
        m_anchorRecord = number;
        m_anchorAt = now;
        m_anchorMs = m_clock.passingMs();
        m_offset = now.offsetFromUtc();
    }
    addEvent(m_firstPart ? DatesEvent::Kind::Started : DatesEvent::Kind::PartStarted, number, at);
    if (m_silent) {
        // Its moment is that of the last reading, unless the meter has been silent so long that
        // it would name another day for this record.
        const QDateTime last = lastReadingAt(now);
        addEvent(DatesEvent::Kind::MeterSilent, number,
            last.secsTo(at) < kHalfDay - 3600 ? std::min(last, at) : at);
    }
}

void DatesKeeper::checkClock(qint64 number, const QTime& stamp)
{
    const QDateTime now = m_clock.now();
    const qint64 ms = m_clock.passingMs();
    const QDateTime at = StampDateTime(stamp, now);
    if (now.offsetFromUtc() != m_offset) {
        m_offset = now.offsetFromUtc();
        addEvent(DatesEvent::Kind::OffsetChange, number, at);
    }
    // The wall clock moved by what passed, plus what it was set by. A new interval takes
    // effect with this record, taken at the first tick after the change: the records before
    // it span the old one.
    const int interval = m_state.SamplingSeconds;
    const bool intervalChanged = interval != m_interval;
    const double passed = double(ms - m_anchorMs) / 1000;
    const double set = double(m_anchorAt.msecsTo(now)) / 1000 - passed;
    const double span = double(number - m_anchorRecord - (intervalChanged ? 1 : 0)) * m_interval;
    const bool clockSet = std::abs(set) > kStepSlackSeconds;
    // Time passed without records: the computer slept, or the ticks were held up.
    const bool timeLost = std::abs(passed - span) > span / 20 + kStepSlackSeconds;
    if (clockSet || timeLost)
        addEvent(DatesEvent::Kind::ClockStep, number, at, clockSet ? std::llround(set) : 0);
    if (intervalChanged) {
        m_interval = interval;
        addEvent(DatesEvent::Kind::IntervalChange, number, at, 0, interval);
    }
    m_anchorRecord = number;
    m_anchorAt = now;
    m_anchorMs = ms;
}

void DatesKeeper::addEvent(
    DatesEvent::Kind kind, qint64 record, const QDateTime& at, qint64 seconds, int interval)
{
    // In record order: a silence names the first repeated record, which may come before an
    // event already kept.
    auto& events = m_dates.events;
    const auto place = std::upper_bound(events.begin(), events.end(), record,
        [](qint64 r, const DatesEvent& e) { return r < e.record; });
    DatesEvent event;
    event.kind = kind;
    event.record = record;
    event.at = at;
    event.seconds = seconds;
    event.interval = interval;
    events.insert(place, event);
    m_dirty = true;
    m_dueRecord = std::max(m_dueRecord, record);
}

void DatesKeeper::write()
{
    m_dirty = false;
    QString error;
    if (m_path.isEmpty() || WriteDatesFile(m_path, m_dates, &error) || m_failureTold)
        return;
    m_failureTold = true;
    Q_EMIT datesFailed(QStringLiteral("The dates of the recording cannot be written to %1 (%2).")
                           .arg(QDir::toNativeSeparators(DatesFilePath(m_path)), error));
}

bool DatesKeeper::writeTo(const QString& dataFilePath, QString* error) const
{
    // No record, no dates: a dates file left there is of another file.
    if (m_partPending || m_lastRecord < m_dates.firstRecord) {
        QFile::remove(DatesFilePath(dataFilePath));
        return true;
    }
    RecordingDates dates = m_dates;
    dates.file.clear();
    dates.events.erase(std::remove_if(dates.events.begin(), dates.events.end(),
                           [this](const DatesEvent& e) { return e.record > m_lastRecord; }),
        dates.events.end());
    return WriteDatesFile(dataFilePath, dates, error);
}

QDateTime DatesKeeper::lastReadingAt(const QDateTime& now) const
{
    if (!m_heard)
        return WholeSeconds(now);
    return WholeSeconds(now.addMSecs(m_lastReadingMs - m_clock.passingMs()));
}
