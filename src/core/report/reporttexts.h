#pragma once

#include "reportfigures.h"

#include <QString>

// The texts of a report's figures, in the program's forms: CO2 in whole ppm, the other values
// with one decimal, "." as the separator whatever the locale. Readings keep the decimal they
// were read with; the figures worked out from them (mean, median, percentile) come rounded.

// A tenths value: 234 -> "23.4", -5 -> "-0.5", 0 -> "0.0".
QString TenthsText(qint64 tenths);
// A value of a quantity, with no unit: ppm for CO2, tenths for the others.
QString ValueText(Quantity quantity, qint32 value);
// The unit of a quantity: "ppm", "°C"/"°F", "%RH".
QString UnitText(Quantity quantity, bool fahrenheit);
// The name of a quantity: "CO2", "Temperature", "Relative humidity", "Dew point", "Wet bulb".
QString QuantityName(Quantity quantity);

// A length of time: "45 s", "12 min 05 s", "3 h 20 min", "2 d 4 h 10 min".
QString DurationText(qint64 seconds);
// A share as a percentage cut to one decimal: 0.9499 -> "94.9 %"; "-" when there is none.
QString ShareText(double share);
// The date and time of a moment given in seconds from midnight of the first day:
// "2026-12-07 08:00:00".
QString StampText(const QDate& firstDate, qint64 seconds);
// A time of day "hh:mm" and the date "yyyy-MM-dd" of such a moment.
QString ClockText(qint64 seconds);
QString DateText(const QDate& firstDate, qint64 seconds);
