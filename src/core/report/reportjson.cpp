#include "reportjson.h"

#include "reportdates.h"
#include "reportfigures.h"
#include "reporttexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace
{
QJsonValue Stamp(const ReportFigures& f, qint64 seconds)
{
    QString text = StampText(f.settings.firstDate, seconds);
    if (text.size() > 10 && text[10] == QLatin1Char(' ')) // not without a date
        text[10] = QLatin1Char('T');
    return text;
}

// The UTC offset of a sample, where the dates name it.
int OffsetOf(const ReportFigures& f, qint64 sample)
{
    const auto after = std::upper_bound(f.offsets.begin(), f.offsets.end(), sample,
        [](qint64 s, const std::pair<qint64, int>& change) { return s < change.first; });
    return after == f.offsets.begin() ? kNoOffset : std::prev(after)->second;
}

// The date-time of a sample, with its offset where it is known.
QJsonValue SampleStamp(const ReportFigures& f, qint64 sample, qint64 seconds)
{
    return ReportDateTimeText(f.settings.firstDate, seconds, OffsetOf(f, sample));
}

QJsonValue Value(Quantity q, double value)
{
    return q == Quantity::Co2 ? value : value / 10.0;
}

QJsonValue Share(double share)
{
    return share < 0 ? QJsonValue() : QJsonValue(share);
}

QJsonObject TimeShareObject(const TimeShare& t)
{
    return { { QStringLiteral("seconds"), t.seconds },
        { QStringLiteral("share"), Share(t.share) } };
}

const char* const kKeys[kQuantities] = { "co2", "temperature", "humidity", "dewPoint", "wetBulb" };
} // namespace

QByteArray ReportJson(const ReportFigures& f)
{
    QJsonObject root;
    root[QStringLiteral("title")] = f.settings.title;
    root[QStringLiteral("sources")] = QJsonArray::fromStringList(f.sources);
    root[QStringLiteral("records")] = f.records;
    root[QStringLiteral("warnings")] = QJsonArray::fromStringList(f.warnings);
    root[QStringLiteral("temperatureUnit")] = TemperatureUnit(f.settings.fahrenheit);
    root[QStringLiteral("dates")] = DatesFromText(f);
    QJsonArray parts;
    for (const ReportPart& part : f.parts) {
        QJsonObject p { { QStringLiteral("source"), part.name },
            { QStringLiteral("dates"),
                part.dates == SourceDates::Recorded        ? QStringLiteral("recorded")
                    : part.dates == SourceDates::WorkedOut ? QStringLiteral("worked out")
                                                           : QStringLiteral("carried on") } };
        if (part.firstNumber >= 0) {
            p[QStringLiteral("firstRecord")] = part.firstNumber;
            p[QStringLiteral("lastRecord")] = part.lastNumber;
        }
        if (part.firstSample >= 0) {
            p[QStringLiteral("first")] = SampleStamp(
                f, part.firstSample, f.samples[static_cast<size_t>(part.firstSample)].seconds);
            p[QStringLiteral("last")] = SampleStamp(
                f, part.lastSample, f.samples[static_cast<size_t>(part.lastSample)].seconds);
        }
        parts.append(p);
    }
    root[QStringLiteral("parts")] = parts;

    QJsonObject period;
    if (f.records > 0) {
        period[QStringLiteral("first")] = SampleStamp(f, 0, f.first);
        period[QStringLiteral("last")] = SampleStamp(f, f.records - 1, f.last);
        period[QStringLiteral("seconds")] = std::max<qint64>(f.duration(), 0);
        period[QStringLiteral("intervalSeconds")] = f.interval;
        period[QStringLiteral("gaps")] = f.gapCount;
        period[QStringLiteral("gapSeconds")] = f.gapSeconds;
        QJsonArray gaps;
        for (const ReportGap& gap : f.gaps)
            gaps.append(
                QJsonObject { { QStringLiteral("from"), SampleStamp(f, gap.record - 1, gap.from) },
                    { QStringLiteral("to"), SampleStamp(f, gap.record, gap.to) },
                    { QStringLiteral("seconds"), gap.seconds },
                    { QStringLiteral("meterSilent"), gap.outage } });
        period[QStringLiteral("gapList")] = gaps;
        QJsonArray outages;
        for (const ReportOutage& o : f.outages)
            outages.append(QJsonObject { { QStringLiteral("firstRecord"), o.firstNumber },
                { QStringLiteral("records"), o.records },
                { QStringLiteral("from"), SampleStamp(f, o.sample, o.from) },
                { QStringLiteral("to"), SampleStamp(f, o.sample, o.to) } });
        period[QStringLiteral("meterSilent")] = outages;
        QJsonArray steps;
        for (const ClockStep& step : f.steps)
            steps.append(QJsonObject {
                { QStringLiteral("from"), SampleStamp(f, step.record - 1, step.from) },
                { QStringLiteral("to"), SampleStamp(f, step.record, step.to) },
                { QStringLiteral("kind"),
                    step.kind == ClockStep::Kind::DaylightSaving ? QStringLiteral("daylight saving")
                        : step.kind == ClockStep::Kind::ClockSet ? QStringLiteral("clock set")
                                                                 : QStringLiteral("set back") },
                { QStringLiteral("seconds"), step.seconds } });
        period[QStringLiteral("stepsBack")] = steps;
        period[QStringLiteral("steppedBackSeconds")] = f.steppedBack;
        period[QStringLiteral("sharesOfRecords")] = f.sharesOfRecords;
    }
    root[QStringLiteral("period")] = period;

    QJsonObject missing;
    QJsonObject statistics;
    for (int q = 0; q < kQuantities; ++q) {
        const Quantity quantity = Quantity(q);
        const QuantityFigures& v = f.quantities[q];
        const QString key = QString::fromLatin1(kKeys[q]);
        missing[key] = QJsonObject { { QStringLiteral("noReading"), v.missing },
            { QStringLiteral("overRange"), v.overRange },
            { QStringLiteral("underRange"), v.underRange } };
        QJsonObject s { { QStringLiteral("readings"), v.readings } };
        if (v.readings > 0) {
            s[QStringLiteral("min")] = Value(quantity, v.min);
            s[QStringLiteral("minAt")] = Stamp(f, v.minAt);
            s[QStringLiteral("max")] = Value(quantity, v.max);
            s[QStringLiteral("maxAt")] = Stamp(f, v.maxAt);
            s[QStringLiteral("mean")] = Value(quantity, v.mean);
            s[QStringLiteral("median")] = Value(quantity, v.median);
            s[QStringLiteral("percentile95")] = Value(quantity, v.percentile95);
        }
        statistics[key] = s;
    }
    root[QStringLiteral("withoutReading")] = missing;
    root[QStringLiteral("statistics")] = statistics;

    const auto& limits = f.settings.co2Limits;
    QJsonArray bands;
    for (int b = 0; b < 4; ++b) {
        QJsonObject band = TimeShareObject(f.bands[b]);
        band[QStringLiteral("from")] = b == 0 ? QJsonValue() : QJsonValue(limits[b - 1]);
        band[QStringLiteral("below")] = b == 3 ? QJsonValue() : QJsonValue(limits[b]);
        bands.append(band);
    }
    QJsonObject co2 { { QStringLiteral("limits"), QJsonArray { limits[0], limits[1], limits[2] } },
        { QStringLiteral("seconds"), f.co2Seconds }, { QStringLiteral("bands"), bands },
        { QStringLiteral("longestAbove"),
            QJsonObject { { QStringLiteral("limit"), limits[1] },
                { QStringLiteral("seconds"), f.longestAboveSeconds },
                { QStringLiteral("from"),
                    f.longestAboveSeconds > 0 ? Stamp(f, f.longestAboveFrom) : QJsonValue() } } } };
    root[QStringLiteral("co2")] = co2;

    root[QStringLiteral("category")] = QJsonObject {
        { QStringLiteral("name"), f.category.isEmpty() ? QJsonValue() : QJsonValue(f.category) },
        { QStringLiteral("outdoorPpm"), f.settings.outdoorPpm },
        { QStringLiteral("shareWithin550"), Share(f.categoryShares[0]) },
        { QStringLiteral("shareWithin800"), Share(f.categoryShares[1]) },
        { QStringLiteral("shareWithin1350"), Share(f.categoryShares[2]) },
    };
    const auto& t = f.settings.comfortTemp;
    const auto& h = f.settings.comfortHumidity;
    QJsonObject comfort { { QStringLiteral("temperatureRange"),
                              QJsonArray { t[0] / 10.0, t[1] / 10.0 } },
        { QStringLiteral("humidityRange"), QJsonArray { h[0] / 10.0, h[1] / 10.0 } },
        { QStringLiteral("temperature"), TimeShareObject(f.comfortTemp) },
        { QStringLiteral("humidity"), TimeShareObject(f.comfortHumidity) },
        { QStringLiteral("both"), TimeShareObject(f.comfortBoth) } };
    root[QStringLiteral("comfort")] = comfort;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
