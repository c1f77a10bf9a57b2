#pragma once

#include "currentreading.h"

#include <cstdint>

// The meter's value fields, decoded into the current reading. Every byte is 0 to 255.
void DecodeStatus(CurrentReading& reading, uint8_t status);
void DecodeCo2(CurrentReading& reading, uint8_t high, uint8_t low);
void DecodeTemperature(CurrentReading& reading, uint8_t high, uint8_t low);
void DecodeHumidity(CurrentReading& reading, uint8_t high, uint8_t low);

// Dew point and wet bulb from TempC and HumidityPct (and the overload flags and TempF left by
// DecodeTemperature). A step that fails (the logarithm of zero for a humidity of 0, a
// temperature below absolute zero) stops the routine: fields set before it keep their new
// values, the others keep the previous reading's.
void ComputeDewWet(CurrentReading& reading);

// One reading in the meter's field encoding: the status byte and the CO2, humidity and
// temperature pairs, high byte first. Decoded in the meter's calling order; without a
// temperature/humidity reading the seven dependent fields become "----".
struct ReadingFields {
    uint8_t status = 0;
    uint8_t co2High = 0, co2Low = 0;
    uint8_t humidityHigh = 0, humidityLow = 0;
    uint8_t temperatureHigh = 0, temperatureLow = 0;
};
void DecodeReading(CurrentReading& reading, const ReadingFields& fields);
