#pragma once

#include "alarm/alarmquantity.h"

#include <QChar>
#include <QString>

#include <array>

// The rules behind the alarm dialog: which settings belong to which row, how the ten limit
// boxes are read, checked and stored, and how limits move between Celsius and Fahrenheit.

// True when the settings' unit is Fahrenheit; any other unit text counts as Celsius.
bool FahrenheitUnit(const AlarmSettings& settings);

// The pair the dialog shows for a row: the pair of the settings' unit for the
// temperature-like rows, the only pair for RH and CO2.
LimitPair ShownLimits(const AlarmSettings& settings, AlarmQuantity quantity);

// The text a limit box is given.
QString LimitText(double value);

// The texts of one row's High and Low boxes.
struct LimitBoxTexts {
    QString high;
    QString low;
};
using LimitTexts = std::array<LimitBoxTexts, kAlarmQuantityCount>;

// What the boxes hold right after a fill, for every row whatever its switch.
LimitTexts ShownLimitTexts(const AlarmSettings& settings);

// The limit boxes accept digits, "-" and "." as typed characters; nothing else (no comma).
bool LimitCharacterAllowed(QChar c);
bool LimitTextAllowed(const QString& text);

// All ten boxes count, shown or hidden: each must hold some text, and each row's low value
// (its leading number) must lie strictly below its high value. A temperature-like value too
// large to convert to the other unit is refused as well.
bool LimitTextsValid(const LimitTexts& texts);

// Stores the boxes' leading numbers as limits: RH and CO2 as they are, the temperature-like
// rows in the settings' unit, then converts those into the other unit. Switches are untouched.
void StoreLimits(AlarmSettings& settings, const LimitTexts& texts);

// A limit converted to the other unit and rounded down to one decimal, by the same rule as the
// graphs' range dialogs (CelsiusToFahrenheitTenth and FahrenheitToCelsiusTenth), so 37.5 C
// gives 99.5 F and 33.8 F gives 1.0 C.
double CelsiusToFahrenheitLimit(double celsius);
double FahrenheitToCelsiusLimit(double fahrenheit);

// A change of the dialog's unit: the new unit, and the temperature, RH, dew and wet switches
// off (the CO2 switch stays).
void SwitchAlarmUnit(AlarmSettings& settings, const QString& unit);
