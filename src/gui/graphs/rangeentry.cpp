#include "rangeentry.h"

#include "meter/fahrenheit.h"
#include "meter/numbertext.h"

#include <charconv>
#include <cmath>

namespace
{

constexpr int kMinCounts = 10;
constexpr int kMaxCounts = 864000;

// One pair of boxes against its bounds: the top within the upper bound, the bottom within the
// lower, and the top above the bottom.
bool PairFits(double top, double bottom, double lower, double upper)
{
    return !(top > upper || bottom < lower || top <= bottom);
}

QString ApplyTemperature(const RangeEntries& e, ScaleLimits& limits)
{
    const double top = LeadingNumber(e.max);
    const double bottom = LeadingNumber(e.min);
    if (e.celsius) {
        if (!PairFits(top, bottom, -20, 60))
            return RangeMessage(
                QStringLiteral("-20"), QStringLiteral(" <= Celsius <= "), QStringLiteral("60"));
        limits.TempMaxC = static_cast<float>(top);
        limits.TempMinC = static_cast<float>(bottom);
        limits.TempMaxF = static_cast<float>(CelsiusToFahrenheitTenth(top));
        limits.TempMinF = static_cast<float>(CelsiusToFahrenheitTenth(bottom));
    } else {
        if (!PairFits(top, bottom, -4, 140))
            return RangeMessage(
                QStringLiteral("-4"), QStringLiteral(" <= Fahrenheit <= "), QStringLiteral("140"));
        limits.TempMaxF = static_cast<float>(top);
        limits.TempMinF = static_cast<float>(bottom);
        limits.TempMaxC = static_cast<float>(FahrenheitToCelsiusTenth(top));
        limits.TempMinC = static_cast<float>(FahrenheitToCelsiusTenth(bottom));
    }
    return QString();
}

QString ApplyHumidity(const RangeEntries& e, ScaleLimits& limits)
{
    const double top = LeadingNumber(e.maxR);
    const double bottom = LeadingNumber(e.minR);
    if (!PairFits(top, bottom, 0, 100))
        return RangeMessage(
            QStringLiteral("0"), QStringLiteral(" <= RH% <= "), QStringLiteral("100"));
    limits.RHMax = static_cast<float>(top);
    limits.RHMin = static_cast<float>(bottom);
    return QString();
}

QString ApplyCo2(const RangeEntries& e, ScaleLimits& limits)
{
    const double top = LeadingNumber(e.maxCo2);
    const double bottom = LeadingNumber(e.minCo2);
    if (!PairFits(top, bottom, 0, 6000))
        return RangeMessage(
            QStringLiteral("0"), QStringLiteral(" <= CO2 ppm <= "), QStringLiteral("6000"));
    limits.CO2Max = static_cast<float>(top);
    limits.CO2Min = static_cast<float>(bottom);
    return QString();
}

// The three groups both dialogs share, in their order.
QString ApplyScales(const RangeEntries& e, ScaleLimits& limits)
{
    QString message = ApplyTemperature(e, limits);
    if (message.isEmpty())
        message = ApplyHumidity(e, limits);
    if (message.isEmpty())
        message = ApplyCo2(e, limits);
    return message;
}

} // namespace

bool KeyAccepted(KeyFilter filter, QChar key)
{
    if (filter == KeyFilter::AnyKey)
        return true;
    if (key.unicode() == 8 || (key >= QLatin1Char('0') && key <= QLatin1Char('9')))
        return true;
    switch (filter) {
    case KeyFilter::SignedDecimal:
        return key == QLatin1Char('-') || key == QLatin1Char('.');
    case KeyFilter::UnsignedDecimal:
        return key == QLatin1Char('.');
    case KeyFilter::Digits:
    case KeyFilter::AnyKey:
        break;
    }
    return false;
}

QString BoxText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // The settings are single precision: their shortest text is the one of the float.
    char buffer[64];
    const auto result = std::to_chars(
        buffer, buffer + sizeof buffer, static_cast<float>(value), std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString::number(value);
    QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString CountsText(float plotWidth, float sampleStep)
{
    const double counts = std::nearbyint(static_cast<double>(plotWidth) / sampleStep);
    if (!std::isfinite(counts))
        return QStringLiteral("0");
    return BoxText(counts);
}

QString RangeMessage(const QString& lower, const QString& middle, const QString& upper)
{
    return lower + middle + upper + QStringLiteral(", try again!");
}

QString ApplyRealTimeEntries(
    const RangeEntries& entries, RealTimeRangeSettings& settings, float plotWidth)
{
    const QString message = ApplyScales(entries, settings);
    if (!message.isEmpty())
        return message;
    const double counts = LeadingNumber(entries.counts);
    if (counts > kMaxCounts || counts < kMinCounts)
        return RangeMessage(
            QStringLiteral("10 <= Counts <= "), QString(), QStringLiteral("864000"));
    settings.SampleStep = static_cast<float>(plotWidth / counts);
    return QString();
}

QString ApplyPlotEntries(const RangeEntries& entries, PlotRangeSettings& settings, float plotWidth)
{
    const QString message = ApplyScales(entries, settings);
    if (!message.isEmpty())
        return message;
    // Records are whole; a pasted fraction counts by its whole part.
    const double from = std::trunc(LeadingNumber(entries.from));
    const double to = std::trunc(LeadingNumber(entries.to));
    if (to > settings.RecordTotal || from < 1 || to <= from)
        return RangeMessage(
            QStringLiteral("1 <= From <= "), QString(), BoxText(settings.RecordTotal));
    settings.FromRecord = static_cast<float>(from);
    settings.ToRecord = static_cast<float>(to);
    settings.PointCount = settings.ToRecord - settings.FromRecord + 1;
    settings.PointStep = plotWidth / settings.PointCount;
    return QString();
}
