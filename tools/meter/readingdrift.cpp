#include "readingdrift.h"

#include <cmath>

ReadingDrift::ReadingDrift(std::uint64_t seed)
    : m_state(seed)
{
    m_co2 = uniform(500.0, 900.0);
    m_temp = uniform(20.0, 25.0);
    m_humidity = uniform(38.0, 55.0);
}

// splitmix64: tiny, portable and well mixed even for seeds 0, 1, 2...
std::uint64_t ReadingDrift::nextRandom()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double ReadingDrift::uniform(double low, double high)
{
    const double unit = double(nextRandom() >> 11) * (1.0 / 9007199254740992.0); // [0, 1)
    return low + (high - low) * unit;
}

double ReadingDrift::walk(double value, double step, double low, double high)
{
    const double middle = (low + high) / 2.0;
    const double pull = (middle - value) * 0.01;
    double moved = value + uniform(-step, step) + pull;
    if (moved > high)
        moved = high - (moved - high);
    if (moved < low)
        moved = low + (low - moved);
    return std::fmin(high, std::fmax(low, moved));
}

RawReading ReadingDrift::next()
{
    m_co2 = walk(m_co2, 6.0, kCo2Min, kCo2Max);
    m_temp = walk(m_temp, 0.05, kTempMin, kTempMax);
    m_humidity = walk(m_humidity, 0.15, kHumidityMin, kHumidityMax);
    return current();
}

RawReading ReadingDrift::current() const
{
    RawReading reading;
    reading.co2 = std::uint16_t(std::lround(m_co2));
    reading.humidityTenths = std::uint16_t(std::lround(m_humidity * 10.0));
    reading.temperatureWord = RawReading::encodeTemperature(int(std::lround(m_temp * 10.0)));
    return reading;
}
