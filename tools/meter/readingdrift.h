#pragma once

#include "rawreading.h"

#include <cstdint>

// Plausible indoor readings that wander slowly: a bounded random walk per quantity, pulled
// gently towards the middle of its band and reflected at the edges. The same seed gives the
// same sequence on every machine.
class ReadingDrift
{
public:
    static constexpr double kCo2Min = 400.0, kCo2Max = 1200.0; // ppm
    static constexpr double kTempMin = 18.0, kTempMax = 28.0; // degrees Celsius
    static constexpr double kHumidityMin = 30.0, kHumidityMax = 65.0; // percent

    explicit ReadingDrift(std::uint64_t seed);

    // Moves one step and returns the new reading.
    RawReading next();
    RawReading current() const;

    double co2Ppm() const { return m_co2; }
    double temperatureC() const { return m_temp; }
    double humidityPct() const { return m_humidity; }

private:
    std::uint64_t nextRandom();
    double uniform(double low, double high);
    double walk(double value, double step, double low, double high);

    std::uint64_t m_state;
    double m_co2;
    double m_temp;
    double m_humidity;
};
