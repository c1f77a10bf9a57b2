#include "rawreading.h"

#include "meter/framebytes.h"

#include <QStringList>

#include <cstdlib>

namespace
{

void appendWord(QByteArray& bytes, std::uint16_t word)
{
    bytes.append(char(word >> 8));
    bytes.append(char(word & 0xFF));
}

} // namespace

std::uint16_t RawReading::encodeTemperature(int tenthsC)
{
    const bool negative = tenthsC < 0;
    const int magnitude = std::abs(tenthsC);
    if (magnitude > 0x3FFF)
        return negative ? kUnderloadWord : kOverloadWord;
    return std::uint16_t((negative ? 0x8000 : 0) | magnitude);
}

QByteArray RawReading::liveFrame() const
{
    return LiveFrameBytes(co2, humidityTenths, temperatureWord, status);
}

QByteArray RawReading::loggedRecord() const
{
    QByteArray record;
    record.reserve(kRecordSize);
    record.append(char(status));
    record.append(char(0x00));
    appendWord(record, co2);
    appendWord(record, humidityTenths);
    appendWord(record, temperatureWord);
    return record;
}

RawReading RawReading::withMarker(FrameMarker marker) const
{
    RawReading marked = *this;
    switch (marker) {
    case FrameMarker::TempOver:
        marked.temperatureWord = kOverloadWord;
        break;
    case FrameMarker::TempUnder:
        marked.temperatureWord = kUnderloadWord;
        break;
    case FrameMarker::Co2Over:
        marked.co2 = kCo2OverPpm;
        break;
    case FrameMarker::NoData:
        marked.status = std::uint8_t(marked.status | kNoDataStatus);
        break;
    }
    return marked;
}

QString markerName(FrameMarker marker)
{
    switch (marker) {
    case FrameMarker::TempOver:
        return QStringLiteral("tover");
    case FrameMarker::TempUnder:
        return QStringLiteral("tunder");
    case FrameMarker::Co2Over:
        return QStringLiteral("co2over");
    case FrameMarker::NoData:
        return QStringLiteral("nodata");
    }
    return QString();
}

bool parseMarkerList(const QString& text, std::vector<FrameMarker>* markers, QString* error)
{
    std::vector<FrameMarker> parsed;
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && trimmed.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        const QStringList names = trimmed.split(QLatin1Char(','));
        for (const QString& raw : names) {
            const QString name = raw.trimmed().toLower();
            bool known = false;
            for (FrameMarker m : { FrameMarker::TempOver, FrameMarker::TempUnder,
                     FrameMarker::Co2Over, FrameMarker::NoData }) {
                if (name == markerName(m)) {
                    parsed.push_back(m);
                    known = true;
                    break;
                }
            }
            if (!known) {
                if (error)
                    *error = QStringLiteral(
                        "unknown marker \"%1\" (use tover, tunder, co2over, nodata)")
                                 .arg(raw.trimmed());
                return false;
            }
        }
    }
    *markers = std::move(parsed);
    return true;
}
