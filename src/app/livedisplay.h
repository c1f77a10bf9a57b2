#pragma once

#include "meter/currentreading.h"

#include <QString>

struct AlarmSettings;

// The texts the panel shows for a reading; the recorder stores the same texts.
struct DisplayTexts {
    QString LblAir; // CO2: whole ppm or "OL", no decimal added
    QString LblRH;
    QString UsedC, UsedDC, UsedWC;
    QString UsedF, UsedDF, UsedWF;
};
DisplayTexts DisplayTextsFor(const CurrentReading& reading);

// The quantities that have an alarm, in the order they are checked.
enum class AlarmQuantity { Temperature, Dew, Wet, Humidity, Co2 };
constexpr int kAlarmQuantityCount = 5;

// What one alarm check asks of the quantity's two indicators.
enum class AlarmOutcome {
    Off, // alarm disabled: both hidden
    Inside, // within the limits: both hidden
    NoReading, // "----" with the alarm on: both hidden, no beep
    Over, // OVER toggles, UNDER hidden, one beep
    Under, // UNDER toggles, OVER hidden, one beep
};

// The check of one quantity, comparing the reading itself (not the cut display text) with the
// limits of the unit shown. Limits are strict: a value equal to a limit is inside.
AlarmOutcome CheckAlarm(AlarmQuantity quantity, const CurrentReading& reading,
    const AlarmSettings& settings, bool celsiusShown);

inline bool Beeps(AlarmOutcome outcome)
{
    return outcome == AlarmOutcome::Over || outcome == AlarmOutcome::Under;
}

// Indicator visibility after a check, given the visibility before it.
struct IndicatorPair {
    bool over = false;
    bool under = false;
};
IndicatorPair NextIndicators(AlarmOutcome outcome, IndicatorPair before);

// The "CF" command's own number form: one decimal ("0.0"), rounded, with a leading blank when
// not negative (" 23.5", "-3.2"); a marker is shown unchanged.
QString UnitSwitchText(const TaggedValue& value);
QString UnitSwitchText(const QString& valueText);
