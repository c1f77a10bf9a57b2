#pragma once

#include <QString>

// The plain text of a number: at most 15 significant digits (rounded as printf's "%.15g"),
// "." as the separator whatever the locale, no trailing zeros or ".", never an exponent, and
// "0" for a negative zero. 11.9738411412365, 23.5, 45, -0.000000000000000111022302462516.
QString PlainText(double value);

// The display form of a value text: cut (not rounded) to one decimal with "." as the
// separator. "23.46" -> "23.4", "45" -> "45.0", "23,46" -> "23.4", "OL" -> "OL.0".
QString OneDecimalText(const QString& text);

// The leading decimal number of a text, as a box or a cell is read: leading blanks skipped,
// an optional sign, digits, an optional "." and digits, an optional exponent; reading stops at
// the first character that cannot continue the number. Empty or non-numeric text gives 0.
double LeadingNumber(const QString& text);

// floor(value * 10) / 10: a value rounded down to one decimal.
double FloorToTenth(double value);
