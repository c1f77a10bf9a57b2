#pragma once

#include "alarm/alarmsettings.h"

#include <array>

// The five quantities that have an alarm. The enum's order is the order of the alarm dialog's
// rows, top to bottom; the live display checks them in kAlarmCheckOrder.
enum class AlarmQuantity { Temperature, Humidity, Dew, Wet, Co2 };
constexpr int kAlarmQuantityCount = 5;

// The alarm dialog's rows, top to bottom.
constexpr std::array<AlarmQuantity, kAlarmQuantityCount> kLimitQuantities {
    AlarmQuantity::Temperature, AlarmQuantity::Humidity, AlarmQuantity::Dew, AlarmQuantity::Wet,
    AlarmQuantity::Co2
};

// The order of the checks after each reading, and so of the beeps: temperature, dew point,
// wet bulb, relative humidity, CO2.
constexpr std::array<AlarmQuantity, kAlarmQuantityCount> kAlarmCheckOrder {
    AlarmQuantity::Temperature, AlarmQuantity::Dew, AlarmQuantity::Wet, AlarmQuantity::Humidity,
    AlarmQuantity::Co2
};

// Temperature, dew point and wet bulb have a Celsius and a Fahrenheit pair of limits and the
// markers "OL" and "-OL".
bool IsTemperatureLike(AlarmQuantity quantity);

bool& EnabledFlag(AlarmSettings& settings, AlarmQuantity quantity);
bool EnabledFlag(const AlarmSettings& settings, AlarmQuantity quantity);

struct LimitPair {
    double high = 0;
    double low = 0;
};

// The limits of a quantity, where they are kept in the settings.
struct LimitRefs {
    double& high;
    double& low;
};

// The pair of a quantity in the given unit (RH and CO2 have one pair whatever the unit).
LimitRefs LimitsOf(AlarmSettings& settings, AlarmQuantity quantity, bool fahrenheit);
LimitPair LimitsIn(const AlarmSettings& settings, AlarmQuantity quantity, bool fahrenheit);
