#include "decoding.h"

#include "dewwet.h"
#include "fahrenheit.h"
#include "numbertext.h"

QString TaggedValue::text() const
{
    return isNumber() ? PlainText(m_number) : m_marker;
}

void DecodeStatus(CurrentReading& reading, uint8_t status)
{
    reading.NoTrhReading = (status & 0x80) != 0;
}

void DecodeCo2(CurrentReading& reading, uint8_t high, uint8_t low)
{
    const int v = high * 256 + low;
    reading.Co2Ppm = v > 6000 ? TaggedValue::marker(Marker::Over) : TaggedValue::number(v);
}

void DecodeTemperature(CurrentReading& reading, uint8_t high, uint8_t low)
{
    const int w = high * 256 + low;
    const double magnitude = (w % 16384) * 0.1;
    reading.TempOverload = (w & 0x4000) != 0;
    reading.TempNegative = (w & 0x8000) != 0;
    if (reading.TempOverload) {
        const QString& marker = reading.TempNegative ? Marker::Under : Marker::Over;
        reading.TempC = TaggedValue::marker(marker);
        reading.TempF = TaggedValue::marker(marker);
        return;
    }
    // A negative zero is kept as 0 so that it reads "0" and converts to 32.
    const double celsius = reading.TempNegative && magnitude != 0.0 ? -magnitude : magnitude;
    reading.TempC = TaggedValue::number(celsius);
    reading.TempF = TaggedValue::number(ReadingFahrenheit(celsius));
}

void DecodeHumidity(CurrentReading& reading, uint8_t high, uint8_t low)
{
    reading.HumidityPct = TaggedValue::number((high * 256 + low) * 0.1);
}

void ComputeDewWet(CurrentReading& reading)
{
    const double h = reading.HumidityPct.isNumber() ? reading.HumidityPct.value() : 0.0;
    if (reading.HumidityPct.isNumber() && h >= 100) {
        reading.DewC = reading.WetC = reading.TempC;
        reading.DewF = reading.WetF = reading.TempF;
        return;
    }
    if (reading.TempOverload) {
        const TaggedValue marker
            = TaggedValue::marker(reading.TempNegative ? Marker::Under : Marker::Over);
        reading.DewC = reading.DewF = reading.WetC = reading.WetF = marker;
        return;
    }
    // Without numbers there is nothing to compute: the error trap keeps the previous values.
    if (!reading.TempC.isNumber() || !reading.HumidityPct.isNumber())
        return;
    const double t = reading.TempC.value();

    const DewWetResult dew = DewPoint(t, h);
    if (!dew.ok)
        return;
    reading.DewC = TaggedValue::number(dew.celsius);
    reading.DewF = TaggedValue::number(dew.fahrenheit);

    const DewWetResult wet = WetBulb(t, h);
    if (!wet.ok)
        return;
    reading.WetC = TaggedValue::number(wet.celsius);
    reading.WetF = TaggedValue::number(wet.fahrenheit);
}

void DecodeReading(CurrentReading& reading, const ReadingFields& f)
{
    DecodeStatus(reading, f.status);
    DecodeCo2(reading, f.co2High, f.co2Low);
    if (reading.NoTrhReading) {
        const TaggedValue none = TaggedValue::marker(Marker::NoReading);
        reading.TempC = none;
        reading.TempF = none;
        reading.HumidityPct = none;
        reading.DewC = reading.DewF = reading.WetC = reading.WetF = none;
        return;
    }
    DecodeTemperature(reading, f.temperatureHigh, f.temperatureLow);
    DecodeHumidity(reading, f.humidityHigh, f.humidityLow);
    ComputeDewWet(reading);
}
