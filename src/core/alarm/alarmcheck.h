#pragma once

#include "alarm/alarmquantity.h"

struct CurrentReading;

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
