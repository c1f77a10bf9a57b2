#include "reporttexts.h"

#include "meter/currentreading.h"

#include <cmath>

QString TenthsText(qint64 tenths)
{
    const qint64 magnitude = tenths < 0 ? -tenths : tenths;
    return (tenths < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10)
        + QLatin1Char('.') + QString::number(magnitude % 10);
}

QString ValueText(Quantity quantity, qint32 value)
{
    if (value == kOverRange)
        return Marker::Over;
    if (value == kUnderRange)
        return Marker::Under;
    if (value == kNoReading)
        return Marker::NoReading;
    return quantity == Quantity::Co2 ? QString::number(value) : TenthsText(value);
}

QString UnitText(Quantity quantity, bool fahrenheit)
{
    switch (quantity) {
    case Quantity::Co2:
        return QStringLiteral("ppm");
    case Quantity::Humidity:
        return QStringLiteral("%RH");
    default:
        return fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
    }
}

QString QuantityName(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Co2:
        return QStringLiteral("CO2");
    case Quantity::Temperature:
        return QStringLiteral("Temperature");
    case Quantity::Humidity:
        return QStringLiteral("Relative humidity");
    case Quantity::DewPoint:
        return QStringLiteral("Dew point");
    case Quantity::WetBulb:
        return QStringLiteral("Wet bulb");
    }
    return {};
}

QString DurationText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    const qint64 days = seconds / 86400;
    const qint64 hours = seconds / 3600 % 24;
    const qint64 minutes = seconds / 60 % 60;
    const qint64 secs = seconds % 60;
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (days > 0)
        return QStringLiteral("%1 d %2 h %3 min").arg(days).arg(hours).arg(two(minutes));
    if (hours > 0)
        return QStringLiteral("%1 h %2 min").arg(hours).arg(two(minutes));
    if (minutes > 0)
        return QStringLiteral("%1 min %2 s").arg(minutes).arg(two(secs));
    return QStringLiteral("%1 s").arg(secs);
}

QString ShareText(double share)
{
    if (share < 0)
        return QStringLiteral("-");
    // Cut, so that a share just short of a limit never reads as the limit.
    return TenthsText(static_cast<qint64>(std::floor(share * 1000.0 + 1e-9)))
        + QStringLiteral(" %");
}

QString StampText(const QDate& firstDate, qint64 seconds)
{
    return DateText(firstDate, seconds) + QLatin1Char(' ')
        + QTime::fromMSecsSinceStartOfDay(static_cast<int>(seconds % 86400) * 1000)
              .toString(QStringLiteral("HH:mm:ss"));
}

QString ClockText(qint64 seconds)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(seconds % 86400) * 1000)
        .toString(QStringLiteral("HH:mm"));
}

QString DateText(const QDate& firstDate, qint64 seconds)
{
    return firstDate.addDays(seconds / 86400).toString(Qt::ISODate);
}
