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

// Rounding down to one decimal, the one rule for every value that is "rounded down to one
// decimal": the value counts as the decimal its 15-digit text shows (the text the display and
// the data files are cut from), so a result that lands a hair below a tenth in binary
// (-12 C gives 10.399999999999999 F) still gives that tenth.
// FlooredTenths: floor(10 x that decimal), a whole number of tenths.
double FlooredTenths(double value);
// FloorToTenth: FlooredTenths / 10. Infinities and NaN pass through.
double FloorToTenth(double value);
// n when the 15-digit text of value is exactly n tenths (as for every decoded temperature and
// humidity), NaN otherwise.
double ExactTenths(double value);
