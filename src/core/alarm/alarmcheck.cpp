#include "alarmcheck.h"

#include "meter/currentreading.h"
#include "meter/numbertext.h"

namespace
{

// The value text and its number for one quantity in the unit shown.
struct Compared {
    QString text;
    double number;
};

Compared ValueFor(AlarmQuantity q, const CurrentReading& r, bool celsius)
{
    auto fromTagged = [](const TaggedValue& v) { return Compared { v.text(), v.value() }; };
    auto fromText = [](const QString& text) { return Compared { text, LeadingNumber(text) }; };
    switch (q) {
    case AlarmQuantity::Temperature:
        return fromTagged(celsius ? r.TempC : r.TempF);
    case AlarmQuantity::Dew:
        return fromText((celsius ? r.DewC : r.DewF).text());
    case AlarmQuantity::Wet:
        return fromText((celsius ? r.WetC : r.WetF).text());
    case AlarmQuantity::Humidity:
        return fromTagged(r.HumidityPct);
    case AlarmQuantity::Co2:
        return fromTagged(r.Co2Ppm);
    }
    return { QString(), 0 };
}

} // namespace

AlarmOutcome CheckAlarm(AlarmQuantity q, const CurrentReading& reading,
    const AlarmSettings& settings, bool celsiusShown)
{
    if (!EnabledFlag(settings, q))
        return AlarmOutcome::Off;
    const LimitPair limits = LimitsIn(settings, q, !celsiusShown);
    const Compared value = ValueFor(q, reading, celsiusShown);
    if (value.text.contains(Marker::NoReading))
        return AlarmOutcome::NoReading;
    // Humidity has no over-range marker; CO2 has only "OL".
    const bool temperatureLike = IsTemperatureLike(q);
    if (temperatureLike && value.text.contains(Marker::Under))
        return AlarmOutcome::Under;
    if ((temperatureLike || q == AlarmQuantity::Co2) && value.text.contains(Marker::Over))
        return AlarmOutcome::Over;
    if (value.number > limits.high)
        return AlarmOutcome::Over;
    if (value.number < limits.low)
        return AlarmOutcome::Under;
    return AlarmOutcome::Inside;
}

IndicatorPair NextIndicators(AlarmOutcome outcome, IndicatorPair before)
{
    switch (outcome) {
    case AlarmOutcome::Over:
        return { !before.over, false };
    case AlarmOutcome::Under:
        return { false, !before.under };
    default:
        return { false, false };
    }
}
