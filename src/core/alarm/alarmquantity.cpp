#include "alarmquantity.h"

bool IsTemperatureLike(AlarmQuantity quantity)
{
    return quantity == AlarmQuantity::Temperature || quantity == AlarmQuantity::Dew
        || quantity == AlarmQuantity::Wet;
}

bool& EnabledFlag(AlarmSettings& settings, AlarmQuantity quantity)
{
    switch (quantity) {
    case AlarmQuantity::Temperature:
        return settings.TemperatureEnabled;
    case AlarmQuantity::Humidity:
        return settings.HumidityEnabled;
    case AlarmQuantity::Dew:
        return settings.DewEnabled;
    case AlarmQuantity::Wet:
        return settings.WetEnabled;
    case AlarmQuantity::Co2:
        break;
    }
    return settings.Co2Enabled;
}

bool EnabledFlag(const AlarmSettings& settings, AlarmQuantity quantity)
{
    return EnabledFlag(const_cast<AlarmSettings&>(settings), quantity);
}

LimitRefs LimitsOf(AlarmSettings& s, AlarmQuantity q, bool fahrenheit)
{
    switch (q) {
    case AlarmQuantity::Temperature:
        return fahrenheit ? LimitRefs { s.TempHighF, s.TempLowF }
                          : LimitRefs { s.TempHighC, s.TempLowC };
    case AlarmQuantity::Humidity:
        return { s.HumidityHigh, s.HumidityLow };
    case AlarmQuantity::Dew:
        return fahrenheit ? LimitRefs { s.DewHighF, s.DewLowF }
                          : LimitRefs { s.DewHighC, s.DewLowC };
    case AlarmQuantity::Wet:
        return fahrenheit ? LimitRefs { s.WetHighF, s.WetLowF }
                          : LimitRefs { s.WetHighC, s.WetLowC };
    case AlarmQuantity::Co2:
        break;
    }
    return { s.Co2High, s.Co2Low };
}

LimitPair LimitsIn(const AlarmSettings& settings, AlarmQuantity quantity, bool fahrenheit)
{
    const LimitRefs limits = LimitsOf(const_cast<AlarmSettings&>(settings), quantity, fahrenheit);
    return { limits.high, limits.low };
}
