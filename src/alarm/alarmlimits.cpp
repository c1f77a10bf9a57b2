#include "alarmlimits.h"

#include "meter/numbertext.h"

#include <algorithm>
#include <cmath>

namespace
{

struct LimitRefs {
    double& high;
    double& low;
};

// The pair of a row in the given unit (RH and CO2 have one pair whatever the unit).
LimitRefs LimitsOf(AlarmSettings& s, LimitQuantity q, bool fahrenheit)
{
    switch (q) {
    case LimitQuantity::Temperature:
        return fahrenheit ? LimitRefs { s.TempHighF, s.TempLowF }
                          : LimitRefs { s.TempHighC, s.TempLowC };
    case LimitQuantity::Humidity:
        return { s.HumidityHigh, s.HumidityLow };
    case LimitQuantity::Dew:
        return fahrenheit ? LimitRefs { s.DewHighF, s.DewLowF }
                          : LimitRefs { s.DewHighC, s.DewLowC };
    case LimitQuantity::Wet:
        return fahrenheit ? LimitRefs { s.WetHighF, s.WetLowF }
                          : LimitRefs { s.WetHighC, s.WetLowC };
    case LimitQuantity::Co2:
        break;
    }
    return { s.Co2High, s.Co2Low };
}

} // namespace

bool IsTemperatureLike(LimitQuantity quantity)
{
    return quantity == LimitQuantity::Temperature || quantity == LimitQuantity::Dew
        || quantity == LimitQuantity::Wet;
}

bool FahrenheitUnit(const AlarmSettings& settings)
{
    return settings.Unit == QLatin1String("F");
}

bool& EnabledFlag(AlarmSettings& settings, LimitQuantity quantity)
{
    switch (quantity) {
    case LimitQuantity::Temperature:
        return settings.TemperatureEnabled;
    case LimitQuantity::Humidity:
        return settings.HumidityEnabled;
    case LimitQuantity::Dew:
        return settings.DewEnabled;
    case LimitQuantity::Wet:
        return settings.WetEnabled;
    case LimitQuantity::Co2:
        break;
    }
    return settings.Co2Enabled;
}

bool EnabledFlag(const AlarmSettings& settings, LimitQuantity quantity)
{
    return EnabledFlag(const_cast<AlarmSettings&>(settings), quantity);
}

LimitPair ShownLimits(const AlarmSettings& settings, LimitQuantity quantity)
{
    const LimitRefs limits
        = LimitsOf(const_cast<AlarmSettings&>(settings), quantity, FahrenheitUnit(settings));
    return { limits.high, limits.low };
}

QString LimitText(double value)
{
    return PlainText(value);
}

LimitTexts ShownLimitTexts(const AlarmSettings& settings)
{
    LimitTexts texts;
    for (int row = 0; row < kLimitQuantityCount; ++row) {
        const LimitPair pair = ShownLimits(settings, kLimitQuantities[row]);
        texts[row] = { LimitText(pair.high), LimitText(pair.low) };
    }
    return texts;
}

bool LimitCharacterAllowed(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
        || c == QLatin1Char('.');
}

bool LimitTextAllowed(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), LimitCharacterAllowed);
}

bool LimitTextsValid(const LimitTexts& texts)
{
    for (int row = 0; row < kLimitQuantityCount; ++row) {
        const LimitBoxTexts& box = texts[row];
        if (box.high.isEmpty() || box.low.isEmpty())
            return false;
        const double high = LeadingNumber(box.high);
        const double low = LeadingNumber(box.low);
        if (!(low < high))
            return false;
        if (IsTemperatureLike(kLimitQuantities[row])) {
            for (const double v : { high, low }) {
                if (!std::isfinite(CelsiusToFahrenheitLimit(v))
                    || !std::isfinite(FahrenheitToCelsiusLimit(v)))
                    return false;
            }
        }
    }
    return true;
}

void StoreLimits(AlarmSettings& settings, const LimitTexts& texts)
{
    const bool fahrenheit = FahrenheitUnit(settings);
    for (int row = 0; row < kLimitQuantityCount; ++row) {
        const LimitQuantity q = kLimitQuantities[row];
        LimitRefs typed = LimitsOf(settings, q, fahrenheit);
        typed.high = LeadingNumber(texts[row].high);
        typed.low = LeadingNumber(texts[row].low);
        if (!IsTemperatureLike(q))
            continue;
        LimitRefs other = LimitsOf(settings, q, !fahrenheit);
        const auto convert = fahrenheit ? FahrenheitToCelsiusLimit : CelsiusToFahrenheitLimit;
        other.high = convert(typed.high);
        other.low = convert(typed.low);
    }
}

double CelsiusToFahrenheitLimit(double celsius)
{
    return CelsiusToFahrenheitTenth(celsius);
}

double FahrenheitToCelsiusLimit(double fahrenheit)
{
    return FahrenheitToCelsiusTenth(fahrenheit);
}

void SwitchAlarmUnit(AlarmSettings& settings, const QString& unit)
{
    settings.Unit = unit;
    for (const LimitQuantity q : kLimitQuantities) {
        if (q != LimitQuantity::Co2)
            EnabledFlag(settings, q) = false;
    }
}
