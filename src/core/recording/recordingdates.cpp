#include "recordingdates.h"

#include "nimbrelversion.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <cmath>

namespace
{
// A dates file is a few kilobytes; anything far larger is no dates file.
constexpr qint64 kMaxDatesBytes = 16 * 1024 * 1024;
// No event lies further than this from the first record, and no clock is set by more.
constexpr qint64 kMaxSpanSeconds = 50LL * 366 * 86400;

struct EventName {
    DatesEvent::Kind kind;
    const char* name;
};
constexpr EventName kEventNames[] = {
    { DatesEvent::Kind::Started, "started" },
    { DatesEvent::Kind::MeterSilent, "meter silent" },
    { DatesEvent::Kind::Reconnected, "reconnected" },
    { DatesEvent::Kind::ClockStep, "clock step" },
    { DatesEvent::Kind::OffsetChange, "offset change" },
    { DatesEvent::Kind::IntervalChange, "interval change" },
    { DatesEvent::Kind::PartStarted, "part started" },
    { DatesEvent::Kind::Stopped, "stopped" },
};

// A record number of the file: a whole number from 1.
bool ReadRecordNumber(const QJsonValue& value, qint64* number)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (d < 1 || d > 1e15 || d != static_cast<double>(static_cast<qint64>(d)))
        return false;
    *number = static_cast<qint64>(d);
    return true;
}

QString OffsetText(int seconds)
{
    const int magnitude = seconds < 0 ? -seconds : seconds;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 3600, 2, 10, QLatin1Char('0'))
        .arg(magnitude / 60 % 60, 2, 10, QLatin1Char('0'));
}

// A sampling interval in whole seconds, 1 to 86400; 0 for anything else.
int ReadInterval(const QJsonValue& value)
{
    const double seconds = value.toDouble();
    return value.isDouble() && seconds >= 1 && seconds <= 86400 && seconds == std::floor(seconds)
        ? int(seconds)
        : 0;
}
} // namespace

QString DatesFilePath(const QString& dataFilePath)
{
    return dataFilePath + QStringLiteral(".dates.json");
}

QString DatesEventName(DatesEvent::Kind kind)
{
    for (const EventName& e : kEventNames) {
        if (e.kind == kind)
            return QString::fromLatin1(e.name);
    }
    return {};
}

bool DatesEventKind(const QString& name, DatesEvent::Kind* kind)
{
    for (const EventName& e : kEventNames) {
        if (name == QLatin1String(e.name)) {
            *kind = e.kind;
            return true;
        }
    }
    return false;
}

QString DatesSourceName(DatesSource source)
{
    return source == DatesSource::WorkedOut ? QStringLiteral("worked out")
                                            : QStringLiteral("recorded");
}

QString OffsetDateTimeText(const QDateTime& at)
{
    const QDateTime local = at.toOffsetFromUtc(at.offsetFromUtc());
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + OffsetText(at.offsetFromUtc());
}

QDateTime ReadOffsetDateTime(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2})(?:\\.\\d{1,3})?(Z|([+-])(\\d{"
                       "2}):(\\d{2}))$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return {};
    int offset = 0;
    if (match.captured(2) != QLatin1String("Z")) {
        const int hours = match.captured(4).toInt();
        const int minutes = match.captured(5).toInt();
        if (hours > 14 || minutes > 59)
            return {};
        offset = (hours * 60 + minutes) * 60 * (match.captured(3) == QLatin1String("-") ? -1 : 1);
    }
    const QDateTime wall
        = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (!wall.isValid())
        return {};
    return QDateTime(wall.date(), wall.time(), Qt::OffsetFromUTC, offset);
}

QByteArray DatesJson(const RecordingDates& dates)
{
    QJsonObject root;
    root[QStringLiteral("program")] = dates.program;
    root[QStringLiteral("version")]
        = dates.version.isEmpty() ? QStringLiteral(NIMBREL_VERSION) : dates.version;
    root[QStringLiteral("file")] = dates.file;
    root[QStringLiteral("dates")] = DatesSourceName(dates.source);
    root[QStringLiteral("first")] = QJsonObject { { QStringLiteral("record"), dates.firstRecord },
        { QStringLiteral("at"), OffsetDateTimeText(dates.firstAt) } };
    if (dates.interval > 0)
        root[QStringLiteral("interval")] = dates.interval;
    const auto text = [&root](const char* key, const QString& value) {
        if (!value.isEmpty())
            root[QLatin1String(key)] = value;
    };
    text("port", dates.port);
    text("device", dates.device);
    text("usbSerial", dates.usbSerial);
    QJsonArray events;
    for (const DatesEvent& e : dates.events) {
        QJsonObject event { { QStringLiteral("event"), DatesEventName(e.kind) },
            { QStringLiteral("record"), e.record },
            { QStringLiteral("at"), OffsetDateTimeText(e.at) } };
        if (e.kind == DatesEvent::Kind::ClockStep)
            event[QStringLiteral("seconds")] = e.seconds;
        if (e.kind == DatesEvent::Kind::OffsetChange)
            event[QStringLiteral("offset")] = OffsetText(e.at.offsetFromUtc());
        if (e.kind == DatesEvent::Kind::IntervalChange)
            event[QStringLiteral("interval")] = e.interval;
        events.append(event);
    }
    root[QStringLiteral("events")] = events;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool ParseDatesJson(const QByteArray& json, RecordingDates* dates, QString* error)
{
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError)
        return fail(
            QStringLiteral("not JSON (%1 at byte %2)").arg(parse.errorString()).arg(parse.offset));
    if (!document.isObject())
        return fail(QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    RecordingDates d;
    d.program = root.value(QStringLiteral("program")).toString();
    d.version = root.value(QStringLiteral("version")).toString();
    d.file = root.value(QStringLiteral("file")).toString();
    const QString source = root.value(QStringLiteral("dates")).toString();
    if (source == DatesSourceName(DatesSource::WorkedOut))
        d.source = DatesSource::WorkedOut;
    else if (source == DatesSourceName(DatesSource::Recorded))
        d.source = DatesSource::Recorded;
    else
        return fail(QStringLiteral("\"dates\" is neither \"recorded\" nor \"worked out\""));
    const QJsonObject first = root.value(QStringLiteral("first")).toObject();
    if (!ReadRecordNumber(first.value(QStringLiteral("record")), &d.firstRecord))
        return fail(QStringLiteral("no first record number"));
    d.firstAt = ReadOffsetDateTime(first.value(QStringLiteral("at")).toString());
    if (!d.firstAt.isValid())
        return fail(QStringLiteral("no date-time with an offset for the first record"));
    d.interval = ReadInterval(root.value(QStringLiteral("interval")));
    d.port = root.value(QStringLiteral("port")).toString();
    d.device = root.value(QStringLiteral("device")).toString();
    d.usbSerial = root.value(QStringLiteral("usbSerial")).toString();

    const QJsonArray events = root.value(QStringLiteral("events")).toArray();
    for (qsizetype i = 0; i < events.size(); ++i) {
        const QJsonObject e = events[i].toObject();
        DatesEvent event;
        const QString name = e.value(QStringLiteral("event")).toString();
        if (!DatesEventKind(name, &event.kind))
            return fail(QStringLiteral("event %1: \"%2\" is no event").arg(i + 1).arg(name));
        if (!ReadRecordNumber(e.value(QStringLiteral("record")), &event.record))
            return fail(QStringLiteral("event %1: no record number").arg(i + 1));
        event.at = ReadOffsetDateTime(e.value(QStringLiteral("at")).toString());
        if (!event.at.isValid())
            return fail(QStringLiteral("event %1: no date-time with an offset").arg(i + 1));
        const double seconds = e.value(QStringLiteral("seconds")).toDouble();
        if (!(std::abs(seconds) <= double(kMaxSpanSeconds))
            || std::abs(d.firstAt.secsTo(event.at)) > kMaxSpanSeconds)
            return fail(
                QStringLiteral("event %1: more than 50 years from the first record").arg(i + 1));
        event.seconds = static_cast<qint64>(seconds);
        if (event.kind == DatesEvent::Kind::IntervalChange) {
            event.interval = ReadInterval(e.value(QStringLiteral("interval")));
            if (event.interval == 0)
                return fail(
                    QStringLiteral("event %1: no interval of 1 to 86400 seconds").arg(i + 1));
        }
        if (event.record < d.firstRecord
            || (!d.events.empty() && event.record < d.events.back().record))
            return fail(
                QStringLiteral("event %1: record %2 is out of order").arg(i + 1).arg(event.record));
        d.events.push_back(event);
    }
    *dates = std::move(d);
    return true;
}

bool WriteDatesFile(const QString& dataFilePath, const RecordingDates& dates, QString* error)
{
    RecordingDates named = dates;
    if (named.file.isEmpty())
        named.file = QFileInfo(dataFilePath).fileName();
    QSaveFile file(DatesFilePath(dataFilePath));
    if (!file.open(QIODevice::WriteOnly) || file.write(DatesJson(named)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

DatesRead ReadDatesFile(const QString& dataFilePath, RecordingDates* dates, QString* error)
{
    const QString path = DatesFilePath(dataFilePath);
    const QFileInfo info(path);
    if (!info.exists())
        return DatesRead::Missing;
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("not a file");
        return DatesRead::Damaged;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return DatesRead::Damaged;
    }
    if (file.size() > kMaxDatesBytes) {
        if (error)
            *error = QStringLiteral("too large for a dates file");
        return DatesRead::Damaged;
    }
    return ParseDatesJson(file.readAll(), dates, error) ? DatesRead::Read : DatesRead::Damaged;
}

QString DatesMisfit(
    const RecordingDates& dates, qint64 firstRecord, int firstSecondsOfDay, qint64 lastRecord)
{
    if (dates.firstRecord != firstRecord)
        return QStringLiteral("its first record is %1, the data file's is %2")
            .arg(dates.firstRecord)
            .arg(firstRecord);
    const int at = dates.firstAt.time().msecsSinceStartOfDay() / 1000;
    if (at != firstSecondsOfDay)
        return QStringLiteral("its first record is at %1, the data file's at %2")
            .arg(dates.firstAt.time().toString(QStringLiteral("HH:mm:ss")),
                QTime::fromMSecsSinceStartOfDay(firstSecondsOfDay * 1000)
                    .toString(QStringLiteral("HH:mm:ss")));
    for (const DatesEvent& event : dates.events) {
        if (event.record > lastRecord)
            return QStringLiteral("it names record %1, the data file ends at record %2")
                .arg(event.record)
                .arg(lastRecord);
    }
    return {};
}
