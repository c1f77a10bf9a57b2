#include "reportdates.h"

#include "recordingfiles.h"
#include "reportsources.h"
#include "reporttexts.h"

#include <QFileInfo>

#include <algorithm>

namespace
{
constexpr int kHalfDay = 12 * 3600;

// The stamps of records advance by the interval each, and the drift check only ever pulls them
// back, so the wall-clock time since an anchor is at most the records counted times the
// interval; this much is allowed over that.
constexpr qint64 kSlackSeconds = 120;
// The days a report runs over at most: its seconds stay well within 32 bits.
constexpr qint64 kMaxDays = 50 * 366;

qint64 WallSeconds(const QDateTime& at)
{
    const QDateTime local = at.toOffsetFromUtc(at.offsetFromUtc());
    return local.date().toJulianDay() * 86400 + local.time().msecsSinceStartOfDay() / 1000;
}
} // namespace

std::optional<RecordingDates> FittingDates(const QString& dataFilePath, qint64 firstRecord,
    int firstSecondsOfDay, qint64 lastRecord, QString* warning)
{
    RecordingDates dates;
    QString error;
    const QString name = QFileInfo(DatesFilePath(dataFilePath)).fileName();
    switch (ReadDatesFile(dataFilePath, &dates, &error)) {
    case DatesRead::Missing:
        return std::nullopt;
    case DatesRead::Damaged:
        *warning = QStringLiteral("%1 is ignored: %2").arg(name, error);
        return std::nullopt;
    case DatesRead::Read:
        break;
    }
    if (firstRecord < 0) {
        *warning = QStringLiteral("%1 is ignored: the data file holds no record").arg(name);
        return std::nullopt;
    }
    const QString misfit = DatesMisfit(dates, firstRecord, firstSecondsOfDay, lastRecord);
    if (!misfit.isEmpty()) {
        *warning = QStringLiteral("%1 is ignored, it belongs to another recording: %2")
                       .arg(name, misfit);
        return std::nullopt;
    }
    return dates;
}

std::optional<RecordingDates> FittingDates(const QString& dataFilePath, QString* warning)
{
    if (!QFileInfo::exists(DatesFilePath(dataFilePath)))
        return std::nullopt;
    const DataFileStart start = ReadDataFileStart(dataFilePath);
    return FittingDates(dataFilePath, start.firstRecord, start.firstSecondsOfDay,
        ReadLastRecordNumber(dataFilePath), warning);
}

void RecordDater::beginSource(const RecordingDates* dates)
{
    m_anchors.clear();
    m_next = 0;
    m_dated = dates != nullptr;
    m_anchored = false;
    m_silent = false;
    if (!dates) {
        m_offset = kNoOffset;
        return;
    }
    m_interval = dates->interval;
    DatesEvent first;
    first.record = dates->firstRecord;
    first.at = dates->firstAt;
    m_anchors.push_back(first);
    m_anchors.insert(m_anchors.end(), dates->events.begin(), dates->events.end());
    // Parsing keeps the events in record order; the first record comes before them all.
    std::stable_sort(m_anchors.begin(), m_anchors.end(),
        [](const DatesEvent& a, const DatesEvent& b) { return a.record < b.record; });
}

void RecordDater::anchorAt(
    const DatesEvent& anchor, qint64 number, int secondsOfDay, RecordStamp* stamp)
{
    switch (anchor.kind) {
    case DatesEvent::Kind::MeterSilent:
        m_silent = true;
        break;
    case DatesEvent::Kind::Reconnected:
    case DatesEvent::Kind::Started:
        m_silent = false;
        break;
    case DatesEvent::Kind::IntervalChange:
        m_interval = anchor.interval;
        break;
    default:
        break;
    }
    // The stop names the last record, stamped before the moment of the stop: no new date.
    if (anchor.kind == DatesEvent::Kind::Stopped)
        return;
    const int offset = anchor.at.offsetFromUtc();
    if (m_offset != kNoOffset && anchor.kind == DatesEvent::Kind::OffsetChange) {
        stamp->shift = offset - m_offset;
        stamp->daylightSaving = true;
    } else if (anchor.kind == DatesEvent::Kind::ClockStep) {
        stamp->shift = anchor.seconds;
    }
    m_offset = offset;
    // The record's date is the one that puts its time of day nearest the anchor's moment (an
    // event's moment comes a little before the record after it, maybe across midnight).
    const qint64 moment = WallSeconds(anchor.at);
    qint64 best = 0;
    qint64 bestDistance = -1;
    for (qint64 day = moment / 86400 - 1; day <= moment / 86400 + 1; ++day) {
        const qint64 distance = std::abs(day * 86400 + secondsOfDay - moment);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = day;
        }
    }
    const QDate date = QDate::fromJulianDay(best);
    // A date before the first record's (the clock set back over midnight just after the
    // start), or further than any recording runs, is no date to go by: the time of day carries
    // the day on as without dates.
    if (m_firstDate.isValid()
        && (m_firstDate.daysTo(date) < 0 || m_firstDate.daysTo(date) > kMaxDays)) {
        stamp->shift = 0;
        stamp->daylightSaving = false;
        return;
    }
    if (!m_firstDate.isValid())
        m_firstDate = date.addDays(-m_day);
    m_day = m_firstDate.daysTo(date);
    m_anchored = true;
    m_anchorNumber = number;
    m_anchorAt = m_day * 86400 + secondsOfDay;
}

RecordStamp RecordDater::date(qint64 number, int secondsOfDay)
{
    RecordStamp stamp;
    // A fall of the time of day by more than half a day is the next day; a shorter step back is
    // the stamp being set right, and stays on the same day.
    const bool falls = m_previousTime >= 0 && secondsOfDay < m_previousTime - kHalfDay;
    if (m_next < m_anchors.size() && m_anchors[m_next].record <= number) {
        // The day the time of day gives, which the first anchor pins to its date.
        if (falls)
            ++m_day;
        while (m_next < m_anchors.size() && m_anchors[m_next].record <= number)
            anchorAt(m_anchors[m_next++], number, secondsOfDay, &stamp);
    } else if (falls) {
        // After an anchor, only as many days pass as the records since it allow.
        const qint64 nextDay = (m_day + 1) * 86400 + secondsOfDay;
        if (!m_dated || !m_anchored || m_interval <= 0
            || nextDay - m_anchorAt
                <= (number - m_anchorNumber) * m_interval * 21 / 20 + kSlackSeconds)
            ++m_day;
    }
    m_previousTime = secondsOfDay;
    stamp.at = m_day * 86400 + secondsOfDay;
    stamp.offset = m_dated && m_anchored ? m_offset : kNoOffset;
    stamp.silent = m_dated && m_silent;
    return stamp;
}

void DateFromFiles(ReportFigures* figures, const QStringList& files)
{
    ReportSettings& s = figures->settings;
    s.firstDateFrom = ReportSettings::FirstDate::WalkedBack;
    if (figures->datedFirstDate.isValid())
        s.firstDate = figures->datedFirstDate;
    else if (!files.isEmpty())
        s.firstDate = FirstDateFromLastWrite(QFileInfo(files.last()).lastModified(), figures->last);
}

QString DatesFromText(const ReportFigures& figures)
{
    QStringList recorded;
    QStringList workedOut;
    QStringList carried;
    for (const ReportPart& part : figures.parts) {
        (part.dates == SourceDates::Recorded           ? recorded
                : part.dates == SourceDates::WorkedOut ? workedOut
                                                       : carried)
            .append(part.name);
    }
    const ReportSettings& s = figures.settings;
    QString undated;
    switch (s.firstDateFrom) {
    case ReportSettings::FirstDate::WalkedBack:
        undated = QStringLiteral("walked back from the file's time");
        break;
    case ReportSettings::FirstDate::Today:
        undated = QStringLiteral("today's date");
        break;
    case ReportSettings::FirstDate::Given:
        undated = QStringLiteral("the date given");
        break;
    }
    if (recorded.isEmpty() && workedOut.isEmpty())
        return undated;
    QString text;
    const QString recordedText = QStringLiteral("recorded");
    const QString workedOutText = QStringLiteral("worked out from the download");
    if (workedOut.isEmpty() && carried.isEmpty()) {
        text = recordedText;
    } else if (recorded.isEmpty() && carried.isEmpty()) {
        text = workedOutText;
    } else {
        QStringList kinds;
        const auto kind = [&kinds](const QString& words, const QStringList& names) {
            if (!names.isEmpty())
                kinds << QStringLiteral("%1 (%2)").arg(words, names.join(QStringLiteral(", ")));
        };
        kind(recordedText, recorded);
        kind(workedOutText, workedOut);
        kind(QStringLiteral("carried on by the time of day"), carried);
        text = kinds.join(QStringLiteral("; "));
    }
    if (figures.datedFirstDate.isValid() && s.firstDate.isValid()
        && s.firstDate != figures.datedFirstDate)
        text += QStringLiteral("; first date as given, the dates file says %1")
                    .arg(figures.datedFirstDate.toString(Qt::ISODate));
    return text;
}

QString ReportDateTimeText(const QDate& firstDate, qint64 seconds, int offset)
{
    QString text = StampText(firstDate, seconds);
    if (text.size() > 10 && text[10] == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    if (offset == kNoOffset)
        return text;
    const int magnitude = offset < 0 ? -offset : offset;
    return text
        + QStringLiteral("%1%2:%3")
              .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
              .arg(magnitude / 3600, 2, 10, QLatin1Char('0'))
              .arg(magnitude / 60 % 60, 2, 10, QLatin1Char('0'));
}
