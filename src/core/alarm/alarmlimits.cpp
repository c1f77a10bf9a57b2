#include "alarmlimits.h"

#include "meter/fahrenheit.h"
#include "meter/numbertext.h"

#include <algorithm>
#include <cmath>

bool FahrenheitUnit(const AlarmSettings& settings)
{
    return settings.Unit == QLatin1String("F");
}

LimitPair ShownLimits(const AlarmSettings& settings, AlarmQuantity quantity)
{
    return LimitsIn(settings, quantity, FahrenheitUnit(settings));
}

QString LimitText(double value)
{
    return PlainText(value);
}

LimitTexts ShownLimitTexts(const AlarmSettings& settings)
{
    LimitTexts texts;
    for (int row = 0; row < kAlarmQuantityCount; ++row) {
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
    for (int row = 0; row < kAlarmQuantityCount; ++row) {
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
    for (int row = 0; row < kAlarmQuantityCount; ++row) {
        const AlarmQuantity q = kLimitQuantities[row];
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
    for (const AlarmQuantity q : kLimitQuantities) {
        if (q != AlarmQuantity::Co2)
            EnabledFlag(settings, q) = false;
    }
}
