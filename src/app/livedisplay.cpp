#include "livedisplay.h"

#include "alarm/alarmsettings.h"
#include "meter/numbertext.h"

#include <QRegularExpression>

DisplayTexts DisplayTextsFor(const CurrentReading& r)
{
    DisplayTexts t;
    t.LblAir = r.Co2Ppm.text();
    t.LblRH = OneDecimalText(r.HumidityPct.text());
    t.UsedC = OneDecimalText(r.TempC.text());
    t.UsedDC = OneDecimalText(r.DewC);
    t.UsedWC = OneDecimalText(r.WetC);
    t.UsedF = OneDecimalText(r.TempF.text());
    t.UsedDF = OneDecimalText(r.DewF);
    t.UsedWF = OneDecimalText(r.WetF);
    return t;
}

namespace
{

struct Limits {
    bool enabled;
    double high;
    double low;
};

Limits LimitsFor(AlarmQuantity q, const AlarmSettings& s, bool celsius)
{
    switch (q) {
    case AlarmQuantity::Temperature:
        return { s.TemperatureEnabled, celsius ? s.TempHighC : s.TempHighF,
            celsius ? s.TempLowC : s.TempLowF };
    case AlarmQuantity::Dew:
        return { s.DewEnabled, celsius ? s.DewHighC : s.DewHighF, celsius ? s.DewLowC : s.DewLowF };
    case AlarmQuantity::Wet:
        return { s.WetEnabled, celsius ? s.WetHighC : s.WetHighF, celsius ? s.WetLowC : s.WetLowF };
    case AlarmQuantity::Humidity:
        return { s.HumidityEnabled, s.HumidityHigh, s.HumidityLow };
    case AlarmQuantity::Co2:
        return { s.Co2Enabled, s.Co2High, s.Co2Low };
    }
    return { false, 0, 0 };
}

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
        return fromText(celsius ? r.DewC : r.DewF);
    case AlarmQuantity::Wet:
        return fromText(celsius ? r.WetC : r.WetF);
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
    const Limits limits = LimitsFor(q, settings, celsiusShown);
    if (!limits.enabled)
        return AlarmOutcome::Off;
    const Compared value = ValueFor(q, reading, celsiusShown);
    if (value.text.contains(Marker::NoReading))
        return AlarmOutcome::NoReading;
    // Humidity has no over-range marker; CO2 has only "OL".
    const bool temperatureLike
        = q == AlarmQuantity::Temperature || q == AlarmQuantity::Dew || q == AlarmQuantity::Wet;
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

QString UnitSwitchText(const QString& valueText)
{
    // Rounded on the value's decimal text, halves away from zero, as a number format does.
    const QString plain = valueText.trimmed();
    static const QRegularExpression number(QStringLiteral("^(-?)(\\d{1,15})(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = number.match(plain);
    if (!m.hasMatch())
        return valueText;
    const bool negative = !m.captured(1).isEmpty();
    const QString fraction = m.captured(3);
    qint64 tenths
        = m.captured(2).toLongLong() * 10 + (fraction.isEmpty() ? 0 : fraction.at(0).digitValue());
    if (fraction.size() > 1 && fraction.at(1).digitValue() >= 5)
        ++tenths;
    QString text = QString::number(tenths / 10) + QLatin1Char('.') + QString::number(tenths % 10);
    if (negative && tenths != 0)
        return QLatin1Char('-') + text;
    return QLatin1Char(' ') + text;
}

QString UnitSwitchText(const TaggedValue& value)
{
    return value.isNumber() ? UnitSwitchText(PlainText(value.value())) : value.markerText();
}
