#include "reportsettings.h"

#include "reportrecord.h"

#include <QStringList>

std::array<qint32, 2> ReportSettings::defaultComfortTemp(bool fahrenheit)
{
    // 20 °C is 68.0 °F and 26 °C is 78.8 °F.
    return fahrenheit ? std::array<qint32, 2> { 680, 788 } : std::array<qint32, 2> { 200, 260 };
}

QString SettingsProblem(const ReportSettings& settings)
{
    const auto& limits = settings.co2Limits;
    if (limits[0] <= 0 || limits[0] >= limits[1] || limits[1] >= limits[2])
        return QStringLiteral(
            "The CO2 limits must be above 0 and rise from the first to the last.");
    if (settings.outdoorPpm < 0 || settings.outdoorPpm >= limits[0])
        return QStringLiteral("The outdoor CO2 must lie between 0 and the first limit.");
    if (settings.comfortTemp[0] >= settings.comfortTemp[1])
        return QStringLiteral("The comfort temperature range must run from low to high.");
    const auto& rh = settings.comfortHumidity;
    if (rh[0] < 0 || rh[0] >= rh[1] || rh[1] > 1000)
        return QStringLiteral(
            "The comfort humidity range must run from low to high within 0 to 100 %.");
    if (!settings.firstDate.isValid())
        return QStringLiteral("The date of the first record is not a date.");
    return {};
}

bool ReadNumberList(const QString& text, int count, bool tenths, qint32* values)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        const QByteArray cell = parts[i].trimmed().toLatin1();
        if (cell.isEmpty() || !ReadValueCell(cell, tenths, &values[i]) || !IsReading(values[i]))
            return false;
        // A whole number must be written as one.
        if (!tenths && cell.contains('.'))
            return false;
    }
    return true;
}

QString TemperatureUnit(bool fahrenheit)
{
    return fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
}
